// Logo upload time: the real TavikLogo dialog sending 64 chunks to tavik-sim over a private JACK server,
// against the floor of 64 plain round trips (652 bytes out, a short reply back) through the same server,
// without pacing and with the simulator pacing its input like a 31250-baud cable.
#include "BenchJack.h"
#include "BenchTable.h"
#include "EventLoopWait.h"
#include "SimPortLocator.h"
#include "SimProcess.h"
#include "logo/CGlimmerlyDlg.h"
#include "logo/RtMidiPlatform.h"
#include "sysex/TavikSysEx.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <RtMidi.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

constexpr int Chunks = 64;
constexpr size_t ChunkBytes = 652;
constexpr int Baud = 31250;

QString savePicture(const QTemporaryDir &dir) {
    QImage image(220, 176, QImage::Format_RGB32);
    for (int y = 0; y < 176; ++y)
        for (int x = 0; x < 220; ++x)
            image.setPixel(x, y,
                           (x >= 150 && y >= 100 && x < 200 && y < 150)
                               ? qRgb(x + y, (x * y) % 256, 255 - y)
                               : qRgb((x / 20) * 23, (y / 16) * 23, 128));
    const QString path = dir.filePath(QStringLiteral("upload.png"));
    image.save(path);
    return path;
}

// 64 round trips to the echo peer; returns the time of each run in nanoseconds.
std::vector<double> floorRuns(const JackServer &server, bool paced, int runs) {
    QProcess echo;
    echo.setProcessEnvironment(server.environment());
    QStringList args;
    if (paced)
        args << QStringLiteral("--pace-baud") << QString::number(Baud);
    echo.start(QStringLiteral(TAVIK_BENCH_ECHO_PATH), args);
    if (!echo.waitForReadyRead(10000) || !echo.readLine().startsWith("ready")) {
        std::fprintf(stderr, "bench_upload: echo peer did not start: %s\n",
                     echo.readAllStandardError().data());
        return {};
    }
    std::vector<double> times;
    try {
        RtMidiIn in(RtMidi::UNIX_JACK, "tavik-bench-floor", 100);
        RtMidiOut out(RtMidi::UNIX_JACK, "tavik-bench-floor");
        auto find = [](RtMidi &midi, const char *suffix) {
            for (unsigned i = 0; i < midi.getPortCount(); ++i) {
                const std::string name = midi.getPortName(i);
                if (name.rfind("tavik-bench-echo", 0) == 0 && name.size() > 3 &&
                    name.compare(name.size() - std::strlen(suffix), std::strlen(suffix), suffix) == 0)
                    return int(i);
            }
            return -1;
        };
        const int inPort = find(in, ":out");
        const int outPort = find(out, ":in");
        if (inPort < 0 || outPort < 0) {
            std::fprintf(stderr, "bench_upload: echo ports not listed\n");
            return {};
        }
        struct Replies {
            std::mutex mutex;
            std::condition_variable arrived;
            int count = 0;
        } replies;
        in.ignoreTypes(false, false, false);
        in.setCallback(
            [](double, std::vector<unsigned char> *, void *user) {
                auto *r = static_cast<Replies *>(user);
                {
                    std::lock_guard<std::mutex> lock(r->mutex);
                    ++r->count;
                }
                r->arrived.notify_all();
            },
            &replies);
        in.openPort(unsigned(inPort), "in");
        out.openPort(unsigned(outPort), "out");
        std::vector<unsigned char> message(ChunkBytes, 0x55);
        std::vector<unsigned char> header;
        TavikSysEx::appendHeader(header, TavikSysEx::FamilyNeo, 12345, TavikSysEx::PICTURE_CHUNK);
        std::copy(header.begin(), header.end(), message.begin());
        message.back() = TavikSysEx::SysExEnd;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < Chunks; ++i) {
                std::unique_lock<std::mutex> lock(replies.mutex);
                const int expected = replies.count + 1;
                message[TavikSysEx::PayloadIndex] = static_cast<unsigned char>(i);
                lock.unlock();
                out.sendMessage(&message);
                lock.lock();
                if (!replies.arrived.wait_for(lock, std::chrono::seconds(5),
                                              [&] { return replies.count >= expected; })) {
                    std::fprintf(stderr, "bench_upload: echo reply %d missing\n", i);
                    return {};
                }
            }
            times.push_back(double(timer.nsecsElapsed()));
        }
        in.closePort();
        out.closePort();
    } catch (const RtMidiError &e) {
        std::fprintf(stderr, "bench_upload: %s\n", e.what());
        return {};
    }
    echo.write("quit\n");
    if (!echo.waitForFinished(3000))
        echo.kill();
    return times;
}

// The real dialog uploads the picture `runs` times; returns the time of each run in nanoseconds.
std::vector<double> uploadRuns(const JackServer &server, bool paced, int runs, const QString &picture) {
    QStringList args{"--device", "neo:12345:Studio", "--status-interval", "0"};
    if (paced)
        args << QStringLiteral("--pace-baud") << QString::number(Baud);
    SimProcess sim(server, args);
    if (!sim.start() || !SimPortLocator::StoreAsProfile()) {
        std::fprintf(stderr, "bench_upload: simulator did not start: %s\n", qPrintable(sim.diagnostics()));
        return {};
    }
    std::vector<double> times;
    {
        CGlimmerlyDlg dialog(std::make_unique<RtMidiPlatform>());
        dialog.show();
        auto listed = [&] {
            return dialog.GetState() == CGlimmerlyDlg::Connected && dialog.DeviceRows() == 1;
        };
        if (!EventLoopWait::until(listed, 15000)) {
            std::fprintf(stderr, "bench_upload: device not listed\n");
            return {};
        }
        dialog.ApplyChosenPicture(picture);
        auto *send = dialog.findChild<QPushButton *>(QStringLiteral("sendButton"));
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            send->click();
            if (!EventLoopWait::until([&] { return dialog.AckCounter() == Chunks; }, 60000)) {
                std::fprintf(stderr,
                             "bench_upload: upload stopped after %d chunks; simulator log ends:\n%s\n",
                             dialog.AckCounter(),
                             qPrintable(sim.logLines().mid(sim.logLines().size() - 8).join('\n')));
                return {};
            }
            times.push_back(double(timer.nsecsElapsed()));
            // After the upload the dialog asks for the devices again; wait until it lists this one.
            if (!EventLoopWait::until(listed, 15000))
                return {};
        }
    }
    if (!sim.waitForLogLine(QRegularExpression(QStringLiteral("^# logo crc ok")), 5000)) {
        std::fprintf(stderr, "bench_upload: the simulator did not confirm the logo\n");
        return {};
    }
    sim.stop();
    return times;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    QTemporaryDir profile;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvenso"));
    QCoreApplication::setApplicationName(QStringLiteral("bench_upload"));
    const QString picture = savePicture(profile);

    BenchJack jack("bench_upload");
    if (!jack.start())
        return 1;
    JackServer &server = jack.server();
    server.applyToThisProcess();

    const int unpacedRuns = 5;
    const std::vector<double> floorFast = floorRuns(server, false, unpacedRuns);
    const std::vector<double> uploadFast = uploadRuns(server, false, unpacedRuns, picture);
    if (floorFast.empty() || uploadFast.empty())
        return 1;
    const double ff = BenchTable::median(floorFast);
    const double uf = BenchTable::median(uploadFast);
    BenchTable::row("3 upload", "64 chunks to tavik-sim, no pacing (median of 5)", BenchTable::duration(uf),
                    "floor " + BenchTable::duration(ff), BenchTable::fixed(uf / ff, 2, "x floor"), "-", "-");

    if (quick)
        return 0;
    const double wire = double(Chunks * ChunkBytes) * 10.0 * 1e9 / Baud;
    const std::vector<double> floorPaced = floorRuns(server, true, 1);
    const std::vector<double> uploadPaced = uploadRuns(server, true, 1, picture);
    if (floorPaced.empty() || uploadPaced.empty())
        return 1;
    const double fp = floorPaced.front();
    const double up = uploadPaced.front();
    BenchTable::row("3 upload", "64 chunks, paced at 31250 baud: floor", BenchTable::duration(fp),
                    "wire " + BenchTable::duration(wire), BenchTable::fixed(fp / wire, 3, "x wire"), "-",
                    "-");
    BenchTable::row("3 upload", "64 chunks, paced at 31250 baud: upload", BenchTable::duration(up),
                    "wire " + BenchTable::duration(wire) + ", floor " + BenchTable::duration(fp),
                    BenchTable::fixed(up / wire, 3, "x wire") + ", " +
                        BenchTable::fixed(up / fp, 3, "x floor"),
                    "<= 1.05 x wire", BenchTable::verdict(up <= 1.05 * wire));
    server.stop();
    return 0;
}
