// The debug log of one scripted TavikRemote session, compared line for line with a recorded one:
// two devices admitted with every report, a second poll round, fader moves with a lost
// acknowledgement, a device that falls silent and is dropped, and the disconnect. The device
// clock is set by the test and the link's timers are driven by hand, so the log is the same on
// every run; only the MIDI library's time stamps of received messages and the simulator's client
// suffix are blanked.
// With TAVIK_WRITE_GOLDEN=1 in the environment the log is written to the golden file instead.
#include "RemoteRig.h"

#include "LogCapture.h"
#include "app/MyApplication.h"
#include "model/DeviceClock.h"
#include "pages/AudioLevelsDialog.h"
#include "pages/TavikFader.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "windows/TavikConfigurationDialog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString DoneParsing = QStringLiteral("D: **** Done parsing current MIDI-message ***");
qint64 clockMs = 1700000000000;

// Polls the link (as its timer does) until the log holds count parsed messages.
bool pollUntilParsed(const LogCapture &log, int count) {
    return QTest::qWaitFor(
        [&] {
            RemoteRig::midi()->onTimeoutPollForMidiIncomingMsgs();
            return log.all.count(DoneParsing) >= count;
        },
        8000);
}

QStringList normalized(const QStringList &entries) {
    static const QRegularExpression stamp(QStringLiteral("stamp = \\S+$"));
    // The server chooses the suffix of the simulator's second client.
    static const QRegularExpression suffix(QStringLiteral("tavik-sim-\\d+:"));
    QStringList lines;
    for (const QString &entry : entries)
        for (QString line : entry.split(QLatin1Char('\n')))
            lines << line.replace(stamp, QStringLiteral("stamp = *"))
                         .replace(suffix, QStringLiteral("tavik-sim-*:"));
    return lines;
}

void moveFader(int index, int value) {
    TavikConfigurationDialog *dialog = RemoteRig::app()->getConfigurationDialog(12345);
    ASSERT_NE(dialog, nullptr);
    dialog->getAudioLevelsDialog()->getTavikFader(index)->update(value);
}
} // namespace

TEST(DebugLogSession, IsTheRecordedOneLineForLine) {
    auto sim = RemoteRig::startSim({"--device", "neo:12345:Studio", "--device", "lux:1234:Stage",
                                    "--status-interval", "0", "--drop-ack-faders", "2"});
    ASSERT_TRUE(sim);
    DeviceClock::setSource([] { return clockMs; });
    LogSwitch::setOn(true);
    QStringList lines;
    {
        LogCapture log;
        ASSERT_TRUE(RemoteRig::connectToSim());
        RemoteRig::midi()->stopTimers();

        // Admission: a version reply each, then acknowledgement, configuration, status and faders.
        RemoteRig::midi()->onTimeoutSendInfoBroadcasts();
        ASSERT_TRUE(pollUntilParsed(log, 10));
        RemoteRig::midi()->onTimeoutSendInfoBroadcasts();
        ASSERT_TRUE(pollUntilParsed(log, 12));

        // The second acknowledgement is lost; the third move waits for it, and once it counts as
        // lost the next poll sends the faders again.
        moveFader(0, 10);
        ASSERT_TRUE(pollUntilParsed(log, 14));
        moveFader(0, 20);
        ASSERT_TRUE(sim->waitForLogLine(QRegularExpression(QStringLiteral("dropped ACK FADERS #2")), 8000));
        moveFader(1, 5);
        clockMs += 1500;
        ASSERT_TRUE(pollUntilParsed(log, 16));

        // Device 1234 falls silent: 12345 still answers, 1234 is dropped when its time is up.
        sim->command(QStringLiteral("silent 1234"));
        ASSERT_TRUE(sim->waitForLogLine(QRegularExpression(QStringLiteral("^# 1234 silent$")), 8000));
        clockMs += 500;
        RemoteRig::midi()->onTimeoutSendInfoBroadcasts();
        ASSERT_TRUE(sim->waitForLogLine(QRegularExpression(QStringLiteral("1234 is silent")), 8000));
        ASSERT_TRUE(pollUntilParsed(log, 17));
        clockMs += 500;
        ASSERT_TRUE(QTest::qWaitFor(
            [] {
                RemoteRig::midi()->onTimeoutPollForMidiIncomingMsgs();
                return !RemoteRig::app()->getConfiguration(1234);
            },
            8000));

        RemoteRig::disconnect();
        lines = normalized(log.all);
    }
    LogSwitch::setOn(false);
    DeviceClock::setSource({});
    sim->stop();

    QFile golden(QStringLiteral(TAVIK_GOLDEN_LOG));
    if (qEnvironmentVariableIntValue("TAVIK_WRITE_GOLDEN")) {
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly | QIODevice::Truncate));
        golden.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
        return;
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    QStringList expected = QString::fromUtf8(golden.readAll()).split(QLatin1Char('\n'));
    expected.removeLast();
    for (int i = 0; i < qMin(expected.size(), lines.size()); ++i)
        ASSERT_EQ(lines[i], expected[i]) << "first difference at line " << i + 1;
    EXPECT_EQ(lines.size(), expected.size());
}
