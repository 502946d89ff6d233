// tavikctl monitor: every message on the link, in and out, decoded, one a line.
#pragma once

#include "ctl/CtlOptions.h"

#include <QObject>
#include <QTimer>

#include <memory>

class CtlSession;
class QuitOnSignal;

class Monitor : public QObject {
    Q_OBJECT

public:
    // raw adds the bytes to every line.
    Monitor(const CtlOptions &options, bool raw, QObject *parent = nullptr);
    ~Monitor() override;

    // Prints for the given seconds (0: until Ctrl+C or SIGTERM), then finished().
    void run(double seconds);

signals:
    void finished(int code);

private:
    CtlOptions options;
    bool raw = false;
    std::unique_ptr<CtlSession> session;
    std::unique_ptr<QuitOnSignal> interrupt;
    QTimer limit;
};
