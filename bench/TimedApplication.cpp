#include "TimedApplication.h"

#include "MIDI.h"

#include <QEvent>
#include <QTimer>

#include <ctime>

TimedApplication::TimedApplication(int &argc, char **argv) : MyApplication(argc, argv) {}

void TimedApplication::watchLinkTimers() {
    m_watched.clear();
    if (!getMIDI())
        return;
    for (QTimer *timer : getMIDI()->findChildren<QTimer *>())
        m_watched.insert(timer);
}

bool TimedApplication::notify(QObject *receiver, QEvent *event) {
    if (event->type() != QEvent::Timer || !m_watched.contains(receiver))
        return MyApplication::notify(receiver, event);
    Tick tick;
    tick.intervalMs = static_cast<QTimer *>(receiver)->interval();
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
