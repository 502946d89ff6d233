// The MIDI link end to end: real RtMidi ports on a private JACK server, tavik-sim as the devices.
#include "E2eLink.h"

#include "LogCapture.h"
#include "MessageBoxCloser.h"
#include "SysExMessages.h"
#include "TestAppEnvironment.h"
#include "app/MyApplication.h"
#include "model/DeviceClock.h"
#include "model/TavikConfiguration.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "windows/MidiLinkView.h"

#include <QComboBox>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <RtMidi.h>
#include <gtest/gtest.h>

namespace {
const QString BroadcastLine = QStringLiteral("RX F0 00 11 22 01 00 00 00 00 00 F7");
const QString InfoTo12345 = QStringLiteral("RX F0 00 11 22 01 39 60 00 00 05 F7");
const QString InfoTo1234 = QStringLiteral("RX F0 00 11 22 01 52 09 00 00 05 F7");

class LinkE2e : public ::testing::Test {
protected:
    void SetUp() override {
        app = MyApplication::instance();
        server = std::make_unique<JackServer>(JackServer::uniqueName(QStringLiteral("tavik-link")));
        ASSERT_TRUE(server->start()) << server->diagnostics().toStdString();
        server->applyToThisProcess();
    }
    void TearDown() override {
        if (midi && midi->isConnected())
            midi->toggleConnectedStatus();
        view.reset();
        midi.reset();
        app->removeAllDevices();
        app->getSettings()->clear();
        if (sim)
            sim->stop();
        sim.reset();
        server->stop();
        LogSwitch::setOn(false);
    }
    void startSim(const QStringList &args) {
        sim = std::make_unique<SimProcess>(*server, args);
        ASSERT_TRUE(sim->start()) << sim->diagnostics().toStdString();
    }
    void newLink() {
        midi = std::make_unique<MIDI>(*app);
        view =
            std::make_unique<MidiLinkView>(midi.get(), app->getRegistry(), *app, DeviceRegistry::FromDevice);
    }
    // A fresh link whose ports are the simulator's.
    void connectToSim() {
        newLink();
        view->enumeratePorts(&inCombo, &outCombo);
        const int in = simPort(inCombo, QStringLiteral(":out"));
        const int out = simPort(outCombo, QStringLiteral(":in"));
        ASSERT_GE(in, 0) << "no simulator output among the inputs";
        ASSERT_GE(out, 0) << "no simulator input among the outputs";
        midi->setPortNumberIn(in);
        midi->setPortNumberOut(out);
        midi->toggleConnectedStatus();
        ASSERT_TRUE(midi->isConnected());
    }
    // The simulator's JACK ports are "tavik-sim...:in" and "tavik-sim...:out" (two clients).
    static int simPort(const QComboBox &combo, const QString &suffix) {
        for (int i = 0; i < combo.count(); ++i)
            if (combo.itemText(i).startsWith(QStringLiteral("tavik-sim")) &&
                combo.itemText(i).endsWith(suffix))
                return i;
        return -1;
    }
    // Stops the simulator and waits until its clients left the server, so a new one gets the same names.
    void stopSim() {
        sim->stop();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return server->clientSynchroFiles().filter(QStringLiteral("tavik-sim")).isEmpty(); },
            10000));
    }
    TavikConfiguration *waitForDevice(qint32 serial, int timeoutMs = 3000) {
        const auto admitted = [&] { return app->getConfiguration(serial) != nullptr; };
        return QTest::qWaitFor(admitted, timeoutMs) ? app->getConfiguration(serial) : nullptr;
    }

    MyApplication *app = nullptr;
    std::unique_ptr<JackServer> server;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<MIDI> midi;
    std::unique_ptr<MidiLinkView> view;
    QComboBox inCombo, outCombo;
};
} // namespace

TEST_F(LinkE2e, DiscoveryRegistersDeviceAndGreetsItOnce) {
    startSim({"--device", "neo:12345:Studio"});
    connectToSim();
    TavikConfiguration *cfg = waitForDevice(12345);
    ASSERT_NE(cfg, nullptr);
    EXPECT_EQ(cfg->getDeviceType(), 1);
    EXPECT_STREQ(cfg->getDeviceName(), "Studio");
    EXPECT_EQ(cfg->getVersion1(), 1);
    EXPECT_EQ(cfg->getVersion2(), 7);

    // Further broadcasts only refresh the time.
    const QDateTime first = cfg->getLastResponseTime();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cfg->getLastResponseTime() > first; }, 3000));
    EXPECT_EQ(app->getConfiguration(12345), cfg);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim->logLines().count(BroadcastLine) >= 3; }, 4000));
    EXPECT_EQ(sim->logLines().count(InfoTo12345), 1);
    // The status reports of the device arrive and are stored.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return cfg->getLockedRate() != 0 || cfg->getStatusFlags() != 0; }, 2000));
}

TEST_F(LinkE2e, NeoAndLuxAtOnce) {
    startSim({"--device", "neo:12345:Studio", "--device", "lux:1234:Stage"});
    connectToSim();
    TavikConfiguration *neo = waitForDevice(12345);
    TavikConfiguration *lux = waitForDevice(1234);
    ASSERT_NE(neo, nullptr);
    ASSERT_NE(lux, nullptr);
    EXPECT_EQ(neo->getDeviceType(), 1);
    EXPECT_EQ(lux->getDeviceType(), 5);
    EXPECT_STREQ(lux->getDeviceName(), "Stage");
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim->logLines().count(InfoTo1234) == 1; }, 2000));
    EXPECT_EQ(sim->logLines().count(InfoTo12345), 1);
}

TEST_F(LinkE2e, SilentDeviceIsDroppedAfterTheLimit) {
    startSim({"--device", "neo:12345:Studio", "--device", "lux:1234:Stage"});
    connectToSim();
    ASSERT_NE(waitForDevice(12345), nullptr);
    ASSERT_NE(waitForDevice(1234), nullptr);
    LogSwitch::setOn(true);
    LogCapture log;
    const qsizetype answered = sim->logLines().count(BroadcastLine);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim->logLines().count(BroadcastLine) > answered; }, 2000));
    QTest::qWait(50);
    const qint64 lastHeard = app->getConfiguration(12345)->getLastResponseTime().toMSecsSinceEpoch();
    sim->command(QStringLiteral("silent 12345"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->getConfiguration(12345) == nullptr; }, 5000));
    const qint64 droppedAfter = QDateTime::currentMSecsSinceEpoch() - lastHeard;
    EXPECT_GT(droppedAfter, 2000);
    EXPECT_LT(droppedAfter, 2000 + 900 + 500) << "dropped long after the limit";
    EXPECT_TRUE(
        log.hasDebug("Removing device with serialno 12345 since we did not hear from it in 2 seconds."));
    EXPECT_NE(app->getConfiguration(1234), nullptr);
}

TEST_F(LinkE2e, FaderMovesEndWithTheLatestValuesOnTheDevice) {
    startSim({"--device", "neo:12345:Studio", "--drop-ack-faders", "2"});
    connectToSim();
    TavikConfiguration *cfg = waitForDevice(12345);
    ASSERT_NE(cfg, nullptr);
    for (int step = 0; step < 40; ++step) {
        cfg->setFaderValue(quint32(step % 32), quint32(step % 29));
        midi->sendFadersFlowControlled(12345);
        QTest::qWait(3);
    }
    MidiMessage values{0x20};
    for (int i = 0; i < 32; ++i)
        values.push_back(cfg->getFaderValue(i));
    const QString latest =
        QStringLiteral("RX ") +
        TestSysEx::hex(TestSysEx::message(TavikSysEx::FamilyNeo, 12345, TavikSysEx::SET_FADERS, values));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QStringList rx =
                sim->logLines().filter(QRegularExpression("^RX F0 00 11 22 01 39 60 00 00 02 "));
            return !rx.isEmpty() && rx.last() == latest;
        },
        4000));
}

TEST_F(LinkE2e, DisconnectDropsDevicesAndStopsTraffic) {
    startSim({"--device", "neo:12345:Studio", "--device", "lux:1234:Stage"});
    connectToSim();
    ASSERT_NE(waitForDevice(12345), nullptr);
    ASSERT_NE(waitForDevice(1234), nullptr);
    midi->toggleConnectedStatus();
    EXPECT_FALSE(midi->isConnected());
    EXPECT_EQ(app->getConfiguration(12345), nullptr);
    EXPECT_EQ(app->getConfiguration(1234), nullptr);
    QTest::qWait(100);
    const int received = sim->logLines().filter(QRegularExpression("^RX ")).size();
    QTest::qWait(2000);
    EXPECT_EQ(sim->logLines().filter(QRegularExpression("^RX ")).size(), received);
    EXPECT_TRUE(app->getDevices().isEmpty() || app->getDevices().keys() == QList<qint32>{1});
}

TEST_F(LinkE2e, RememberedPortsAreTakenAtTheNextStart) {
    startSim({"--device", "lux:1234:Stage"});
    connectToSim();
    ASSERT_NE(waitForDevice(1234), nullptr);
    const int in = midi->getPortNumberIn();
    const int out = midi->getPortNumberOut();
    midi->toggleConnectedStatus();
    midi.reset();

    newLink();
    view->enumeratePorts(&inCombo, &outCombo);
    EXPECT_EQ(midi->getPortNumberIn(), in);
    EXPECT_EQ(midi->getPortNumberOut(), out);
    midi->toggleConnectedStatus();
    EXPECT_TRUE(midi->isConnected());
    EXPECT_NE(waitForDevice(1234), nullptr);
}

TEST_F(LinkE2e, NoPortChosenShowsTheMessage) {
    startSim({"--device", "neo:12345:Studio"});
    newLink();
    view->enumeratePorts(&inCombo, &outCombo);
    midi->setPortNumberIn(-1);
    MessageBoxCloser boxes;
    midi->toggleConnectedStatus();
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("Error: Please select MIDI-IN port first!")});
    EXPECT_FALSE(midi->isConnected());
}

TEST_F(LinkE2e, PortsThatVanishedBeforeConnectingAreNamedInTheNotice) {
    startSim({"--device", "neo:12345:Studio"});
    newLink();
    view->enumeratePorts(&inCombo, &outCombo);
    midi->setPortNumberIn(simPort(inCombo, QStringLiteral(":out")));
    midi->setPortNumberOut(simPort(outCombo, QStringLiteral(":in")));
    ASSERT_GE(midi->getPortNumberIn(), 0);
    sim->stop(); // the simulator's ports are gone before the user presses Connect!
    QTest::qWait(200);
    LogCapture log;
    midi->toggleConnectedStatus();
    EXPECT_FALSE(midi->isConnected());
    // The chosen port is looked up by name when connecting: it is missing, so the notice names it.
    ASSERT_NE(view->portNotice(), nullptr);
    EXPECT_TRUE(view->portNotice()->isVisible());
    EXPECT_TRUE(view->portNotice()->text().startsWith(QStringLiteral("MIDI port \"tavik-sim")))
        << view->portNotice()->text().toStdString();
    EXPECT_FALSE(log.warnings.isEmpty());
    midi->onTimeoutSendInfoBroadcasts();
}

int main(int argc, char **argv) {
    TestAppEnvironment environment("Kalvenso Remote E2E");
    ::testing::InitGoogleTest(&argc, argv);
    MyApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

TEST_F(LinkE2e, RememberedPortsAreOpenedByNameAfterRenumberingAndFollowedWhenTheyGoAndComeBack) {
    auto early = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "early");
    early->openVirtualPort("out");
    startSim({"--device", "neo:12345:Studio"});
    connectToSim();
    const int storedIn = app->getSettings()->value("midiInPortnumber").toInt();
    const QString simOut = app->getSettings()->value("midiInPortname").toString();
    const QString simIn = app->getSettings()->value("midiOutPortname").toString();
    midi->toggleConnectedStatus();
    midi.reset();
    stopSim();

    // One port removed, two added before the simulator is back: the stored input number names another.
    early.reset();
    RtMidiOut late1(RtMidi::UNIX_JACK, "late1"), late2(RtMidi::UNIX_JACK, "late2");
    late1.openVirtualPort("out");
    late2.openVirtualPort("out");
    RtMidiIn lateIn(RtMidi::UNIX_JACK, "late3");
    lateIn.openVirtualPort("in");
    startSim({"--device", "neo:12345:Studio"});
    ASSERT_NE(rtMidiInputNames().value(storedIn), simOut);
    newLink();
    view->enumeratePorts(&inCombo, &outCombo);
    midi->toggleConnectedStatus();
    ASSERT_TRUE(midi->isConnected());
    EXPECT_EQ(server->connectionsOf(QStringLiteral("RtMidi Input Client:RtMidi Input")), QStringList{simOut});
    EXPECT_EQ(server->connectionsOf(QStringLiteral("RtMidi Output Client:RtMidi Output")),
              QStringList{simIn});
    ASSERT_NE(waitForDevice(12345), nullptr);

    // The simulator's ports go: disconnected by itself with one warning and the notice; back: reconnected.
    LogCapture log;
    stopSim();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !midi->isConnected(); }, 10000));
    EXPECT_EQ(app->getConfiguration(12345), nullptr);
    ASSERT_NE(view->portNotice(), nullptr);
    EXPECT_TRUE(view->portNotice()->isVisible());
    startSim({"--device", "neo:12345:Studio"});
    EXPECT_NE(waitForDevice(12345, 10000), nullptr);
    EXPECT_FALSE(view->portNotice()->isVisible());
    EXPECT_EQ(log.warnings.filter(QStringLiteral("is not available")).size(), 1)
        << log.warnings.join('\n').toStdString();
}
