#include "TimedApplication.h"

#include "protocol/MIDI.h"

#include <QEvent>
#include <QTimer>

#include <ctime>

TimedApplication::TimedApplication(int &argc, char **argv) : MyApplication(argc, argv) {}

void TimedApplication::watchLinkTimers() {
    m_timing = true;
    m_watched.clear();
    if (!getMIDI())
        return;
    for (QTimer *timer : getMIDI()->findChildren<QTimer *>())
        m_watched.insert(timer);
}

bool TimedApplication::notify(QObject *receiver, QEvent *event) {
    // Every timer event counts: the link also drains its input from single-shot timers, whose
    // receivers are Qt's own objects rather than the link's two timers.
    if (m_paintWindow && receiver == m_paintWindow && event->type() == QEvent::UpdateRequest) {
        const qint64 cpu = threadCpuNs();
        const bool result = MyApplication::notify(receiver, event);
        m_paintCpuNs += threadCpuNs() - cpu;
        ++m_paints;
        return result;
    }
    if (event->type() != QEvent::Timer || !m_timing)
        return MyApplication::notify(receiver, event);
    Tick tick;
    tick.intervalMs = m_watched.contains(receiver) ? static_cast<QTimer *>(receiver)->interval() : 0;
    tick.devicesBefore = int(getDevices().size());
    tick.startNs = monotonicNs();
    const qint64 cpu = threadCpuNs();
    const bool result = MyApplication::notify(receiver, event);
    tick.cpuNs = threadCpuNs() - cpu;
    tick.durationNs = monotonicNs() - tick.startNs;
    tick.devicesAfter = int(getDevices().size());
    m_ticks.push_back(tick);
    return result;
}

qint64 TimedApplication::monotonicNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

qint64 TimedApplication::threadCpuNs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000LL + t.tv_nsec;
}
