// TavikRemote and TavikLogo started and ended 30 times in a row on one JACK server, each start
// right after the last exit, ended by SIGTERM, SIGKILL, SIGINT or a closed window in turn: every
// start must reach the simulator, and the JACK graph must never stall for the clients beside them.
#include "JackServer.h"
#include "LoopbackProbe.h"
#include "ProgramRun.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>

namespace {
const QString Query = QStringLiteral("RX F0 00 11 22 01 00 00 00 00 00 F7");
constexpr int Starts = 30;
// A graph that stalls for longer than this loses MIDI for every client on the server.
constexpr double LongestLoopbackWaitMs = 200;

// A virtual X display, so that a window can be closed as a user closes it.
class VirtualDisplay {
public:
    bool start() {
        m_xvfb.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                      QStringLiteral("tcp")});
        if (!QTest::qWaitFor([&] { return m_xvfb.canReadLine() || m_xvfb.state() == QProcess::NotRunning; },
                             10000))
            return false;
        m_name = QLatin1Char(':') + QString::fromLatin1(m_xvfb.readLine()).trimmed();
        return m_name.size() > 1;
    }
    ~VirtualDisplay() {
        m_xvfb.terminate();
        m_xvfb.waitForFinished(5000);
    }
    QString name() const { return m_name; }

private:
    QProcess m_xvfb;
    QString m_name;
};

class Restarts : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "xdotool is needed to close the windows";
        ASSERT_TRUE(display.start());
        ASSERT_TRUE(server.start()) << server.diagnostics().toStdString();
        server.applyToThisProcess();
        sim = std::make_unique<SimProcess>(server, QStringList{"--device", "neo:12345:Studio"});
        ASSERT_TRUE(sim->start());
        // Its ports make two of each direction, so only the remembered names pick the simulator's
        // (its output is on its second client, "tavik-sim-01").
        ASSERT_TRUE(probe.start());
    }
    void TearDown() override {
        probe.stop();
        if (sim)
            sim->stop();
        server.stop();
    }

    // Starts the program Starts times with the profile; returns how many starts reached the
    // simulator with the device query (or version broadcast, the same bytes).
    int restart(const QString &program, const QString &profileFile, const QByteArray &profile,
                const QString &title) {
        int reached = 0;
        for (int i = 0; i < Starts; ++i) {
            ProgramRun run(server, program);
            run.setDisplay(display.name());
            EXPECT_TRUE(run.writeConfig(profileFile, profile));
            const qsizetype before = sim->logLines().count(Query);
            EXPECT_TRUE(run.start({}));
            if (QTest::qWaitFor([&] { return sim->logLines().count(Query) > before; }, 10000))
                ++reached;
            else
                ADD_FAILURE() << "start " << i + 1
                              << " did not reach the simulator: " << run.standardError().toStdString();
            bool ended = false;
            switch (i % 4) {
            case 0:
                ended = run.endWithSignal(SIGTERM);
                break;
            case 1:
                ended = run.endWithSignal(SIGKILL);
                break;
            case 2:
                ended = run.endByClosingWindow(title);
                break;
            default:
                ended = run.endWithSignal(SIGINT);
                break;
            }
            EXPECT_TRUE(ended) << "start " << i + 1 << " did not end: " << run.standardError().toStdString();
        }
        return reached;
    }

    JackServer server{JackServer::uniqueName(QStringLiteral("tavik-restart"))};
    VirtualDisplay display;
    std::unique_ptr<SimProcess> sim;
    LoopbackProbe probe;
};
} // namespace

TEST_F(Restarts, EveryStartOfTavikLogoReachesTheDeviceAndTheGraphNeverStalls) {
    const int reached = restart(QStringLiteral(TAVIK_LOGO_PATH), QStringLiteral("TavikLogo.conf"),
                                "[TavikNeo]\nMIDI_IN=0\nMIDI_OUT=0\nMIDI_IN_NAME=tavik-sim-01:out\n"
                                "MIDI_OUT_NAME=tavik-sim:in\n",
                                QStringLiteral("Tavik Neo Logo Uploader"));
    EXPECT_EQ(reached, Starts);
    RecordProperty("longest_loopback_wait_ms", int(probe.longestWaitMs()));
    std::printf("TavikLogo: %d of %d starts reached the simulator; longest loopback wait %.0f ms\n", reached,
                Starts, probe.longestWaitMs());
    EXPECT_LT(probe.longestWaitMs(), LongestLoopbackWaitMs);
    EXPECT_GT(probe.received(), 0);
}

TEST_F(Restarts, EveryStartOfTavikRemoteReachesTheDeviceAndTheGraphNeverStalls) {
    const int reached = restart(QStringLiteral(TAVIK_REMOTE_PATH), QStringLiteral("Kalvenso Remote.conf"),
                                "[General]\nmidiInPortnumber=0\nmidiOutPortnumber=0\n"
                                "midiInPortname=tavik-sim-01:out\nmidiOutPortname=tavik-sim:in\n",
                                QStringLiteral("Kalvenso Remote"));
    EXPECT_EQ(reached, Starts);
    RecordProperty("longest_loopback_wait_ms", int(probe.longestWaitMs()));
    std::printf("TavikRemote: %d of %d starts reached the simulator; longest loopback wait %.0f ms\n",
                reached, Starts, probe.longestWaitMs());
    EXPECT_LT(probe.longestWaitMs(), LongestLoopbackWaitMs);
    EXPECT_GT(probe.received(), 0);
}

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
