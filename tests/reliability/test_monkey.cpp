// Random real input (tools/monkey/tavik-monkey, through XTEST) on the real TavikRemote with two
// simulated devices on lively inputs, then on TavikLogo. After each round the program still runs
// and answers, TavikRemote's panel shows what its link is, and at the end no message box is left
// open and the program ends cleanly (with nothing from the sanitizers in their build).
// Each program runs in a process and on a display of its own (the ctest entries filter by name).
// TAVIK_MONKEY_SEED replays a run; TAVIK_MONKEY_SECONDS sets the time a program (default 100).
#include "JackServer.h"
#include "ProgramRun.h"
#include "SimProcess.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {
const QString Query = QStringLiteral("RX F0 00 11 22 01 00 00 00 00 00 F7");
constexpr int Rounds = 4;

QString xdo(const QStringList &args) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), args);
    xdotool.waitForFinished(20000);
    return QString::fromLocal8Bit(xdotool.readAllStandardOutput()).trimmed();
}

// Presses Escape in every window of the program but the kept ones, a few times over, as a user
// closes what is open: a click into the window gives it the focus. Returns the titles and sizes of
// the windows still open then.
QStringList closeOthers(qint64 pid, const QStringList &keep) {
    QStringList open;
    for (int pass = 0; pass < 6; ++pass) {
        QTest::qWait(500);
        open.clear();
        // Untitled windows (menus, lists, the root) close with the window that opened them.
        for (const QString &id :
             xdo({"search", "--onlyvisible", "--pid", QString::number(pid), ""}).split('\n')) {
            const QString title = xdo({"getwindowname", id});
            if (title.isEmpty() || keep.contains(id) || keep.contains(title))
                continue;
            open << title + QLatin1Char(' ') + xdo({"getwindowgeometry", id}).section('\n', 2, 2).trimmed();
            xdo({"mousemove", "--window", id, "2", "2", "click", "1", "windowfocus", id});
            QTest::qWait(200);
            if (xdo({"getwindowfocus"}) == id)
                xdo({"key", "Escape"});
        }
        if (open.isEmpty())
            break;
    }
    return open;
}

// The text area of the main window's Connect!/Disconnect! button.
QImage buttonText(const QString &window) {
    xdo({"windowraise", window, "mousemove", "0", "0"});
    QTest::qWait(300);
    return QGuiApplication::primaryScreen()->grabWindow(window.toULongLong(), 64, 585, 109, 14).toImage();
}

double difference(const QImage &a, const QImage &b) {
    if (a.size() != b.size() || a.isNull())
        return 1e9;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (a.width() * a.height());
}

class Monkey : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "runs under xvfb-run";
        ASSERT_TRUE(server.start()) << server.diagnostics().toStdString();
        sim = std::make_unique<SimProcess>(server, QStringList{"--device", "neo:12345:Studio", "--device",
                                                               "lux:1234:Stage", "--lively-inputs"});
        ASSERT_TRUE(sim->start()) << sim->diagnostics().toStdString();
        ASSERT_TRUE(QImage(220, 176, QImage::Format_RGB32).save(files.filePath("picture.png")));
    }
    void TearDown() override {
        sim->stop();
        server.stop();
    }
    // One round of the monkey; its seed is printed so that a failure can be replayed.
    void monkey(qint64 pid, int round, const QStringList &options) {
        const quint32 roundSeed = seed + quint32(round);
        std::printf("round %d: tools/monkey/tavik-monkey --seed %u (TAVIK_MONKEY_SEED=%u replays the run)\n",
                    round, roundSeed, seed);
        std::fflush(stdout);
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(QStringLiteral(TAVIK_MONKEY_PATH),
                  QStringList{"--pid", QString::number(pid), "--seconds", QString::number(seconds / Rounds),
                              "--seed", QString::number(roundSeed)} +
                      options);
        ASSERT_TRUE(run.waitForFinished(int(seconds / Rounds * 1000) + 60000));
        EXPECT_EQ(run.exitCode(), 0) << "round " << round;
    }
    // The link as the device and the server see it: both ports connected and broadcasts
    // arriving, or neither; anything else, for longer than a switch takes, is a link half on.
    QString link() {
        QString seen;
        for (int look = 0; look < 4; ++look) {
            const qsizetype before = sim->logLines().count(Query);
            QTest::qWait(2500);
            const bool broadcasts = sim->logLines().count(Query) > before;
            const bool in =
                !server.connectionsOf(QStringLiteral("RtMidi Input Client:RtMidi Input")).isEmpty();
            const bool out =
                !server.connectionsOf(QStringLiteral("RtMidi Output Client:RtMidi Output")).isEmpty();
            if (in && out && broadcasts)
                return QStringLiteral("connected");
            if (!in && !out && !broadcasts)
                return QStringLiteral("disconnected");
            seen = QStringLiteral("half: ports %1 %2, broadcasts %3").arg(in).arg(out).arg(broadcasts);
        }
        return seen;
    }

    JackServer server{JackServer::uniqueName(QStringLiteral("tavik-monkey"))};
    std::unique_ptr<SimProcess> sim;
    QTemporaryDir files;
    const quint32 seed = qEnvironmentVariableIsSet("TAVIK_MONKEY_SEED")
                             ? quint32(qEnvironmentVariableIntValue("TAVIK_MONKEY_SEED"))
                             : QRandomGenerator::global()->bounded(1u << 30);
    const double seconds = qEnvironmentVariableIntValue("TAVIK_MONKEY_SECONDS") > 0
                               ? qEnvironmentVariableIntValue("TAVIK_MONKEY_SECONDS")
                               : 100;
};
} // namespace

TEST_F(Monkey, TavikRemoteKeepsRunningAnsweringAndItsPanelShowsTheLink) {
    ProgramRun remote(server, QStringLiteral(TAVIK_REMOTE_PATH));
    remote.setDisplay(qEnvironmentVariable("DISPLAY"));
    ASSERT_TRUE(remote.writeConfig(QStringLiteral("Kalvenso Remote.conf"),
                                   "[General]\nSnapshotFolder=" + files.path().toUtf8() + "\n"));
    ASSERT_TRUE(remote.start({}));
    // The system has one port each way: connected at start.
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim->logLines().contains(Query); }, 60000));
    ASSERT_EQ(link(), "connected") << remote.standardError().toStdString();
    const QString main = xdo({"search", "--sync", "--onlyvisible", "--pid", QString::number(remote.pid()),
                              "--name", "^Kalvenso Remote$"})
                             .section('\n', 0, 0);
    ASSERT_FALSE(main.isEmpty()) << remote.standardError().toStdString();
    const QImage connected = buttonText(main);
    const auto clickButton = [&] { xdo({"mousemove", "--window", main, "118", "592", "click", "1"}); };
    clickButton();
    ASSERT_EQ(link(), "disconnected");
    const QImage disconnected = buttonText(main);
    ASSERT_GT(difference(connected, disconnected), 10);
    clickButton();
    ASSERT_EQ(link(), "connected");

    const QStringList keep{main, QStringLiteral("Kalvenso Remote - MIDI monitor")};
    for (int round = 0; round < Rounds; ++round) {
        monkey(remote.pid(), round,
               {"--keep", main, "--file-dialog", "^(Save|Load|Compare with) snapshot$", "--answer",
                files.filePath("snapshot.json")});
        ASSERT_FALSE(remote.hasEnded()) << remote.standardError().toStdString();
        closeOthers(remote.pid(), keep);
        const QImage shown = buttonText(main);
        const double toConnected = difference(shown, connected);
        const double toDisconnected = difference(shown, disconnected);
        const QString panel = toConnected < toDisconnected / 4   ? QStringLiteral("connected")
                              : toDisconnected < toConnected / 4 ? QStringLiteral("disconnected")
                                                                 : QStringLiteral("unreadable");
        EXPECT_EQ(panel.toStdString(), link().toStdString())
            << "round " << round << ", the button as shown: "
            << (shown.save(files.filePath("panel.png")) ? files.filePath("panel.png") : QString())
                   .toStdString();
        // Answering: the button still switches the link on.
        if (panel == QLatin1String("disconnected")) {
            clickButton();
            EXPECT_EQ(link().toStdString(), "connected") << "round " << round << "\n"
                                                         << remote.standardError().toStdString();
        }
    }
    EXPECT_EQ(closeOthers(remote.pid(), keep).join(QLatin1String(", ")).toStdString(), "");
    EXPECT_TRUE(remote.endByClosingWindow(QStringLiteral("^Kalvenso Remote$")));
    EXPECT_FALSE(remote.standardError().contains(QStringLiteral("Sanitizer")))
        << remote.standardError().toStdString();
}

TEST_F(Monkey, TavikLogoKeepsRunningAndAnswering) {
    ProgramRun logo(server, QStringLiteral(TAVIK_LOGO_PATH));
    logo.setDisplay(qEnvironmentVariable("DISPLAY"));
    // The simulator's ports are the only ones: connected at start.
    ASSERT_TRUE(logo.writeConfig(QStringLiteral("TavikLogo.conf"), "[TavikNeo]\nMIDI_IN=0\nMIDI_OUT=0\n"));
    ASSERT_TRUE(logo.start({}));
    const QString title = QStringLiteral("Tavik Neo Logo Uploader");
    const QString main =
        xdo({"search", "--sync", "--onlyvisible", "--pid", QString::number(logo.pid()), "--name", title})
            .section('\n', 0, 0);
    ASSERT_FALSE(main.isEmpty()) << logo.standardError().toStdString();
    for (int round = 0; round < Rounds; ++round) {
        monkey(logo.pid(), round,
               {"--keep", main, "--closing", "Return", "--file-dialog", "^Open$", "--answer",
                files.filePath("picture.png")});
        ASSERT_FALSE(logo.hasEnded()) << logo.standardError().toStdString();
    }
    EXPECT_EQ(closeOthers(logo.pid(), {main}), QStringList());
    EXPECT_TRUE(logo.endByClosingWindow(title));
    EXPECT_FALSE(logo.standardError().contains(QStringLiteral("Sanitizer")))
        << logo.standardError().toStdString();
}

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
