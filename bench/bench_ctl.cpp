// tavikctl's answer time, process start to exit, beside its floor in the same run: the process
// start, JACK open and port list of `tavikctl ports`, plus the MIDI round trips the command needs
// (two JACK periods each: a message sent in one period reaches the device at the next, its answer
// the one after).
#include "BenchJack.h"
#include "BenchTable.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <vector>

namespace {
constexpr double PeriodMs = 256.0 / 48.0; // the dummy driver's period at 48 kHz, 256 frames
constexpr int Runs = 9;

// The median wall time of a tavikctl command in ms; -1 when a run failed.
double timed(const QProcessEnvironment &env, const QStringList &args) {
    std::vector<double> ms;
    for (int i = 0; i < Runs + 1; ++i) {
        QProcess ctl;
        ctl.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        ctl.start(QStringLiteral(TAVIK_BENCH_CTL_PATH), QStringList{"--in", "sim", "--out", "sim"} + args);
        if (!ctl.waitForFinished(20000) || ctl.exitCode() != 0) {
            std::fprintf(stderr, "bench_ctl: tavikctl %s failed: %s\n", qPrintable(args.join(' ')),
                         ctl.readAllStandardError().constData());
            return -1;
        }
        if (i > 0) // the first fills the file cache
            ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return BenchTable::median(ms);
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    BenchJack jack("bench_ctl");
    if (!jack.start())
        return 1;
    SimProcess sim(jack.server(), {"--device", "neo:12345:Studio"});
    if (!sim.start()) {
        std::fprintf(stderr, "bench_ctl: the simulator did not start: %s\n", qPrintable(sim.diagnostics()));
        return 1;
    }
    const QProcessEnvironment env = jack.environment();

    const double ports = timed(env, {"ports"});
    if (ports < 0)
        return 1;
    // Round trips: the version request, the request for reports, and for set the acknowledgement.
    const struct {
        const char *what;
        QStringList args;
        int roundTrips;
    } commands[] = {
        {"get Studio rate", {"get", "Studio", "rate"}, 2},
        {"get Studio fader.in.1", {"get", "Studio", "fader.in.1"}, 2},
        {"set Studio fader.in.1=+1.5", {"set", "Studio", "fader.in.1=+1.5"}, 3},
        {"set Studio rate=48k", {"set", "Studio", "rate=48k"}, 3},
        {"show Studio", {"show", "Studio"}, 2},
    };
    BenchTable::row("6 tavikctl", "tavikctl ports (median of 9)", BenchTable::fixed(ports, 1, "ms"), "-", "-",
                    "-", "-");
    int failed = 0;
    for (const auto &c : commands) {
        const double ms = timed(env, c.args);
        if (ms < 0) {
            ++failed;
            continue;
        }
        const double floor = ports + c.roundTrips * 2 * PeriodMs;
        BenchTable::row("6 tavikctl", std::string("tavikctl ") + c.what + " (median of 9)",
                        BenchTable::fixed(ms, 1, "ms"),
                        "floor " + BenchTable::fixed(floor, 1, "ms") + " (ports + " +
                            std::to_string(c.roundTrips) + " round trips)",
                        BenchTable::fixed(ms / floor, 2, "x floor"), "<= 1.5 x",
                        BenchTable::verdict(ms <= 1.5 * floor));
    }
    sim.stop();
    jack.server().stop();
    return failed == 0 ? 0 : 1;
}
