// TavikRemote and TavikLogo started and ended 30 times in a row on one JACK server, each start
// right after the last exit, ended by SIGTERM, SIGKILL, SIGINT or a closed window in turn: every
// start must reach the simulator, and the JACK graph must never stall for the clients beside them.
#include "JackServer.h"
#include "LoopbackProbe.h"
#include "ProgramRun.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>

namespace {
const QString Query = QStringLiteral("RX F0 00 11 22 01 00 00 00 00 00 F7");
constexpr int Starts = 30;
// A graph that stalls for longer than this loses MIDI for every client on the server.
constexpr double LongestLoopbackWaitMs = 200;

class Restarts : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "xdotool is needed to close the windows";
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "runs under xvfb-run";
        ASSERT_TRUE(server.start()) << server.diagnostics().toStdString();
        server.applyToThisProcess();
        sim = std::make_unique<SimProcess>(server, QStringList{"--device", "neo:12345:Studio"});
        ASSERT_TRUE(sim->start());
        // Its ports make two of each direction, so only the remembered names pick the simulator's
        // (its output is on its second client, "tavik-sim-01" on jackd2).
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
            run.setDisplay(qEnvironmentVariable("DISPLAY"));
            EXPECT_TRUE(run.writeConfig(profileFile, profile));
            const qsizetype before = sim->logLines().count(Query);
            EXPECT_TRUE(run.start({}));
            if (QTest::qWaitFor([&] { return sim->logLines().count(Query) > before; }, 10000))
                ++reached;
            else
                ADD_FAILURE() << "start " << i + 1
                              << " did not reach the simulator: " << run.standardError().toStdString();
            // Ended in turn by SIGTERM, SIGKILL, Escape in its window and SIGINT.
            constexpr int Signals[] = {SIGTERM, SIGKILL, 0, SIGINT};
            const bool ended =
                Signals[i % 4] ? run.endWithSignal(Signals[i % 4]) : run.endByClosingWindow(title);
            EXPECT_TRUE(ended) << "start " << i + 1 << " did not end: " << run.standardError().toStdString();
        }
        return reached;
    }

    JackServer server{JackServer::uniqueName(QStringLiteral("tavik-restart"))};
    std::unique_ptr<SimProcess> sim;
    LoopbackProbe probe;
};
} // namespace

TEST_F(Restarts, EveryStartReachesTheDeviceAndTheGraphNeverStalls) {
    // The simulator's output is on its second client, whose suffix the server chooses.
    const QStringList outs =
        server.ports().filter(QRegularExpression(QStringLiteral("^tavik-sim-\\d+:out$")));
    ASSERT_EQ(outs.size(), 1) << outs.join(' ').toStdString();
    const QByteArray out = outs[0].toUtf8();
    const struct {
        const char *path, *profileFile;
        QByteArray profile;
        const char *title;
    } programs[] = {
        {TAVIK_LOGO_PATH, "TavikLogo.conf",
         "[TavikNeo]\nMIDI_IN=0\nMIDI_OUT=0\nMIDI_IN_NAME=" + out + "\nMIDI_OUT_NAME=tavik-sim:in\n",
         "Tavik Neo Logo Uploader"},
        {TAVIK_REMOTE_PATH, "Kalvenso Remote.conf",
         "[General]\nmidiInPortnumber=0\nmidiOutPortnumber=0\nmidiInPortname=" + out +
             "\nmidiOutPortname=tavik-sim:in\n",
         "Kalvenso Remote"},
    };
    for (const auto &program : programs) {
        const int reached = restart(QString::fromUtf8(program.path), QString::fromUtf8(program.profileFile),
                                    program.profile, QString::fromUtf8(program.title));
        std::printf("%s: %d of %d starts reached the simulator; longest loopback wait so far %.0f ms\n",
                    program.path, reached, Starts, probe.longestWaitMs());
        EXPECT_EQ(reached, Starts) << program.path;
    }
    EXPECT_GT(probe.received(), 0);
    EXPECT_LT(probe.longestWaitMs(), LongestLoopbackWaitMs);
}

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
