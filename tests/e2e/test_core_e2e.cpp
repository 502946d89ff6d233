// The device core on its own: no window library in the program, a registry and settings of the
// test's own, the MIDI link on a private JACK server and tavik-sim as the device.
#include "JackServer.h"
#include "NoGuiLibrary.h"
#include "SimProcess.h"

#include "HeadlessHost.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
int simPort(const QStringList &names, const QString &suffix) {
    for (int i = 0; i < names.size(); ++i)
        if (names[i].startsWith(QStringLiteral("tavik-sim")) && names[i].endsWith(suffix))
            return i;
    return -1;
}
} // namespace

TEST(CoreE2e, AdmitsADeviceAppliesItsReportsAndMovesAFader) {
    JackServer server(JackServer::uniqueName(QStringLiteral("tavik-core")));
    ASSERT_TRUE(server.start()) << server.diagnostics().toStdString();
    server.applyToThisProcess();
    SimProcess sim(server, {"--device", "neo:12345:Studio", "--status-interval", "0"});
    ASSERT_TRUE(sim.start()) << sim.diagnostics().toStdString();
    HeadlessHost host;
    {
        MIDI midi(host);
        QSignalSpy admitted(&midi, &MIDI::deviceAdmitted);
        QSignalSpy configured(&midi, &MIDI::configurationApplied);
        QSignalSpy status(&midi, &MIDI::statusApplied);
        QSignalSpy faders(&midi, &MIDI::faderApplied);
        midi.enumeratePorts();
        midi.setPortNumberIn(simPort(midi.inputPortNames(), QStringLiteral(":out")));
        midi.setPortNumberOut(simPort(midi.outputPortNames(), QStringLiteral(":in")));
        midi.toggleConnectedStatus();
        ASSERT_TRUE(midi.isConnected());

        // Admission brings the version, then configuration, status and faders.
        ASSERT_TRUE(QTest::qWaitFor([&] { return faders.size() == 32; }, 10000));
        ASSERT_EQ(admitted.size(), 1);
        EXPECT_EQ(admitted[0][0].toInt(), 12345);
        EXPECT_EQ(admitted[0][1].toInt(), 1);
        QList<SettingTable::Group> groups;
        for (const QVariantList &args : configured)
            groups << args[1].value<SettingTable::Group>();
        EXPECT_EQ(groups, (QList<SettingTable::Group>{SettingTable::RateAndSync, SettingTable::Lock,
                                                      SettingTable::Smux, SettingTable::Routing}));
        EXPECT_EQ(status.size(), 1);
        TavikConfiguration *cfg = host.registry.getConfiguration(12345);
        ASSERT_NE(cfg, nullptr);
        EXPECT_STREQ(cfg->getDeviceName(), "Studio");
        EXPECT_EQ(cfg->getFaderValue(5), 5u);

        // A moved fader goes out and its acknowledgement clears the pending send.
        cfg->setFaderValue(3, 20);
        midi.sendFadersFlowControlled(12345);
        EXPECT_TRUE(cfg->isFaderSendPending());
        EXPECT_TRUE(sim.waitForLogLine(
            QRegularExpression(QStringLiteral("^RX F0 00 11 22 01 39 60 00 00 02 20 00 01 02 14 04 ")),
            10000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !cfg->isFaderSendPending(); }, 10000));
        EXPECT_EQ(host.registry.getConfiguration(12345), cfg);
        midi.toggleConnectedStatus();
    }
    sim.stop();
    server.stop();
}

TEST(CoreE2e, ProgramLoadsNoGuiLibrary) {
    expectNoGuiLibrary(QCoreApplication::applicationFilePath());
}

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
