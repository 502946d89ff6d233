// Reads the MIDI port names once a second and says when the input or the output list has changed.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QTimer;

class PortWatcher : public QObject {
    Q_OBJECT

public:
    struct Lists {
        QStringList in;
        QStringList out;
    };
    // lister reads the current input and output port names; it is called on every tick.
    explicit PortWatcher(std::function<Lists()> lister, QObject *parent = nullptr);

    static constexpr int IntervalMs = 1000;

    // Starts (or restarts) watching; lists is what the caller has just shown, so it is no change.
    void start(const Lists &lists);
    void stop();
    bool isActive() const;
    // Reads the names at once and emits changed() when they differ from the last ones.
    void check();

signals:
    void changed(const QStringList &in, const QStringList &out);

private:
    std::function<Lists()> lister;
    Lists last;
    QTimer *timer = nullptr;
};
