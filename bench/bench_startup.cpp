// Start-up of TavikRemote (its own main, offscreen): process start to first shown window and peak memory,
// beside a minimal Qt dialog program and a minimal Qt dialog that opens an RtMidi JACK port pair and
// lists the ports (the floor the goal is set against), measured the same way in the same run.
#include "BenchJack.h"
#include "BenchTable.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

long long monotonicNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

struct Sample {
    double startNs = -1;
    double maxRssKb = -1;
};

Sample runOnce(const QString &program, const QProcessEnvironment &env, const QString &folder) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    const long long begin = monotonicNs();
    process.start(program, {});
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(3000);
        return {};
    }
    Sample sample;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        long long shown = 0;
        long rss = 0;
        if (std::sscanf(line.constData(), "PROBE shown_ns=%lld maxrss_kb=%ld", &shown, &rss) == 2) {
            sample.startNs = double(shown - begin);
            sample.maxRssKb = double(rss);
        }
    }
    return sample;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    // Each start a first one (no remembered ports, no user settings), off screen, with the probe on.
    BenchJack jack("bench_startup", {{"QT_QPA_PLATFORM", "offscreen"}, {"TAVIK_BENCH_PROBE", "1"}});
    if (!jack.start())
        return 1;
    const QProcessEnvironment env = jack.environment();

    // TavikRemote, the minimal dialog and the minimal MIDI dialog, started in turn.
    const QString programs[] = {QStringLiteral(TAVIK_BENCH_REMOTE_PATH),
                                QStringLiteral(TAVIK_BENCH_MINIMAL_PATH),
                                QStringLiteral(TAVIK_BENCH_MINIMAL_MIDI_PATH)};
    // One unmeasured start of each fills the file cache.
    for (const QString &program : programs)
        runOnce(program, env, jack.home());
    std::vector<double> time[3], rss[3];
    const int runs = 9;
    for (int i = 0; i < runs; ++i)
        for (int p = 0; p < 3; ++p) {
            const Sample s = runOnce(programs[p], env, jack.home());
            if (s.startNs < 0) {
                std::fprintf(stderr, "bench_startup: a start of %s did not report its window\n",
                             qPrintable(programs[p]));
                return 1;
            }
            time[p].push_back(s.startNs);
            rss[p].push_back(s.maxRssKb);
        }
    jack.server().stop();
    const double rt = BenchTable::median(time[0]), mt = BenchTable::median(time[1]),
                 dt = BenchTable::median(time[2]);
    const double rr = BenchTable::median(rss[0]), mr = BenchTable::median(rss[1]),
                 dr = BenchTable::median(rss[2]);
    BenchTable::row("5 start-up", "TavikRemote start -> first window shown (median of 9)",
                    BenchTable::duration(rt), "minimal dialog " + BenchTable::duration(mt),
                    BenchTable::fixed(rt / mt, 2, "x minimal"), "-", "-");
    BenchTable::row("5 start-up", "TavikRemote start -> first window shown (median of 9)",
                    BenchTable::duration(rt), "minimal MIDI dialog " + BenchTable::duration(dt),
                    BenchTable::fixed(rt / dt, 2, "x floor"), "<= 1.5 x",
                    BenchTable::verdict(rt <= 1.5 * dt));
    BenchTable::row("5 start-up", "TavikRemote peak memory at first window",
                    BenchTable::fixed(rr / 1024.0, 1, "MiB"),
                    "minimal dialog " + BenchTable::fixed(mr / 1024.0, 1, "MiB"),
                    BenchTable::fixed(rr / mr, 2, "x minimal"), "-", "-");
    BenchTable::row(
        "5 start-up", "TavikRemote peak memory at first window", BenchTable::fixed(rr / 1024.0, 1, "MiB"),
        "minimal MIDI dialog " + BenchTable::fixed(dr / 1024.0, 1, "MiB"),
        BenchTable::fixed(rr / dr, 2, "x floor"), "<= 1.5 x", BenchTable::verdict(rr <= 1.5 * dr));
    return 0;
}
