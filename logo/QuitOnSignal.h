#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a signal on the GUI thread, so the program ends through its
// normal close (ports first, then the MIDI clients) instead of being killed where it stands.
class QuitOnSignal : public QObject {
    Q_OBJECT

public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

signals:
    void Requested();

private:
    static void OnSignal(int number);
    void OnReadable();

    QSocketNotifier *m_notifier = nullptr;
};
