// The tavikctl commands that read or change one device's setup: show, get, save, load, set and diff.
// Each returns the program's exit code and writes what it found to standard output, what went
// wrong to standard error.
#pragma once

#include "ctl/CtlOptions.h"
#include "model/DeviceSnapshot.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class CtlSession;
class TavikConfiguration;

class DeviceCommands {
public:
    explicit DeviceCommands(const CtlOptions &options);
    ~DeviceCommands();

    int show(const QString &device);
    int save(const QString &device, const QString &file);
    int load(const QString &device, const QString &file, bool dryRun, bool all);
    int set(const QString &device, const QStringList &assignments);
    // Prints the values of the keys, one a line, as set takes them (--json: an object).
    int get(const QString &device, const QStringList &keys);
    int diff(const QString &first, const QString &second);

    // Applies KEY=VALUE assignments to values of the family; false with the problem in error.
    // The groups the keys touch are added to touched.
    static bool assign(quint8 family, const QStringList &assignments, DeviceSnapshot::Values *values,
                       DeviceSnapshot::Groups *touched, QString *error);

private:
    // Connects, finds the device and waits for its reports; null with *code set otherwise.
    // wanted: the reports the command needs (CtlSession::Report).
    TavikConfiguration *reportedDevice(const QString &wanted, int *code, int wantedReports);
    // reportedDevice(), and a snapshot of what it reported.
    std::optional<DeviceSnapshot> reportedSnapshot(const QString &wanted, TavikConfiguration **cfg,
                                                   int *code);
    // Sends the groups of target to the device as TavikRemote would, waits for every
    // acknowledgement; with verify, asks for fresh reports and compares them with target.
    int send(TavikConfiguration *cfg, const DeviceSnapshot &target, DeviceSnapshot::Groups groups,
             bool verify);
    int timeoutMs() const { return int(options.timeout * 1000); }
    // How long show waits for a status report once the others are in.
    static constexpr int StatusWaitMs = 300;

    CtlOptions options;
    std::unique_ptr<CtlSession> session;
};
