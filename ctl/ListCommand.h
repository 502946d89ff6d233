// tavikctl list: the devices that answer the version request while tavikctl listens.
#pragma once

#include "ctl/CtlOptions.h"

#include <QObject>
#include <QTimer>

#include <memory>

class CtlSession;

class ListCommand : public QObject {
    Q_OBJECT

public:
    explicit ListCommand(const CtlOptions &options, QObject *parent = nullptr);
    ~ListCommand() override;

    // Listens for the given seconds, prints the devices that answered, then finished().
    void run(double waitSeconds);

signals:
    void finished(int code);

private:
    void listFound();

    CtlOptions options;
    std::unique_ptr<CtlSession> session;
    QTimer listening;
};
