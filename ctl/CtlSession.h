// tavikctl's way to the devices: the device core without windows on the ports the user chose (or
// the ones TavikRemote remembered), with settings of its own so that TavikRemote's stay as they are.
#pragma once

#include "model/DeviceRegistry.h"
#include "protocol/LinkHost.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

class MIDI;
class TavikConfiguration;

class CtlSession : public QObject, public LinkHost {
    Q_OBJECT

public:
    // Ports as the user gave them: a number or a part of a name; empty for the default.
    CtlSession(const QString &inPort, const QString &outPort);
    ~CtlSession();
    CtlSession(const CtlSession &) = delete;
    CtlSession &operator=(const CtlSession &) = delete;

    QStringList inputNames() const;
    QStringList outputNames() const;

    // Picks the ports and opens them; false with the reason in error. From then on the input is
    // read every 10 ms: the link's own reading, every 50 ms, would add up to 50 ms to each round trip.
    bool connect(QString *error);

    // Calls then(true) as soon as done() holds: at once, or after a message from the devices has
    // been handled; then(false) when it still does not hold after ms milliseconds. One wait at a
    // time (a command takes one step after the other); then() may start the next.
    void await(const std::function<bool()> &done, int ms, const std::function<void(bool)> &then);
    // Awaits the wanted device (see findDevice()): then(record), or then(null, the reason) after ms.
    void awaitDevice(const QString &wanted, int ms,
                     const std::function<void(TavikConfiguration *, const QString &)> &then);

    // What the link has heard from a device since forget(): its reports (the acknowledgements of
    // changes are DeviceControl's).
    struct Heard {
        QSet<int> groups; // SettingTable::Group values stored
        int faders = 0;   // fader values stored
        bool status = false;
    };
    void forget(qint32 serialNo) { heardFrom.remove(serialNo); }
    // The reports a command needs.
    enum Report { ConfigReport = 1, FaderReport = 2, StatusReport = 4, AllReports = 7 };
    // Whether the device has sent the wanted reports since forget(): a whole configuration report
    // (every group its family has), a fader report, a status report.
    bool hasReported(const TavikConfiguration *cfg, int wanted);
    // Awaits hasReported(): then(false) after ms.
    void awaitReports(const TavikConfiguration *cfg, int wanted, int ms,
                      const std::function<void(bool)> &then);

    // The devices that answered, by serial number (the window placeholder is not one).
    QList<TavikConfiguration *> devices() const;
    // A device by serial number (12345), its display form (141-202-380) or its name; null with the
    // reason (and the devices found) in error.
    TavikConfiguration *findDevice(const QString &wanted, QString *error) const;

    DeviceRegistry *getRegistry() const override { return &registry; }
    QSettings *getSettings() const override { return settings; }
    MIDI *getMIDI() const override { return link; }
    bool hasDeviceView(qint32) const override { return true; }

    // "141-202-380  neo  Studio  1.2": one device a line.
    static QString describe(const TavikConfiguration *cfg);
    static QString familyName(const TavikConfiguration *cfg);
    static QString versionText(const TavikConfiguration *cfg);

private:
    int choose(const QStringList &names, const QString &wanted, int current, const char *direction,
               QString *error);
    // Looks at the wait once the messages read in one go are handled.
    void messageReceived();
    void check();
    void endWait(bool met);

    QString inWanted;
    QString outWanted;
    QTemporaryDir dir;
    mutable DeviceRegistry registry;
    QSettings *settings = nullptr;
    MIDI *link = nullptr;
    QString lastError;
    QHash<qint32, Heard> heardFrom;
    QTimer readTimer;
    std::function<bool()> waitDone;
    std::function<void(bool)> waitThen;
    QTimer waitDeadline;
    bool checkQueued = false;
};
