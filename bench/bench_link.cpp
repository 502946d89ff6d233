// TavikRemote on real MIDI ports against tavik-sim over a private JACK server:
//   --discovery   time from the simulator's first reply to the device window shown, and from its last
//                 reply to the window removed;
//   --scale N     N simulated devices: GUI-thread time to admit one, memory per device, CPU share at
//                 steady state over 10 seconds, and the broadcast period;
//   --monitor     with --scale: the same with the MIDI monitor window open, showing every device, its
//                 ring of the last 10,000 messages filled before the steady state is measured.
#include "BenchJack.h"
#include "BenchTable.h"
#include "EventLoopWait.h"
#include "SimProcess.h"
#include "TimedApplication.h"
#include "model/MonitorLog.h"
#include "protocol/MIDI.h"
#include "windows/MainDialog.h"
#include "windows/MidiMonitorModel.h"
#include "windows/MidiMonitorWindow.h"
#include "windows/StackedTavikDialog.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <RtMidi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr qint64 Ms = 1000000;

double residentKb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1024.0 : -1;
}

qint64 processCpuNs() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return (qint64(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000000000LL +
           (qint64(usage.ru_utime.tv_usec) + usage.ru_stime.tv_usec) * 1000LL;
}

int findPort(RtMidi &midi, const char *suffix) {
    for (unsigned i = 0; i < midi.getPortCount(); ++i) {
        const std::string name = midi.getPortName(i);
        if (name.rfind("tavik-sim", 0) == 0 && name.size() > std::strlen(suffix) &&
            name.compare(name.size() - std::strlen(suffix), std::strlen(suffix), suffix) == 0)
            return int(i);
    }
    return -1;
}

// A second reader of the simulator's output: notes when each version reply passed through JACK.
class ReplyMonitor {
public:
    bool open() {
        try {
            m_in = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "tavik-bench-monitor", 1000);
            const int port = findPort(*m_in, ":out");
            if (port < 0)
                return false;
            m_in->ignoreTypes(false, false, false);
            m_in->setCallback(&ReplyMonitor::onMessage, this);
            m_in->openPort(unsigned(port), "monitor");
            return true;
        } catch (const RtMidiError &e) {
            std::fprintf(stderr, "bench_link: monitor: %s\n", e.what());
            return false;
        }
    }
    // Arrival times of the version replies of one serial number.
    std::vector<qint64> replies(qint32 serial) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_replies[serial];
    }
    // The first reply of serial at or after t; 0 when there is none.
    qint64 firstFrom(qint32 serial, qint64 t) {
        const std::vector<qint64> times = replies(serial);
        const auto it = std::find_if(times.begin(), times.end(), [t](qint64 r) { return r >= t; });
        return it == times.end() ? 0 : *it;
    }
    // The last reply of serial before t; 0 when there is none.
    qint64 lastBefore(qint32 serial, qint64 t) {
        const std::vector<qint64> times = replies(serial);
        const auto it = std::find_if(times.rbegin(), times.rend(), [t](qint64 r) { return r < t; });
        return it == times.rend() ? 0 : *it;
    }
    size_t messages() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }

private:
    static void onMessage(double, std::vector<unsigned char> *msg, void *user) {
        auto *self = static_cast<ReplyMonitor *>(user);
        const qint64 now = TimedApplication::monotonicNs();
        std::lock_guard<std::mutex> lock(self->m_mutex);
        ++self->m_messages;
        if (msg->size() == 29 && (*msg)[9] == 0x20) {
            const qint32 serial = (*msg)[5] | (*msg)[6] << 7 | (*msg)[7] << 14 | (*msg)[8] << 21;
            self->m_replies[serial].push_back(now);
        }
    }

    std::unique_ptr<RtMidiIn> m_in;
    std::mutex m_mutex;
    std::map<qint32, std::vector<qint64>> m_replies;
    size_t m_messages = 0;
};

// Notes when each device's list entry and window appear and go.
class WindowWatch {
public:
    WindowWatch(TimedApplication &app, QListWidget *list) : m_app(app) {
        QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, [this] { inserted(); });
        QObject::connect(list->model(), &QAbstractItemModel::rowsRemoved, [this] { removed(); });
    }
    std::map<qint32, qint64> shown;
    std::map<qint32, qint64> gone;

private:
    void inserted() {
        const qint64 now = TimedApplication::monotonicNs();
        for (qint32 serial : m_app.getDevices().keys())
            if (serial >= 2 && !shown.count(serial))
                shown[serial] = now;
    }
    void removed() {
        const qint64 now = TimedApplication::monotonicNs();
        for (const auto &entry : shown)
            if (!gone.count(entry.first) && !m_app.getConfigurationDialog(entry.first))
                gone[entry.first] = now;
    }
    TimedApplication &m_app;
};

std::string ms(double ns) {
    return BenchTable::fixed(ns / 1e6, 1, "ms");
}

struct Rig {
    QTemporaryDir scratch;
    std::unique_ptr<BenchJack> jack;
    std::unique_ptr<SimProcess> sim;

    // Before the application object exists: its settings store reads this folder.
    void prepare() {
        QDir::setCurrent(scratch.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());
    }
    bool start(const QStringList &simArgs) {
        jack = std::make_unique<BenchJack>("bench_link");
        if (!jack->start())
            return false;
        jack->server().applyToThisProcess();
        sim = std::make_unique<SimProcess>(jack->server(), simArgs);
        if (!sim->start(20000)) {
            std::fprintf(stderr, "bench_link: simulator did not start: %s\n", qPrintable(sim->diagnostics()));
            return false;
        }
        // The link connects at once to the remembered ports.
        try {
            RtMidiIn in(RtMidi::UNIX_JACK, "tavik-bench-probe");
            RtMidiOut out(RtMidi::UNIX_JACK, "tavik-bench-probe");
            QSettings settings;
            settings.setValue(QStringLiteral("midiInPortnumber"), findPort(in, ":out"));
            settings.setValue(QStringLiteral("midiOutPortnumber"), findPort(out, ":in"));
            settings.sync();
        } catch (const RtMidiError &e) {
            std::fprintf(stderr, "bench_link: %s\n", e.what());
            return false;
        }
        return true;
    }
    void stop() {
        if (sim)
            sim->stop();
        sim.reset();
        if (jack)
            jack->server().stop();
    }
    ~Rig() { stop(); }
};

int discovery(TimedApplication &app, Rig &rig) {
    MainDialog dialog(app);
    dialog.show();
    WindowWatch watch(app, dialog.getStackedDialog()->getDeviceList());
    ReplyMonitor monitor;
    if (!app.getMIDI()->isConnected() || !monitor.open()) {
        std::fprintf(stderr, "bench_link: not connected to the simulator\n");
        return 1;
    }
    const qint32 serial = 12345;
    std::vector<double> firstToShown, upToShown, lastToGone;
    const int cycles = 6;
    for (int c = 0; c < cycles; ++c) {
        qint64 up = 0;
        if (c > 0) {
            // Resume at a different point of the broadcast period each cycle.
            EventLoopWait::runFor(150 * c);
            up = TimedApplication::monotonicNs();
            rig.sim->command(QStringLiteral("resume all"));
        }
        // When the watch noted the device's entry in times (shown or gone); 0 when not within 5 s.
        const auto noted = [&](const std::map<qint32, qint64> &times, const char *what) -> qint64 {
            if (EventLoopWait::until([&] { return times.count(serial) > 0; }, 5000))
                return times.at(serial);
            std::fprintf(stderr, "bench_link: device not %s in cycle %d\n", what, c);
            return 0;
        };
        const qint64 shown = noted(watch.shown, "shown");
        if (shown == 0)
            return 1;
        const qint64 first = monitor.firstFrom(serial, up);
        if (first > 0)
            firstToShown.push_back(double(shown - first));
        if (up > 0)
            upToShown.push_back(double(shown - up));

        EventLoopWait::runFor(300);
        rig.sim->command(QStringLiteral("silent all"));
        const qint64 gone = noted(watch.gone, "removed");
        if (gone == 0)
            return 1;
        const qint64 last = monitor.lastBefore(serial, gone);
        lastToGone.push_back(double(gone - last));
        std::fprintf(
            stderr,
            "cycle %d: up %+.1f, first reply %+.1f, shown %+.1f, last reply %+.1f, removed %+.1f ms\n", c,
            up ? (up - first) / 1e6 : 0.0, 0.0, (shown - first) / 1e6, (last - first) / 1e6,
            (gone - first) / 1e6);
        for (qint64 t : monitor.replies(serial))
            if (t >= (up ? up : first) - 1000 * Ms && t <= gone)
                std::fprintf(stderr, "  reply at %+.1f ms\n", (t - first) / 1e6);
        watch.shown.erase(serial);
        watch.gone.erase(serial);
    }
    const double showGoal = 950 * Ms;
    const double goneGoal = 2050 * Ms;
    const double worstFirst = *std::max_element(firstToShown.begin(), firstToShown.end());
    const double worstUp = *std::max_element(upToShown.begin(), upToShown.end());
    const double worstGone = *std::max_element(lastToGone.begin(), lastToGone.end());
    BenchTable::row("4 discovery",
                    "first reply -> window shown (" + std::to_string(firstToShown.size()) + " runs)",
                    "median " + ms(BenchTable::median(firstToShown)) + ", worst " + ms(worstFirst),
                    "poll tick 50.0 ms", BenchTable::fixed(worstFirst / (50.0 * Ms), 2, "x tick"), "-", "-");
    BenchTable::row("4 discovery",
                    "device answering -> window shown (" + std::to_string(upToShown.size()) + " runs)",
                    "median " + ms(BenchTable::median(upToShown)) + ", worst " + ms(worstUp), "900 + 50 ms",
                    BenchTable::fixed(worstUp / showGoal, 2, "x goal"), "<= 950 ms",
                    BenchTable::verdict(worstUp <= showGoal));
    BenchTable::row("4 discovery",
                    "last reply -> window removed (" + std::to_string(lastToGone.size()) + " runs)",
                    "median " + ms(BenchTable::median(lastToGone)) + ", worst " + ms(worstGone),
                    "2000 + 50 ms", BenchTable::fixed(worstGone / goneGoal, 3, "x goal"), "<= 2050 ms",
                    BenchTable::verdict(worstGone <= goneGoal));
    return 0;
}

int scale(TimedApplication &app, int count, bool withMonitor) {
    const double rssStart = residentKb();
    MainDialog dialog(app);
    dialog.show();
    std::unique_ptr<MidiMonitorWindow> monitor;
    if (withMonitor) {
        monitor = std::make_unique<MidiMonitorWindow>(&app, &dialog);
        monitor->open();
        app.watchPaintsOf(monitor.get());
    }
    WindowWatch watch(app, dialog.getStackedDialog()->getDeviceList());
    if (!app.getMIDI()->isConnected()) {
        std::fprintf(stderr, "bench_link: not connected to the simulator\n");
        return 1;
    }
    app.watchLinkTimers();
    // The empty program settles first (the first broadcast goes out after 900 ms).
    EventLoopWait::runFor(600);
    const double rssEmpty = residentKb();
    const qint64 admitStart = TimedApplication::monotonicNs();
    if (!EventLoopWait::until([&] { return int(watch.shown.size()) >= count; }, 15000)) {
        std::fprintf(stderr, "bench_link: only %zu of %d devices shown\n", watch.shown.size(), count);
        return 1;
    }
    const qint64 allShown = TimedApplication::monotonicNs() - admitStart;
    // GUI-thread time of the ticks that admitted devices, spread over the devices they admitted.
    std::vector<double> perDevice;
    for (const TimedApplication::Tick &t : app.ticks())
        if (t.devicesAfter > t.devicesBefore) {
            // CPU time of the GUI thread: on a shared machine the wall time includes other programs.
            perDevice.push_back(double(t.cpuNs) / (t.devicesAfter - t.devicesBefore));
        }
    EventLoopWait::runFor(2000);
    const double rssFull = residentKb();
    double ringKb = 0;
    if (monitor) {
        // The worst steady state: the ring full, so every batch also drops the oldest rows.
        const MidiMessage status{0xF0, 0x00, 0x11, 0x22, 0x01, 0x39, 0x60, 0x00,
                                 0x00, 0x41, 0x00, 0x00, 0x03, 0x00, 0xF7};
        for (int i = 0; i < MonitorLog::kCapacity; ++i)
            monitor->log()->append(MonitorLog::Direction::In, status, QDateTime::currentMSecsSinceEpoch());
        monitor->takeUp();
        EventLoopWait::runFor(1000);
        ringKb = residentKb() - rssFull;
    }

    app.clearTicks();
    const qint64 wall0 = TimedApplication::monotonicNs();
    const qint64 thread0 = TimedApplication::threadCpuNs();
    const qint64 process0 = processCpuNs();
    const qint64 logged0 = monitor ? monitor->log()->endNumber() : 0;
    EventLoopWait::runFor(10000);
    const qint64 logged = monitor ? monitor->log()->endNumber() - logged0 : 0;
    const double wall = double(TimedApplication::monotonicNs() - wall0);
    const double guiShare = double(TimedApplication::threadCpuNs() - thread0) / wall * 100.0;
    const double processShare = double(processCpuNs() - process0) / wall * 100.0;
    double tickNs = 0;
    double worstTick = 0;
    std::vector<double> periods; // between the starts of two broadcast ticks
    qint64 lastBroadcast = 0;
    for (const TimedApplication::Tick &t : app.ticks()) {
        tickNs += double(t.durationNs);
        worstTick = std::max(worstTick, double(t.durationNs));
        if (t.intervalMs == 900) {
            if (lastBroadcast)
                periods.push_back(double(t.startNs - lastBroadcast));
            lastBroadcast = t.startNs;
        }
    }
    const int stillShown = int(watch.shown.size() - watch.gone.size());

    const std::string n =
        std::to_string(count) + (count == 1 ? " device" : " devices") + (monitor ? ", monitor open" : "");
    if (perDevice.empty()) {
        std::fprintf(stderr, "bench_link: no timer event admitted a device\n");
        return 1;
    }
    const double worstAdmit = *std::max_element(perDevice.begin(), perDevice.end());
    BenchTable::row("6 scale", n + ": GUI-thread CPU to admit one (median, worst)",
                    ms(BenchTable::median(perDevice)) + ", " + ms(worstAdmit),
                    "all shown " + ms(double(allShown)) + " after connect+600 ms",
                    BenchTable::fixed(worstAdmit / (10.0 * Ms), 2, "x goal"), "< 10 ms",
                    BenchTable::verdict(worstAdmit < 10.0 * Ms));
    const double perDeviceKb = (rssFull - rssEmpty) / count;
    BenchTable::row("6 scale", n + ": memory per device", BenchTable::fixed(perDeviceKb, 0, "KiB"),
                    "empty program " + BenchTable::fixed(rssEmpty / 1024.0, 1, "MiB") + " (" +
                        BenchTable::fixed(rssStart / 1024.0, 1, "MiB") + " before the window)",
                    "total " + BenchTable::fixed(rssFull / 1024.0, 1, "MiB"), "linear", "see rows");
    const double cpuGoal = count <= 2 ? 1.0 : 5.0;
    const bool hasGoal = count == 2 || count == 64;
    BenchTable::row("6 scale", n + ": steady CPU over 10 s, GUI thread (process)",
                    BenchTable::fixed(guiShare, 2, "%") + " (" + BenchTable::fixed(processShare, 2, "%") +
                        ")",
                    std::to_string(app.ticks().size()) + " timer events, mean " +
                        BenchTable::duration(app.ticks().empty() ? 0 : tickNs / app.ticks().size()) +
                        ", worst " + BenchTable::duration(worstTick),
                    std::to_string(stillShown) + " of " + std::to_string(count) + " still listed",
                    hasGoal ? "< " + BenchTable::fixed(cpuGoal, 0, "%") : "-",
                    hasGoal ? BenchTable::verdict(processShare < cpuGoal && stillShown == count) : "-");
    if (!periods.empty()) {
        const auto [shortest, longest] = std::minmax_element(periods.begin(), periods.end());
        double sum = 0;
        for (double p : periods)
            sum += p;
        const double mean = sum / double(periods.size());
        // A broadcast that came late by a poll tick or more means the GUI thread was held up.
        const bool kept = std::abs(mean - 900.0 * Ms) < 5.0 * Ms && *longest < 950.0 * Ms;
        BenchTable::row("6 scale", n + ": broadcast period over 10 s (mean, shortest, longest)",
                        ms(mean) + ", " + ms(*shortest) + ", " + ms(*longest),
                        std::to_string(periods.size()) + " periods" +
                            (monitor ? ", monitor took " + std::to_string(logged) + " messages, " +
                                           std::to_string(monitor->model()->rowCount()) + " rows (" +
                                           BenchTable::fixed(ringKb / 1024.0, 1, "MiB") + "), " +
                                           std::to_string(app.paints()) + " repaints of " +
                                           BenchTable::fixed(double(app.paintCpuNs()) / wall * 100.0, 2, "%")
                                     : std::string()),
                        BenchTable::fixed(mean / (900.0 * Ms), 3, "x 900 ms"), "900 ms",
                        hasGoal ? BenchTable::verdict(kept) : "-");
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int count = 0;
    bool discover = false;
    bool withMonitor = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--discovery") == 0)
            discover = true;
        else if (std::strcmp(argv[i], "--monitor") == 0)
            withMonitor = true;
        else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc)
            count = std::atoi(argv[++i]);
    }
    if (!discover && count <= 0) {
        std::fprintf(stderr, "usage: bench_link --discovery | --scale N [--monitor]\n");
        return 2;
    }
    QStringList simArgs;
    if (discover) {
        simArgs << QStringLiteral("--device") << QStringLiteral("neo:12345:Studio");
    } else {
        for (int i = 0; i < count; ++i)
            simArgs << QStringLiteral("--device")
                    << QStringLiteral("%1:%2:Dev%3").arg(i % 2 ? "lux" : "neo").arg(1000 + i).arg(i);
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvenso"));
    QCoreApplication::setApplicationName(QStringLiteral("bench_link"));
    Rig rig;
    rig.prepare();
    TimedApplication app(argc, argv);
    if (!rig.start(simArgs))
        return 1;
    const int result = discover ? discovery(app, rig) : scale(app, count, withMonitor);
    rig.stop();
    return result;
}
