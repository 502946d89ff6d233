// SIGINT and SIGTERM as a Qt signal on the GUI thread (through a signalfd), so that the program
// ends the way closing its window does: ports closed, then the MIDI clients, then the settings.
#pragma once

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT

public:
    // Blocks both signals for this thread and every thread started after it; call first in main.
    static void block();
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void readPending();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
