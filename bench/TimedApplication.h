// The TavikRemote application object with a stopwatch on the link's timer ticks, for benchmarks.
#pragma once

#include "app/MyApplication.h"

#include <QSet>
#include <vector>

class TimedApplication : public MyApplication {
    Q_OBJECT

public:
    struct Tick {
        qint64 startNs;    // CLOCK_MONOTONIC
        qint64 durationNs; // wall time spent in the tick
        qint64 cpuNs;      // CPU time of the GUI thread spent in the tick
        int intervalMs;    // 50: poll tick, 900: broadcast tick
        int devicesBefore; // registered devices (placeholder included) when the tick began
        int devicesAfter;
    };

    TimedApplication(int &argc, char **argv);

    // Times every timer event from now on; the link's own two timers are marked by their interval.
    void watchLinkTimers();
    const std::vector<Tick> &ticks() const { return m_ticks; }
    void clearTicks() {
        m_ticks.clear();
        m_paintCpuNs = 0;
        m_paints = 0;
    }
    // Also times the repaints of this window (its update requests), from now on.
    void watchPaintsOf(QObject *window) { m_paintWindow = window; }
    // GUI-thread CPU time in the watched window's repaints since clearTicks(), and how many.
    qint64 paintCpuNs() const { return m_paintCpuNs; }
    int paints() const { return m_paints; }

    bool notify(QObject *receiver, QEvent *event) override;

    static qint64 monotonicNs();
    static qint64 threadCpuNs();

private:
    bool m_timing = false;
    QSet<QObject *> m_watched;
    std::vector<Tick> m_ticks;
    QObject *m_paintWindow = nullptr;
    qint64 m_paintCpuNs = 0;
    int m_paints = 0;
};
