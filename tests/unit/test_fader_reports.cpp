// Fader reports against the fader flow control, on in-memory ports under the headless host: a
// report that comes while a SET_FADERS is unacknowledged must not undo the user's latest moves.
#include "FakeMidiPorts.h"
#include "HeadlessHost.h"
#include "SysExMessages.h"
#include "model/DeviceClock.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

TEST(FaderReports, AreStoredOnlyWhileNoFaderMessageIsUnacknowledged) {
    static int argc = 1;
    static char name[] = "test_fader_reports";
    static char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    qint64 clockMs = 1'700'000'000'000;
    DeviceClock::setSource([&clockMs] { return clockMs; });
    const std::shared_ptr<FakeMidiState> ports = installFakeMidi();
    HeadlessHost host;
    LinkHost::setInstance(&host);
    MIDI midi;
    host.midi = &midi;
    midi.enumeratePorts();
    midi.setPortNumberIn(0);
    midi.setPortNumberOut(0);
    midi.toggleConnectedStatus();
    ASSERT_TRUE(midi.isConnected());
    auto feed = [&midi](const MidiMessage &m) {
        MidiMessage copy = m;
        midi.parseMsg(0.0, &copy);
    };
    feed(TestSysEx::version(1, 300, "Studio"));
    TavikConfiguration *cfg = host.registry.getConfiguration(300);
    ASSERT_NE(cfg, nullptr);
    const MidiMessage ack = TestSysEx::message(1, 300, 0x22);
    auto report = [&](int fader0) { // fader 5 at 3 shows whether the report was stored
        std::vector<int> values(32, 0);
        values[0] = fader0;
        values[5] = 3;
        feed(TestSysEx::report(1, 300, 0x42, values));
        const bool stored = cfg->getFaderValue(5) == 3;
        cfg->setFaderValue(5, 0);
        return stored;
    };
    auto move = [&](int value) {
        cfg->setFaderValue(0, quint32(value));
        midi.sendFadersFlowControlled(300);
    };

    // The report of the first message comes after its acknowledgement, while the re-send with the
    // later move is out: it is not stored. The re-send's own report is.
    move(10);
    move(11);
    feed(ack);
    ASSERT_EQ(ports->sent.size(), 3u); // SEND_INFO, the first SET_FADERS, the re-send
    EXPECT_FALSE(report(10));
    EXPECT_EQ(cfg->getFaderValue(0), 11);
    feed(ack);
    EXPECT_TRUE(report(11));

    // The re-send's acknowledgement is lost: once it counts as lost, reports are stored again.
    move(12);
    move(13);
    feed(ack);
    EXPECT_FALSE(report(12));
    clockMs += 1001;
    feed(TestSysEx::version(1, 300, "Studio")); // keeps the device registered
    midi.onTimeoutPollForMidiIncomingMsgs();
    EXPECT_TRUE(report(13));

    // A move after a lost acknowledgement goes out at once, and only that message is counted.
    move(14);
    clockMs += 1001;
    move(15);
    EXPECT_EQ(ports->sent.size(), 7u);
    feed(ack);
    EXPECT_TRUE(report(15));
    midi.toggleConnectedStatus();
    DeviceClock::setSource({});
}
