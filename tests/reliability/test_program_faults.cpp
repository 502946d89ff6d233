// The real TavikRemote and TavikLogo programs with an unwritable working directory and with
// settings and profile files that hold garbage.
#include "JackServer.h"
#include "ProgramRun.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {
const QString JumpStart =
    QStringLiteral("Found usable MIDI port numbers from last program run, jump-starting MIDI-connection!");
const QString CannotOpen = QStringLiteral("Cannot open logfile for writing!!");
const QString Query = QStringLiteral("RX F0 00 11 22 01 00 00 00 00 00 F7");

// Whether a port of a TavikLogo client is connected to the simulator's input and one to its output,
// as `jack_lsp -c` shows the server's connections.
bool logoConnectedToSim(const JackServer &server) {
    QProcess lsp;
    lsp.setProcessEnvironment(server.environment());
    lsp.start(QStringLiteral("jack_lsp"), {QStringLiteral("-c")});
    if (!lsp.waitForFinished(5000))
        return false;
    bool toInput = false;
    bool fromOutput = false;
    QString port;
    for (const QString &line : QString::fromLocal8Bit(lsp.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1Char(' '))) {
            port = line;
            continue;
        }
        const bool logo = line.trimmed().startsWith(QStringLiteral("TavikLogo"));
        if (logo && port.startsWith(QStringLiteral("tavik-sim")) && port.endsWith(QStringLiteral(":in")))
            toInput = true;
        if (logo && port.startsWith(QStringLiteral("tavik-sim")) && port.endsWith(QStringLiteral(":out")))
            fromOutput = true;
    }
    return toInput && fromOutput;
}

class ProgramFaults : public ::testing::Test {
protected:
    void SetUp() override {
        server = std::make_unique<JackServer>(JackServer::uniqueName(QStringLiteral("tavik-prog")));
        ASSERT_TRUE(server->start()) << server->diagnostics().toStdString();
    }
    void TearDown() override {
        sims.clear();
        server->stop();
    }
    SimProcess *startSim(const QStringList &args) {
        sims.push_back(std::make_unique<SimProcess>(*server, args));
        return sims.back()->start() ? sims.back().get() : nullptr;
    }
    std::unique_ptr<JackServer> server;
    std::vector<std::unique_ptr<SimProcess>> sims;
};
} // namespace

TEST_F(ProgramFaults, DebugInAnUnwritableWorkingDirectoryRunsAndSaysSoOnStandardError) {
    // As root every folder is writable except the ones of /proc; otherwise a read-only folder.
    QTemporaryDir readOnly;
    QString dir = QStringLiteral("/proc");
    if (geteuid() != 0) {
        dir = readOnly.path();
        ASSERT_TRUE(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
    }
    ASSERT_NE(startSim({"--device", "neo:12345:Studio"}), nullptr);
    ProgramRun remote(*server, QStringLiteral(TAVIK_REMOTE_PATH));
    remote.setWorkingDirectory(dir);
    ASSERT_TRUE(remote.start({"--debug"}));
    // Every message tries again, and each failure says so.
    EXPECT_TRUE(remote.waitForStandardError(CannotOpen + QLatin1Char('\n'), 3, 20000))
        << remote.standardError().toStdString();
    QTest::qWait(1000);
    EXPECT_FALSE(remote.hasEnded()) << remote.standardError().toStdString();
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/log_messages.txt")));
    remote.stop();
    if (geteuid() != 0)
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(ProgramFaults, RemoteWithGarbageSettingsStartsAsWithNoStoredPorts) {
    // Two simulators: two ports each way, so only stored numbers could pick a pair.
    ASSERT_NE(startSim({"--device", "neo:12345:Studio"}), nullptr);
    ASSERT_NE(startSim({"--device", "lux:1234:Stage", "--client", "tavik-sim-b"}), nullptr);
    const QList<QPair<QByteArray, QByteArray>> garbage{
        {"abc", "1"},
        {"1", "-5"},
        {"99999999999999999999", "0"},
        {"2147483648", "1"},
        {"-2147483649", "1"},
        {"1", "1.5"},
        {"\"1, 2\"", "0"},
        {"@ByteArray(\\x1)", "1"},
        {"0x1", "1"},
        {"", "1"},
    };
    for (const auto &[in, out] : garbage) {
        SCOPED_TRACE(("midiInPortnumber=" + in + " midiOutPortnumber=" + out).toStdString());
        ProgramRun remote(*server, QStringLiteral(TAVIK_REMOTE_PATH));
        ASSERT_TRUE(remote.writeConfig(QStringLiteral("Kalvenso Remote.conf"),
                                       "[General]\nExtFunctionsEnabled=zz\nmidiInPortnumber=" + in +
                                           "\nmidiOutPortnumber=" + out + "\n"));
        ASSERT_TRUE(remote.start({"--debug"}));
        ASSERT_TRUE(remote.waitForLogLine(QStringLiteral("End of MainDialog."), 20000))
            << remote.standardError().toStdString();
        QTest::qWait(300);
        EXPECT_FALSE(remote.hasEnded());
        const QStringList lines = remote.logLines();
        EXPECT_EQ(lines.filter(JumpStart).size(), 0) << lines.join('\n').toStdString();
        EXPECT_EQ(lines.filter(QStringLiteral("Found MIDI IN port = >>")).size(), 2);
        remote.stop();
    }
    // The same folder with usable numbers connects at once, so the runs above really read them.
    ProgramRun control(*server, QStringLiteral(TAVIK_REMOTE_PATH));
    ASSERT_TRUE(control.writeConfig(QStringLiteral("Kalvenso Remote.conf"),
                                    "[General]\nmidiInPortnumber=1\nmidiOutPortnumber=0\n"));
    ASSERT_TRUE(control.start({"--debug"}));
    EXPECT_TRUE(control.waitForLogLine(JumpStart, 20000)) << control.logLines().join('\n').toStdString();
}

TEST_F(ProgramFaults, RemoteStartedBeforeTheServerConnectsToTheOnlyPortPairWhenItComes) {
    server->pause();
    ProgramRun remote(*server, QStringLiteral(TAVIK_REMOTE_PATH));
    ASSERT_TRUE(remote.start({"--debug"}));
    ASSERT_TRUE(remote.waitForLogLine(QStringLiteral("End of MainDialog."), 20000));
    ASSERT_TRUE(server->start()) << server->diagnostics().toStdString();
    SimProcess *sim = startSim({"--device", "neo:12345:Studio"});
    ASSERT_NE(sim, nullptr);
    // No click and no remembered ports: the broadcasts reaching the device say it is connected.
    EXPECT_TRUE(
        sim->waitForLogLine(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(Query)), 15000))
        << remote.logLines().join('\n').toStdString();
}

TEST_F(ProgramFaults, LogoWithGarbageProfileStartsAsWithNoProfile) {
    SimProcess *sim = startSim({"--device", "neo:12345:Studio"});
    ASSERT_NE(sim, nullptr);
    // No profile: ports 0 and 0, the simulator's only ports, are opened (and the device query
    // goes out on them).
    const QList<QPair<QByteArray, QByteArray>> profiles{
        {{}, {}},      {"abc", "-7"},         {"99999999999999999999", "1e3"}, {"-1", "2147483648"},
        {"\"\"", " "}, {"@Invalid()", "0x0"},
    };
    for (const auto &[in, out] : profiles) {
        SCOPED_TRACE(("MIDI_IN=" + in + " MIDI_OUT=" + out).toStdString());
        ProgramRun logo(*server, QStringLiteral(TAVIK_LOGO_PATH));
        if (!in.isNull()) {
            ASSERT_TRUE(logo.writeConfig(QStringLiteral("TavikLogo.conf"),
                                         "[TavikNeo]\nMIDI_IN=" + in + "\nMIDI_OUT=" + out + "\n"));
        }
        const int before = int(sim->logLines().count(Query));
        ASSERT_TRUE(logo.start({}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return logoConnectedToSim(*server); }, 15000))
            << logo.standardError().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return sim->logLines().count(Query) > before; }, 10000))
            << "TavikLogo: " << logo.standardError().toStdString()
            << "\nJACK server: " << server->diagnostics().toStdString() << "\nsimulator log:\n"
            << sim->logLines().mid(qMax(0, int(sim->logLines().size()) - 40)).join('\n').toStdString();
        EXPECT_FALSE(logo.hasEnded());
        // JACK serves: not a word of ALSA's, which has no sequencer here.
        EXPECT_FALSE(logo.standardError().contains(QStringLiteral("ALSA")))
            << logo.standardError().toStdString();
        logo.stop();
        // The next start must not find the ports of this one still listed.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !logoConnectedToSim(*server); }, 5000));
    }
    // A usable number that is no port of this machine opens nothing: the garbage above was not
    // taken for such a number.
    ProgramRun control(*server, QStringLiteral(TAVIK_LOGO_PATH));
    ASSERT_TRUE(control.writeConfig(QStringLiteral("TavikLogo.conf"), "[TavikNeo]\nMIDI_IN=1\nMIDI_OUT=1\n"));
    const int before = int(sim->logLines().count(Query));
    ASSERT_TRUE(control.start({}));
    QTest::qWait(3000);
    EXPECT_FALSE(logoConnectedToSim(*server));
    EXPECT_EQ(sim->logLines().count(Query), before);
    EXPECT_FALSE(control.hasEnded());
}

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
