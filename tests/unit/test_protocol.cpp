// The MIDI link on fake ports: connection lifecycle, poll tick, inbound dispatch, outbound commands.
#include "AppTestMain.h"

#include "LogCapture.h"
#include "MessageBoxCloser.h"
#include "SysExMessages.h"
#include "app/MyApplication.h"
#include "model/DeviceClock.h"
#include "model/TavikConfiguration.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "windows/MidiLinkView.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QSettings>
#include <gtest/gtest.h>

namespace {
class Link : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        midi = app->getMIDI();
        view = app->getMIDIView();
        *fakeMidi = FakeMidiState{};
        fakeMidi->inputNames = {"In A"};
        fakeMidi->outputNames = {"Out A"};
        boxes = std::make_unique<MessageBoxCloser>();
    }
    void TearDown() override {
        if (midi->isConnected())
            midi->toggleConnectedStatus();
        app->removeAllDevices();
        app->getSettings()->clear();
        midi->setPortNumberIn(-1);
        midi->setPortNumberOut(-1);
        AppFixture::TearDown();
    }
    void connectLink() {
        view->enumeratePorts(&inCombo, &outCombo);
        midi->toggleConnectedStatus();
        ASSERT_TRUE(midi->isConnected());
        fakeMidi->sent.clear();
    }
    void feed(const MidiMessage &m) {
        MidiMessage copy = m;
        midi->parseMsg(0.0, &copy);
    }
    QString lastSent() const { return fakeMidi->sent.empty() ? QString() : hex(fakeMidi->sent.back()); }
    TavikConfiguration *admit(unsigned char family, qint32 serial, const QByteArray &name = "Studio",
                              unsigned char v1 = 1, unsigned char v2 = 7) {
        feed(TestSysEx::version(family, quint32(serial), name.toStdString(), v1, v2));
        return app->getConfiguration(serial);
    }

    MIDI *midi = nullptr;
    MidiLinkView *view = nullptr;
    QComboBox inCombo, outCombo;
    std::unique_ptr<MessageBoxCloser> boxes;
};
} // namespace

// ---------------------------------------------------------------------------------------------
// Ports and connection

TEST_F(Link, SinglePortsAreChosenAutomatically) {
    view->enumeratePorts(&inCombo, &outCombo);
    EXPECT_EQ(inCombo.count(), 1);
    EXPECT_EQ(inCombo.itemText(0), QStringLiteral("In A"));
    EXPECT_EQ(outCombo.itemText(0), QStringLiteral("Out A"));
    EXPECT_EQ(midi->getPortNumberIn(), 0);
    EXPECT_EQ(midi->getPortNumberOut(), 0);
}

TEST_F(Link, StoredPortsBeyondTheListAreForgotten) {
    fakeMidi->inputNames = {"In A", "In B"};
    fakeMidi->outputNames = {"Out A", "Out B", "Out C"};
    app->getSettings()->setValue("midiInPortnumber", 2);
    app->getSettings()->setValue("midiOutPortnumber", 1);
    view->enumeratePorts(&inCombo, &outCombo);
    EXPECT_EQ(midi->getPortNumberIn(), -1);
    EXPECT_EQ(midi->getPortNumberOut(), -1);

    app->getSettings()->setValue("midiInPortnumber", 1);
    app->getSettings()->setValue("midiOutPortnumber", 2);
    view->enumeratePorts(&inCombo, &outCombo);
    EXPECT_EQ(midi->getPortNumberIn(), 1);
    EXPECT_EQ(midi->getPortNumberOut(), 2);
}

TEST_F(Link, GarbageInStoredPortsMeansNoStoredPorts) {
    fakeMidi->inputNames = {"In A", "In B"};
    fakeMidi->outputNames = {"Out A", "Out B"};
    const QVariant garbage[] = {QStringLiteral("abc"), QStringLiteral("99999999999999"), -5,
                                QStringLiteral("1x")};
    for (const QVariant &value : garbage) {
        midi->setPortNumberIn(-1);
        midi->setPortNumberOut(-1);
        app->getSettings()->setValue("midiInPortnumber", value);
        app->getSettings()->setValue("midiOutPortnumber", 1);
        view->enumeratePorts(&inCombo, &outCombo);
        EXPECT_EQ(midi->getPortNumberIn(), -1) << value.toString().toStdString();
        EXPECT_EQ(midi->getPortNumberOut(), 1) << value.toString().toStdString();
    }
}

TEST_F(Link, ConnectWithoutPortShowsErrorAndStoresNothing) {
    fakeMidi->outputNames = {"Out A", "Out B"};
    view->enumeratePorts(&inCombo, &outCombo);
    ASSERT_EQ(midi->getPortNumberOut(), -1);
    LogCapture log;
    midi->toggleConnectedStatus();
    EXPECT_FALSE(midi->isConnected());
    EXPECT_EQ(boxes->texts, QStringList{"Error: Please select MIDI-OUT port first!"});
    EXPECT_TRUE(log.hasWarning("Error: Please select MIDI-OUT port first!"));
    EXPECT_FALSE(app->getSettings()->contains("midiInPortnumber"));

    midi->setPortNumberIn(-1);
    midi->toggleConnectedStatus();
    EXPECT_EQ(boxes->texts.last(), QStringLiteral("Error: Please select MIDI-IN port first!"));
}

TEST_F(Link, FailedOpenLeavesTheLinkDisconnected) {
    fakeMidi->failOpenOutput = true;
    view->enumeratePorts(&inCombo, &outCombo);
    LogCapture log;
    midi->toggleConnectedStatus();
    EXPECT_FALSE(midi->isConnected());
    EXPECT_FALSE(fakeMidi->inOpen);
    EXPECT_FALSE(fakeMidi->outOpen);
    ASSERT_EQ(boxes->texts.size(), 1);
    EXPECT_EQ(boxes->texts.first(),
              QStringLiteral("Error: Could not open MIDI ports: fake: cannot open output port"));
    EXPECT_TRUE(log.hasWarning("fake: cannot open output port"));
    midi->onTimeoutSendInfoBroadcasts();
    EXPECT_TRUE(fakeMidi->sent.empty());

    fakeMidi->failOpenOutput = false;
    midi->toggleConnectedStatus();
    EXPECT_TRUE(midi->isConnected());
}

TEST_F(Link, ConnectOpensPortsStoresNumbersAndBroadcasts) {
    connectLink();
    EXPECT_TRUE(fakeMidi->inOpen);
    EXPECT_TRUE(fakeMidi->outOpen);
    EXPECT_FALSE(fakeMidi->sysexIgnored);
    EXPECT_EQ(app->getSettings()->value("midiInPortnumber").toInt(), 0);
    EXPECT_EQ(app->getSettings()->value("midiOutPortnumber").toInt(), 0);
    midi->onTimeoutSendInfoBroadcasts();
    EXPECT_EQ(lastSent(), QStringLiteral("F0 00 11 22 01 00 00 00 00 00 F7"));
}

TEST_F(Link, NoHandlerMeansEmptyListsAndNoCrash) {
    MIDI fresh(*app);
    MidiLinkView freshView(&fresh, app->getRegistry(), *app, DeviceRegistry::FromDevice);
    fakeMidi->failCreateInput = true;
    fakeMidi->failCreateOutput = true;
    LogCapture log;
    freshView.enumeratePorts(&inCombo, &outCombo);
    EXPECT_TRUE(log.hasWarning("Could not open midiIn device handler, aborting program!"));
    EXPECT_TRUE(log.hasWarning("Could not open midiOut device handler, aborting program!"));
    EXPECT_EQ(inCombo.count(), 0);
    EXPECT_EQ(fresh.getPortNumberIn(), -1);
    fresh.onTimeoutPollForMidiIncomingMsgs();
    EXPECT_TRUE(log.hasWarning("Fatal error: _midiInDevice is not initialized!!"));
    fresh.setPortNumberIn(0);
    fresh.setPortNumberOut(0);
    fresh.toggleConnectedStatus();
    EXPECT_FALSE(fresh.isConnected());
}

TEST_F(Link, PollTickParsesEveryQueuedMessageThenOneLivenessCheck) {
    connectLink();
    auto *stale1 = new TavikConfiguration(2);
    auto *stale2 = new TavikConfiguration(3);
    app->addConfiguration(2, stale1);
    app->addConfiguration(3, stale2);
    clockNow += 2500;
    fakeMidi->incoming = {TestSysEx::version(1, 100, "A"), TestSysEx::version(5, 101, "B"),
                          TestSysEx::version(1, 102, "C")};
    midi->onTimeoutPollForMidiIncomingMsgs();
    EXPECT_TRUE(fakeMidi->incoming.empty());
    EXPECT_NE(app->getConfiguration(100), nullptr);
    EXPECT_NE(app->getConfiguration(101), nullptr);
    EXPECT_NE(app->getConfiguration(102), nullptr);
    EXPECT_EQ(app->getConfiguration(2), nullptr);
    EXPECT_NE(app->getConfiguration(3), nullptr);
    midi->onTimeoutPollForMidiIncomingMsgs();
    EXPECT_EQ(app->getConfiguration(3), nullptr);
}

TEST_F(Link, FloodBeyondOneTickIsHandledOnTheNextTicks) {
    connectLink();
    admit(1, 500);
    for (int i = 0; i < 1000; ++i)
        fakeMidi->incoming.push_back(
            TestSysEx::report(1, 500, TavikSysEx::GET_STATUS, {0x33, 0x00, 0x03, 0x19}));
    midi->onTimeoutPollForMidiIncomingMsgs();
    EXPECT_FALSE(fakeMidi->incoming.empty());
    for (int i = 0; i < 5 && !fakeMidi->incoming.empty(); ++i)
        midi->onTimeoutPollForMidiIncomingMsgs();
    EXPECT_TRUE(fakeMidi->incoming.empty());
    EXPECT_EQ(app->getConfiguration(500)->getStatusFlags(), 0x19);
}

TEST_F(Link, DisconnectDropsEveryDeviceAndStopsTraffic) {
    connectLink();
    admit(1, 200);
    admit(5, 201);
    LogSwitch::setOn(true);
    LogCapture log;
    midi->toggleConnectedStatus();
    EXPECT_FALSE(midi->isConnected());
    EXPECT_EQ(app->getConfiguration(200), nullptr);
    EXPECT_EQ(app->getConfiguration(201), nullptr);
    EXPECT_FALSE(fakeMidi->inOpen);
    EXPECT_FALSE(fakeMidi->outOpen);
    EXPECT_EQ(log.debugs.first(), QStringLiteral("Disconnecting from MIDI IN/OUT ports..."));
    fakeMidi->sent.clear();
    midi->onTimeoutSendInfoBroadcasts();
    midi->sendMsgSEND_INFO(200);
    EXPECT_TRUE(fakeMidi->sent.empty());
}

// ---------------------------------------------------------------------------------------------
// Inbound dispatch

TEST_F(Link, VersionReplyAdmitsNewDeviceOnce) {
    connectLink();
    feed(TestSysEx::version(1, 0, "Zero"));
    EXPECT_EQ(app->getConfiguration(0), nullptr);
    EXPECT_TRUE(fakeMidi->sent.empty());

    TavikConfiguration *cfg = admit(5, 5, "Stage", 3, 9);
    ASSERT_NE(cfg, nullptr);
    EXPECT_EQ(cfg->getDeviceType(), 5);
    EXPECT_EQ(cfg->getVersion1(), 3);
    EXPECT_EQ(cfg->getVersion2(), 9);
    EXPECT_STREQ(cfg->getDeviceName(), "Stage");
    ASSERT_EQ(fakeMidi->sent.size(), 1u);
    EXPECT_EQ(lastSent(), QStringLiteral("F0 00 11 22 01 05 00 00 00 05 F7"));

    clockNow += 700;
    feed(TestSysEx::version(5, 5, "Renamed", 4, 4));
    EXPECT_EQ(app->getConfiguration(5), cfg);
    EXPECT_STREQ(cfg->getDeviceName(), "Stage");
    EXPECT_EQ(cfg->getVersion1(), 3);
    EXPECT_EQ(cfg->getLastResponseTime().toMSecsSinceEpoch(), clockNow);
    EXPECT_EQ(fakeMidi->sent.size(), 1u);
}

TEST_F(Link, VersionReplyNameEndsAtFirst7FOrNul) {
    connectLink();
    QByteArray name("Ab\x7F"
                    "cd",
                    5);
    EXPECT_STREQ(admit(1, 77, name)->getDeviceName(), "Ab");
    QByteArray full(16, 'Z');
    EXPECT_EQ(QString::fromLatin1(admit(1, 78, full)->getDeviceName()), QString(16, QLatin1Char('Z')));
}

TEST_F(Link, NewDeviceLogLinesInOrder) {
    connectLink();
    LogSwitch::setOn(true);
    LogCapture log;
    admit(1, 12345, "Studio");
    QStringList lines = log.debugs;
    lines.removeFirst(); // the dump
    const QStringList expectedStart = {"Parsing message now...",
                                       "MIDI message is of type SysEx!",
                                       "MIDI message is for a KalVenso Tavik-Neo!",
                                       "Message from Tavik device family with serial number = 12345",
                                       "Found GET VERSION command.",
                                       "Sending SEND_INFO command to serial no. 12345"};
    EXPECT_EQ(lines.mid(0, expectedStart.size()), expectedStart);
    EXPECT_TRUE(lines.contains("Tavik with sn= 12345, device type = 1 is new, adding it to collection!"));
    EXPECT_TRUE(
        lines.contains("GET VERSION cmd: Setting configuration from Tavik to GUI for Tavik serialNo=12345"));
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"**** Done parsing current MIDI-message ***",
                                                        "******************************************"}));
}

TEST_F(Link, WrongFamilyAndBadFramingAreDropped) {
    connectLink();
    LogSwitch::setOn(true);
    LogCapture log;
    feed(TestSysEx::version(3, 9, "Other"));
    EXPECT_EQ(app->getConfiguration(9), nullptr);
    EXPECT_FALSE(log.hasDebug("**** Done parsing current MIDI-message ***"));

    feed(MidiMessage{0xFE});
    EXPECT_TRUE(log.hasWarning("parseMsgIsSysExType(): msg size less than 11 (truncated msg!)"));
    MidiMessage empty;
    feed(empty);
    EXPECT_TRUE(fakeMidi->sent.empty());
}

TEST_F(Link, CommandTable) {
    connectLink();
    admit(1, 40);
    LogSwitch::setOn(true);
    LogCapture log;
    feed(TestSysEx::message(1, 40, 0x03));
    feed(TestSysEx::message(1, 40, 0x00));
    const QStringList silent = log.debugs.filter("Found");
    EXPECT_TRUE(silent.isEmpty());
    EXPECT_FALSE(log.debugs.filter("Unknown").size());

    const struct {
        unsigned char cmd;
        const char *line;
    } table[] = {{0x21, "Found ACK VALUES command."}, {0x22, "Found ACK FADERS command."},
                 {0x23, "Found ACK PIC command."},    {0x24, "Found ACK UPDATE command."},
                 {0x25, "Found ACK INFO command."},   {0x40, "Found GET CONFIG command."},
                 {0x41, "Found GET STATUS command."}, {0x42, "Found GET FADERS command."}};
    for (const auto &row : table) {
        log.clear();
        feed(TestSysEx::message(1, 40, row.cmd));
        EXPECT_TRUE(log.hasDebug(row.line)) << row.line;
    }
    log.clear();
    feed(TestSysEx::message(1, 40, 0x43));
    EXPECT_TRUE(
        log.hasDebug("Possible problem: Unknown vendor-specific command found in last message: cmd = 0x43"));
}

TEST_F(Link, ConfigWithoutWindowStoresNothing) {
    connectLink();
    TavikConfiguration *cfg = admit(1, 41);
    LogCapture log;
    feed(TestSysEx::report(1, 41, TavikSysEx::GET_CONFIG,
                           QByteArray("\x23\x01\x21\x10\x11\x22\x33\x44\x11\x00", 10)));
    EXPECT_TRUE(log.hasWarning("early return: GET_CONFIG no cfgDlg!"));
    EXPECT_EQ(cfg->getFrequency(), 0);
    EXPECT_EQ(cfg->getSync(), 0);
    EXPECT_EQ(cfg->getRouting(0), 0);
}

TEST_F(Link, ConfigChecksAndUnknownDevice) {
    connectLink();
    LogCapture log;
    feed(TestSysEx::report(1, 999, TavikSysEx::GET_CONFIG, QByteArray(10, 0)));
    EXPECT_FALSE(log.hasWarning("early return: GET_CONFIG no tavikcfg!"));
    LogSwitch::setOn(true);
    feed(TestSysEx::report(1, 999, TavikSysEx::GET_CONFIG, QByteArray(10, 0)));
    EXPECT_TRUE(log.hasWarning("early return: GET_CONFIG no tavikcfg!"));

    MidiMessage shortConfig = TestSysEx::report(1, 999, TavikSysEx::GET_CONFIG, QByteArray(10, 0));
    shortConfig.erase(shortConfig.end() - 2);
    feed(shortConfig);
    EXPECT_TRUE(log.hasWarning("early return: GET_CONFIG msg wrong size!"));
    MidiMessage m(21, 0x00);
    midi->parseMsgGET_CONFIG(nullptr, 1);
    EXPECT_TRUE(log.hasWarning("early return: GET_CONFIG null msg!"));
    m[9] = 0x41;
    midi->parseMsgGET_CONFIG(&m, 1);
    EXPECT_TRUE(log.hasWarning("early return: GET_CONFIG has no GET_CONFIG cmd!"));
    m[9] = 0x40;
    midi->parseMsgGET_CONFIG(&m, 1);
    EXPECT_TRUE(log.hasWarning("early return: GET_CONFIG has no sysex-end!"));
}

TEST_F(Link, StatusIsStoredEvenWithoutWindow) {
    connectLink();
    TavikConfiguration *cfg = admit(5, 42);
    LogCapture log;
    feed(TestSysEx::report(5, 42, TavikSysEx::GET_STATUS, {0x53, 0x21, 0x76, 0x7F}));
    EXPECT_EQ(cfg->getBncRate(), 3);
    EXPECT_EQ(cfg->getMadiRate(), 5);
    EXPECT_EQ(cfg->getAdatARate(), 1);
    EXPECT_EQ(cfg->getAdatBRate(), 2);
    EXPECT_EQ(cfg->getLockedRate(), 6);
    EXPECT_EQ(cfg->getStatusNibble(), 7);
    EXPECT_EQ(cfg->getStatusFlags(), 0x7F);
    EXPECT_TRUE(log.warnings.isEmpty());

    feed(TestSysEx::report(5, 42, TavikSysEx::GET_STATUS,
                           {0x7F, 0x08, 0x09, 0x00})); // rates above 6 are refused
    EXPECT_EQ(cfg->getBncRate(), 3);
    EXPECT_EQ(cfg->getMadiRate(), 5);
    EXPECT_EQ(cfg->getAdatARate(), 1);
    EXPECT_EQ(cfg->getLockedRate(), 6);

    MidiMessage wrong = TestSysEx::report(5, 42, TavikSysEx::GET_STATUS, {0, 0, 0, 0});
    wrong.insert(wrong.end() - 1, 0x00);
    feed(wrong);
    EXPECT_TRUE(log.hasWarning("early return: GET_STATUS wrong msg size!"));
    feed(TestSysEx::report(5, 43, TavikSysEx::GET_STATUS, {0, 0, 0, 0}));
    EXPECT_TRUE(log.hasWarning("early return: GET_STATUS no cfg!"));
}

TEST_F(Link, VersionChecksOfTheHandler) {
    connectLink();
    LogCapture log;
    MidiMessage m = TestSysEx::version(1, 60, "X");
    m.pop_back();
    m.push_back(0x00);
    m.push_back(0xF7);
    feed(m); // 30 bytes: admitted, but name and versions are not read
    EXPECT_TRUE(log.hasWarning("early return: GET_VERSION wrong msg size!"));
    ASSERT_NE(app->getConfiguration(60), nullptr);
    EXPECT_STREQ(app->getConfiguration(60)->getDeviceName(), "");
    midi->parseMsgGET_VERSION(nullptr, 60);
    EXPECT_TRUE(log.hasWarning("early return: GET_VERSION null msg!"));
    MidiMessage v = TestSysEx::version(1, 61, "Y");
    midi->parseMsgGET_VERSION(&v, 61);
    EXPECT_TRUE(log.hasWarning("early return: GET_VERSION no cfg!"));
}

TEST_F(Link, FaderReportOfWrongSizeIsIgnoredSilently) {
    connectLink();
    admit(1, 43);
    LogCapture log;
    MidiMessage m = TestSysEx::report(1, 43, TavikSysEx::GET_FADERS, QByteArray(32, 5));
    m.erase(m.begin() + 20);
    feed(m);
    EXPECT_TRUE(log.warnings.isEmpty());
    EXPECT_EQ(app->getConfiguration(43)->getFaderValue(0), 0);
}

// ---------------------------------------------------------------------------------------------
// Outbound commands

TEST_F(Link, NothingIsSentOrLoggedWhileDisconnected) {
    auto *cfg = new TavikConfiguration(1234);
    app->addConfiguration(1234, cfg);
    view->enumeratePorts(&inCombo, &outCombo);
    LogSwitch::setOn(true);
    LogCapture log;
    midi->sendMsgSET_VALUES(1234, 0);
    midi->sendMsgSET_FADERS(1234);
    midi->sendMsgSEND_INFO(1234);
    midi->sendMsgSEND_VERSION(0, 1);
    EXPECT_TRUE(fakeMidi->sent.empty());
    EXPECT_TRUE(log.all.isEmpty());
}

TEST_F(Link, SetValuesGoldenBytes) {
    connectLink();
    auto *cfg = new TavikConfiguration(1234);
    cfg->setDeviceType(5);
    cfg->setFrequency(3);
    cfg->setSync(1);
    cfg->setLock(1);
    for (int i = 0; i < 4; ++i)
        cfg->setSMUX(quint8(i), quint8(i + 1));
    for (int i = 0; i < 12; ++i)
        cfg->setRouting(quint8(i), quint8(i % 5));
    app->addConfiguration(1234, cfg);

    LogSwitch::setOn(true);
    LogCapture log;
    midi->sendMsgSET_VALUES(1234, 0);
    EXPECT_EQ(lastSent(), QStringLiteral("F0 00 11 22 05 52 09 00 00 01 00 03 01 F7"));
    EXPECT_TRUE(log.hasDebug("Sending to MIDI-OUT SET VALUES cmd!"));
    midi->sendMsgSET_VALUES(1234, 2);
    EXPECT_EQ(lastSent(), QStringLiteral("F0 00 11 22 05 52 09 00 00 01 02 01 F7"));
    midi->sendMsgSET_VALUES(1234, 16);
    EXPECT_EQ(lastSent(), QStringLiteral("F0 00 11 22 05 52 09 00 00 01 10 01 02 03 04 F7"));
    midi->sendMsgSET_VALUES(1234, 32);
    EXPECT_EQ(lastSent(),
              QStringLiteral("F0 00 11 22 05 52 09 00 00 01 20 00 01 02 03 04 00 01 02 03 04 00 01 F7"));
    midi->sendMsgSET_VALUES(1234, 7);
    EXPECT_EQ(lastSent(), QStringLiteral("F0 00 11 22 05 52 09 00 00 01 07 F7"));
    EXPECT_TRUE(log.hasDebug("sendMsgSET_VALUES: unknown start index = 7"));

    midi->sendMsgSEND_INFO(1234);
    EXPECT_EQ(lastSent(), QStringLiteral("F0 00 11 22 01 52 09 00 00 05 F7"));
    EXPECT_TRUE(log.hasDebug("Sending SEND_INFO command to serial no. 1234"));

    const size_t before = fakeMidi->sent.size();
    midi->sendMsgSET_VALUES(0, 0);
    midi->sendMsgSET_VALUES(4321, 0);
    midi->sendMsgSET_FADERS(0);
    EXPECT_EQ(fakeMidi->sent.size(), before);
}

TEST_F(Link, SetFadersCarriesAll32Values) {
    connectLink();
    auto *cfg = new TavikConfiguration(2);
    cfg->setDeviceType(1);
    for (int i = 0; i < 32; ++i)
        cfg->setFaderValue(quint32(i), quint32(i % 29));
    app->addConfiguration(2, cfg);
    midi->sendMsgSET_FADERS(2);
    ASSERT_EQ(fakeMidi->sent.size(), 1u);
    const MidiMessage &m = fakeMidi->sent.back();
    ASSERT_EQ(m.size(), 44u);
    EXPECT_EQ(hex(MidiMessage(m.begin(), m.begin() + 11)),
              QStringLiteral("F0 00 11 22 01 02 00 00 00 02 20"));
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(m[11 + i], i % 29);
    EXPECT_EQ(m.back(), 0xF7);
}

TEST_F(Link, FaderMovesDuringPendingMergeIntoOneResend) {
    connectLink();
    TavikConfiguration *cfg = admit(1, 300);
    fakeMidi->sent.clear();
    cfg->setFaderValue(0, 10);
    midi->sendFadersFlowControlled(300);
    EXPECT_EQ(fakeMidi->sent.size(), 1u);
    EXPECT_TRUE(cfg->isFaderSendPending());
    for (quint32 v : {11u, 12u, 13u}) {
        cfg->setFaderValue(0, v);
        midi->sendFadersFlowControlled(300);
    }
    EXPECT_EQ(fakeMidi->sent.size(), 1u);
    EXPECT_TRUE(cfg->isFaderResendNeeded());

    feed(TestSysEx::message(1, 300, 0x22));
    ASSERT_EQ(fakeMidi->sent.size(), 2u);
    EXPECT_EQ(fakeMidi->sent.back()[11], 13);
    EXPECT_FALSE(cfg->isFaderSendPending());
    EXPECT_FALSE(cfg->isFaderResendNeeded());

    feed(TestSysEx::message(1, 300, 0x22));
    EXPECT_EQ(fakeMidi->sent.size(), 2u);
    cfg->setFaderValue(0, 14);
    midi->sendFadersFlowControlled(300);
    EXPECT_EQ(fakeMidi->sent.size(), 3u);
}

TEST_F(Link, LostFaderAcknowledgementIsRecovered) {
    connectLink();
    TavikConfiguration *cfg = admit(1, 301);
    fakeMidi->sent.clear();
    midi->sendFadersFlowControlled(301);
    ASSERT_EQ(fakeMidi->sent.size(), 1u);

    clockNow += 1000;
    cfg->setFaderValue(1, 20);
    midi->sendFadersFlowControlled(301);
    EXPECT_EQ(fakeMidi->sent.size(), 1u);

    clockNow += 1;
    cfg->setFaderValue(1, 21);
    midi->sendFadersFlowControlled(301);
    ASSERT_EQ(fakeMidi->sent.size(), 2u);
    EXPECT_EQ(fakeMidi->sent.back()[12], 21);
    EXPECT_TRUE(cfg->isFaderSendPending());
    EXPECT_FALSE(cfg->isFaderResendNeeded());

    // The poll tick recovers too: the device keeps getting the latest values until it acknowledges.
    cfg->setFaderValue(1, 22);
    midi->sendFadersFlowControlled(301);
    EXPECT_EQ(fakeMidi->sent.size(), 2u);
    clockNow += 1001;
    feed(TestSysEx::version(1, 301, "x")); // keeps the device alive
    midi->onTimeoutPollForMidiIncomingMsgs();
    ASSERT_EQ(fakeMidi->sent.size(), 3u);
    EXPECT_EQ(fakeMidi->sent.back()[12], 22);
}

TEST_F(Link, SendErrorIsAWarningOnly) {
    connectLink();
    fakeMidi->failSend = true;
    LogCapture log;
    midi->onTimeoutSendInfoBroadcasts();
    EXPECT_TRUE(log.hasWarning("fake: send failed"));
    EXPECT_TRUE(midi->isConnected());
}

// ---------------------------------------------------------------------------------------------
// Ports bound by name

TEST_F(Link, RememberedNamesChooseThePortAndAMissingOneIsNoticedOnce) {
    fakeMidi->inputNames = {"In A", "In B", "In C"};
    fakeMidi->outputNames = {"Out A", "Out B", "Out A"};
    QSettings *settings = app->getSettings();
    settings->setValue("midiInPortnumber", 0);
    settings->setValue("midiInPortname", "In B");
    settings->setValue("midiOutPortnumber", 2);
    settings->setValue("midiOutPortname", "Out A");
    view->enumeratePorts(&inCombo, &outCombo);
    EXPECT_EQ(midi->getPortNumberIn(), 1);  // the number names another port: the name wins
    EXPECT_EQ(midi->getPortNumberOut(), 2); // the number's port has the name
    EXPECT_EQ(view->portNotice(), nullptr);

    // A missing name: no port, a warning at each start, one notice box.
    LogCapture log;
    settings->setValue("midiInPortname", "In Z");
    for (int start = 0; start < 2; ++start) {
        midi->setPortNumberIn(-1);
        view->enumeratePorts(&inCombo, &outCombo);
        EXPECT_EQ(midi->getPortNumberIn(), -1);
    }
    EXPECT_EQ(log.warnings.filter("MIDI port \"In Z\" is not available").size(), 2);
    ASSERT_NE(view->portNotice(), nullptr);
    EXPECT_TRUE(view->portNotice()->isVisible());
    int noticeBoxes = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        noticeBoxes += w->objectName() == QStringLiteral("portNoticeBox");
    EXPECT_EQ(noticeBoxes, 1);
}

TEST_F(Link, ConnectOpensThePortsOfTheChosenNamesAfterOthersAppeared) {
    fakeMidi->inputNames = {"In A", "In B"};
    fakeMidi->outputNames = {"Out A", "Out B"};
    view->enumeratePorts(&inCombo, &outCombo);
    midi->setPortNumberIn(1);
    midi->setPortNumberOut(1);
    fakeMidi->inputNames.insert(fakeMidi->inputNames.begin(), "In New");
    fakeMidi->outputNames.insert(fakeMidi->outputNames.begin(), "Out New");
    midi->toggleConnectedStatus();
    ASSERT_TRUE(midi->isConnected());
    EXPECT_EQ(fakeMidi->openedIn, 2);
    EXPECT_EQ(fakeMidi->openedOut, 2);
    EXPECT_EQ(app->getSettings()->value("midiOutPortname").toString(), QStringLiteral("Out B"));
}
