// The tavikctl commands that read or change one device's setup: show, get, save, load, set and diff.
// Each starts the command and comes back; the event loop carries it on, step by step, and
// finished() gives the program's exit code. What it found goes to standard output, what went
// wrong to standard error.
#pragma once

#include "ctl/CtlOptions.h"
#include "model/DeviceSnapshot.h"
#include "protocol/DeviceControl.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class CtlSession;
class TavikConfiguration;

class DeviceCommands : public QObject {
    Q_OBJECT

public:
    explicit DeviceCommands(const CtlOptions &options, QObject *parent = nullptr);
    ~DeviceCommands() override;

    void show(const QString &device);
    void save(const QString &device, const QString &file);
    void load(const QString &device, const QString &file, bool dryRun, bool all);
    void set(const QString &device, const QStringList &assignments);
    // Prints the values of the keys, one a line, as set takes them (--json: an object).
    void get(const QString &device, const QStringList &keys);
    void diff(const QString &first, const QString &second);

    // Applies KEY=VALUE assignments to values of the family; false with the problem in error.
    // The groups the keys touch are added to touched.
    static bool assign(quint8 family, const QStringList &assignments, DeviceSnapshot::Values *values,
                       DeviceSnapshot::Groups *touched, QString *error);

signals:
    // Once, when the command is over.
    void finished(int code);

private:
    using DeviceStep = std::function<void(TavikConfiguration *)>;
    using SnapshotStep = std::function<void(TavikConfiguration *, const DeviceSnapshot &)>;

    // Connects, finds the device and awaits its reports, then goes on with next; finishes with
    // the problem otherwise. reports: the reports the command needs (CtlSession::Report).
    void reportedDevice(const QString &wanted, int reports, const DeviceStep &next);
    // reportedDevice(), and a snapshot of what it reported.
    void reportedSnapshot(const QString &wanted, const SnapshotStep &next);
    // The rest of show, once the status report is in or its short bound has passed.
    void printDevice(const TavikConfiguration &cfg, const DeviceSnapshot &snapshot, bool inputsKnown);
    // diff's side, a file or a device, then the next side or the comparison.
    void diffSide(int side);
    void compare();
    // Sends the groups of target to the device as TavikRemote would and follows the change
    // through the device core: every acknowledgement and, with verify, fresh reports compared
    // with target; finishes with the outcome.
    void send(TavikConfiguration *cfg, const DeviceSnapshot &target, DeviceSnapshot::Groups groups,
              bool verify);
    void sent(const DeviceControl::Outcome &outcome);
    void fail(int code, const QString &text);
    void finish(int code);
    int timeoutMs() const { return int(options.timeout * 1000); }
    // How long show waits for a status report once the others are in.
    static constexpr int StatusWaitMs = 300;

    CtlOptions options;
    std::unique_ptr<CtlSession> session;
    std::unique_ptr<DeviceControl> control;
    // The bound on a change followed by the device core, which ends it by its own deadlines.
    QTimer changeBound;
    QString changed; // the device's serial as shown
    QString diffWanted[2];
    std::optional<DeviceSnapshot> diffSides[2];
};
