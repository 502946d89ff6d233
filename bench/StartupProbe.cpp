#include "StartupProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

long long monotonicNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

// Runs as soon as the application object exists; does nothing in a normal run.
void installProbe() {
    if (qEnvironmentVariableIsEmpty("TAVIK_BENCH_PROBE"))
        return;
    QCoreApplication::instance()->installEventFilter(new StartupProbe(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)

StartupProbe::StartupProbe(QObject *parent) : QObject(parent) {}

bool StartupProbe::eventFilter(QObject *watched, QEvent *event) {
    if (m_reported || event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (!widget->isWindow())
        return false;
    m_reported = true;
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("PROBE shown_ns=%lld maxrss_kb=%ld\n", monotonicNs(), usage.ru_maxrss);
    std::fflush(stdout);
    // Closing ends the window's event loop, and with it the program.
    QTimer::singleShot(0, widget, [widget] { widget->close(); });
    return false;
}
