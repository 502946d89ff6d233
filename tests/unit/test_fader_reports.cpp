// Fader reports under the fader flow control, on in-memory ports under the headless host.
#include "FakeMidiPorts.h"
#include "HeadlessHost.h"
#include "SysExMessages.h"
#include "model/DeviceClock.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// A report sent while a SET_FADERS is unacknowledged may hold older levels than the user's moves.
TEST(FaderReports, AreStoredOnlyWhileNoFaderMessageIsUnacknowledged) {
    int argc = 1;
    char name[] = "test_fader_reports", *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv); // the link's timers need one; the test drives the poll
    qint64 clockMs = 1'700'000'000'000;
    DeviceClock::setSource([&clockMs] { return clockMs; });
    installFakeMidi();
    HeadlessHost host;
    MIDI midi(host);
    midi.enumeratePorts();
    midi.setPortNumberIn(0);
    midi.setPortNumberOut(0);
    midi.toggleConnectedStatus();
    auto feed = [&midi](MidiMessage m) { midi.parseMsg(0.0, &m); };
    feed(TestSysEx::version(1, 300, "Studio"));
    TavikConfiguration *cfg = host.registry.getConfiguration(300);
    ASSERT_NE(cfg, nullptr);
    auto move = [&](quint32 value) {
        cfg->setFaderValue(0, value);
        midi.sendFadersFlowControlled(300);
    };
    auto report = [&](quint8 fader1) { // what the record holds for fader 1 afterwards
        feed(TestSysEx::report(1, 300, 0x42, {0, fader1}));
        return cfg->getFaderValue(1);
    };
    const MidiMessage ack = TestSysEx::message(1, 300, 0x22);
    // The report of the first message comes while the re-send is out: not stored; the re-send's is.
    move(10);
    move(11);
    feed(ack);
    EXPECT_EQ(report(1), 0);
    EXPECT_EQ(cfg->getFaderValue(0), 11);
    feed(ack);
    EXPECT_EQ(report(2), 2);
    // The re-send's acknowledgement is lost: once it counts as lost, reports are stored again.
    move(12);
    move(13);
    feed(ack);
    EXPECT_EQ(report(3), 2);
    clockMs += 1001;
    midi.onTimeoutPollForMidiIncomingMsgs();
    EXPECT_EQ(report(4), 4);
    DeviceClock::setSource({});
}
