// The one way for a front end to change a device: values by key or a whole snapshot go into the
// device's record and out over the link (one SET_VALUES a touched settings group, the faders
// under the fader flow control), and each change is followed to its end: every acknowledgement,
// then the device's reports compared with what was asked. Nothing here waits; the outcome comes
// as a signal.
#pragma once

#include "model/DeviceSnapshot.h"
#include "model/SettingTable.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <utility>

class DeviceRegistry;
class MIDI;

class DeviceControl : public QObject {
    Q_OBJECT

public:
    // What follows the acknowledgements.
    enum class Check {
        None,             // sent as the link allows, even closed, and not followed (a page's change)
        Acknowledgements, // nothing: done once every message is acknowledged
        AskForReports,    // ask the device for its reports (SEND_INFO) and compare them when whole
        NextReports,      // at the deadline, compare what the device reported by itself since
    };

    struct Outcome {
        enum Result { Confirmed, Gone, NotAcknowledged, NoReport, Differs };
        Result result = Confirmed;
        qint32 serial = 0;
        int valueMessages = 0;
        int valueAcks = 0;
        bool faders = false;
        int faderAcks = 0;
        // Every asked value the device reports otherwise (its value as "from", the asked one as "to").
        QList<DeviceSnapshot::Difference> differences;
        // The keys of the values that did not arrive as asked.
        QStringList failedKeys;

        bool ok() const { return result == Confirmed; }
        // "acknowledged 1 of 2 SET_VALUES and 0 of 1 SET_FADERS"
        QString acknowledgementText() const;
    };

    // A value for a key: the row and the code.
    using Assignment = std::pair<const SettingTable::Setting *, quint8>;

    DeviceControl(MIDI *link, DeviceRegistry *registry, QObject *parent = nullptr);

    // Where the registry says this control's changes come from.
    int origin() const { return m_origin; }

    // Sets the values; each touched group goes out with its other values as last reported. The
    // record stores them and the registry announces them before this returns. Returns the
    // change's number (0 when the device is unknown, or the link closed for a change followed).
    int set(qint32 serial, const QList<Assignment> &values, Check check, int timeoutMs);
    // Sends the groups of target (of the device's family, see DeviceSnapshot::adaptedTo()).
    int apply(qint32 serial, const DeviceSnapshot &target, DeviceSnapshot::Groups groups, Check check,
              int timeoutMs);

signals:
    // Once for every change that was sent.
    void finished(int change, const DeviceControl::Outcome &outcome);

private:
    struct Pending {
        DeviceSnapshot target;
        DeviceSnapshot::Groups groups;
        Check check = Check::Acknowledgements;
        int reportTimeoutMs = 0;
        Outcome outcome;
        bool askedForReports = false;
        int stage = 0; // 1 once the reports were asked for
        // Reports since the acknowledgements (or since asking).
        QList<int> groupsReported;
        int fadersReported = 0;
        bool statusReported = false;
    };

    // Tells the views of a change this control stored.
    void announce(qint32 serial, SettingTable::Groups groups);
    void acknowledged(qint32 serial, unsigned char command);
    void configurationReported(qint32 serial, int group);
    void faderReported(qint32 serial);
    void statusReported(qint32 serial);
    bool acknowledgedAll(const Pending &p) const;
    bool reportedWhole(const Pending &p) const;
    void progress(int change);
    void deadline(int change, int stage);
    void finish(int change, Outcome::Result result);

    MIDI *m_link;
    DeviceRegistry *m_registry;
    int m_origin;
    QHash<int, Pending> m_pending;
    int m_lastChange = 0;
};
