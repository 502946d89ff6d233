// tavikctl's way to the devices: the device core without windows on the ports the user chose (or
// the ones TavikRemote remembered), with settings of its own so that TavikRemote's stay as they are.
#pragma once

#include "model/DeviceRegistry.h"
#include "protocol/LinkHost.h"

#include <QHash>
#include <QSet>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

class MIDI;
class TavikConfiguration;

class CtlSession : public LinkHost {
public:
    // Ports as the user gave them: a number or a part of a name; empty for the default.
    CtlSession(const QString &inPort, const QString &outPort);
    ~CtlSession();
    CtlSession(const CtlSession &) = delete;
    CtlSession &operator=(const CtlSession &) = delete;

    QStringList inputNames() const;
    QStringList outputNames() const;

    // Picks the ports and opens them; false with the reason in error.
    bool connect(QString *error);
    // Runs the event loop until done() holds or ms milliseconds have passed; returns done().
    bool waitFor(const std::function<bool()> &done, int ms);
    // Waits until the wanted device answers (see findDevice()); null with the reason after ms.
    TavikConfiguration *waitForDevice(const QString &wanted, int ms, QString *error);

    // What the link has heard from a device since forget(): reports and acknowledgements.
    struct Heard {
        QSet<int> groups; // SettingTable::Group values stored
        int faders = 0;   // fader values stored
        bool status = false;
        int valueAcks = 0;
        int faderAcks = 0;
    };
    const Heard &heard(qint32 serialNo) { return heardFrom[serialNo]; }
    void forget(qint32 serialNo) { heardFrom.remove(serialNo); }
    // The reports a command needs.
    enum Report { ConfigReport = 1, FaderReport = 2, StatusReport = 4, AllReports = 7 };
    // Whether the device has sent the wanted reports since forget(): a whole configuration report
    // (every group its family has), a fader report, a status report.
    bool hasReported(const TavikConfiguration *cfg, int wanted);
    // Waits until hasReported(); false after ms.
    bool waitForReports(const TavikConfiguration *cfg, int ms, int wanted = AllReports);

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

    QString inWanted;
    QString outWanted;
    QTemporaryDir dir;
    mutable DeviceRegistry registry;
    QSettings *settings = nullptr;
    MIDI *link = nullptr;
    QString lastError;
    QHash<qint32, Heard> heardFrom;
};
