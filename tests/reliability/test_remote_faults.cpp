// Faults on the link of a running TavikRemote: devices that fall silent and return, lost fader
// acknowledgements, malformed traffic and floods. Real RtMidi ports on a private JACK server,
// tavik-sim as the devices, application and windows in this process.
#include "RemoteRig.h"

#include "LogCapture.h"
#include "SysExMessages.h"
#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "pages/AudioLevelsDialog.h"
#include "pages/TavikFader.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "windows/TavikConfigurationDialog.h"

#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <iostream>

namespace {
using namespace TavikSysEx;
using TestSysEx::hex;
using Bytes = std::vector<int>;

// A message of device 12345 (Tavik Neo) with this command and payload, as hex text.
QString neoReport(std::uint8_t command, const Bytes &payload = {}) {
    return hex(TestSysEx::message<Bytes>(FamilyNeo, 12345, command, payload));
}
// The start of a log line of the simulator with such a message.
QRegularExpression neoLine(const char *direction, std::uint8_t command) {
    return QRegularExpression(QStringLiteral("^%1 ").arg(QLatin1String(direction)) +
                              hex(TestSysEx::header(FamilyNeo, 12345, command)) + QLatin1Char(' '));
}

const QString InfoTo12345 = QStringLiteral("RX ") + neoReport(SEND_INFO);
const QString TruncatedWarning =
    QStringLiteral("parseMsgIsSysExType(): msg size less than 11 (truncated msg!)");

class RemoteFaults : public ::testing::Test {
protected:
    void TearDown() override {
        // What the device saw and sent tells a lost message from a wrong reaction.
        if (HasFailure() && sim) {
            const QStringList log = sim->logLines();
            std::cerr << "simulator log:\n"
                      << qPrintable(log.mid(qMax(0, int(log.size()) - 120)).join(QLatin1Char('\n')))
                      << std::endl;
        }
        RemoteRig::disconnect();
        LogSwitch::setOn(false);
        if (sim)
            sim->stop();
        sim.reset();
    }
    void start(const QStringList &args) {
        sim = RemoteRig::startSim(args);
        ASSERT_TRUE(sim);
        ASSERT_TRUE(RemoteRig::connectToSim()) << "simulator ports not listed";
    }
    MyApplication *app() { return RemoteRig::app(); }

    std::unique_ptr<SimProcess> sim;
};
} // namespace

TEST_F(RemoteFaults, SilentDeviceComesBackAndIsAdmittedAfreshWithANewWindow) {
    start({"--device", "neo:12345:Studio", "--device", "lux:1234:Stage"});
    ASSERT_TRUE(RemoteRig::waitForDevice(12345));
    ASSERT_TRUE(RemoteRig::waitForDevice(1234));
    ASSERT_TRUE(QTest::qWaitFor([&] { return app()->getConfigurationDialog(12345) != nullptr; }, 2000));
    TavikConfiguration *lux = app()->getConfiguration(1234);
    const int listed = RemoteRig::deviceListCount();
    EXPECT_EQ(listed, 3); // placeholder, Tavik Neo, Tavik Lux

    // The window of the first admission reports its own destruction.
    bool firstWindowGone = false;
    QObject::connect(app()->getConfigurationDialog(12345), &QObject::destroyed,
                     [&firstWindowGone] { firstWindowGone = true; });

    sim->command(QStringLiteral("silent 12345"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return app()->getConfiguration(12345) == nullptr; }, 6000));
    EXPECT_TRUE(firstWindowGone);
    EXPECT_EQ(app()->getConfigurationDialog(12345), nullptr);
    EXPECT_EQ(RemoteRig::deviceListCount(), listed - 1);

    sim->command(QStringLiteral("resume 12345"));
    TavikConfiguration *again = RemoteRig::waitForDevice(12345, 6000);
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app()->getConfigurationDialog(12345) != nullptr; }, 2000));
    EXPECT_EQ(RemoteRig::deviceListCount(), listed);
    EXPECT_STREQ(again->getDeviceName(), "Studio");
    // Greeted again, and the reports after the greeting reach the new window.
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim->logLines().count(InfoTo12345) == 2; }, 3000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return again->getLockedRate() != 0 || again->getStatusFlags() != 0; }, 3000));
    // The other device was never dropped.
    EXPECT_EQ(app()->getConfiguration(1234), lux);
}

TEST_F(RemoteFaults, EverySecondFaderAckLostStillEndsWithTheUsersLatestValues) {
    start({"--device", "neo:12345:Studio", "--drop-ack-faders", "2"});
    TavikConfiguration *cfg = RemoteRig::waitForDevice(12345);
    ASSERT_NE(cfg, nullptr);
    TavikConfigurationDialog *window = nullptr;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return (window = app()->getConfigurationDialog(12345)) != nullptr; }, 2000));
    // Let the device's own fader report (after the greeting) arrive first.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !sim->logLines().filter(neoLine("TX", GET_FADERS)).isEmpty(); }, 3000));
    QTest::qWait(200);

    // Bursts of moves on the page's faders, with pauses long enough for a lost acknowledgement
    // to be noticed by the program.
    AudioLevelsDialog *levels = window->getAudioLevelsDialog();
    ASSERT_NE(levels, nullptr);
    // The user's latest value of every fader, kept apart from the program's record.
    std::vector<int> latest;
    for (int i = 0; i < 32; ++i)
        latest.push_back(cfg->getFaderValue(i));
    int step = 0;
    for (int burst = 0; burst < 4; ++burst) {
        for (int move = 0; move < 12; ++move, ++step) {
            TavikFader *fader = levels->getTavikFader(step % 32);
            ASSERT_NE(fader, nullptr);
            const int value = (step * 7 + burst) % 29;
            fader->update(value, true);
            latest[size_t(step % 32)] = value;
            QTest::qWait(2);
        }
        QTest::qWait(burst % 2 ? 1300 : 30);
    }
    const QString expected = QStringLiteral("RX ") + neoReport(SET_FADERS, [&] {
                                 Bytes payload{0x20};
                                 payload.insert(payload.end(), latest.begin(), latest.end());
                                 return payload;
                             }());
    const QRegularExpression setFaders = neoLine("RX", SET_FADERS);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QStringList rx = sim->logLines().filter(setFaders);
            return !rx.isEmpty() && rx.last() == expected && !cfg->isFaderSendPending();
        },
        6000))
        << "last SET_FADERS: " << sim->logLines().filter(setFaders).value(-1).toStdString();
    const int dropped = int(sim->logLines().filter(QRegularExpression("dropped ACK FADERS")).size());
    EXPECT_GE(dropped, 1) << "the fault was not injected";
    // The program's record holds the same values.
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(cfg->getFaderValue(i), latest[size_t(i)]) << "fader " << i;
    RecordProperty("set_faders_received", int(sim->logLines().filter(setFaders).size()));
    RecordProperty("acks_dropped", dropped);
}

TEST_F(RemoteFaults, MalformedTrafficBetweenValidReportsChangesNothingButTheValidReports) {
    start({"--device", "neo:12345:Studio", "--garbage", "--status-interval", "100"});
    TavikConfiguration *cfg = RemoteRig::waitForDevice(12345);
    ASSERT_NE(cfg, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app()->getConfigurationDialog(12345) != nullptr; }, 2000));
    LogCapture log;
    // Every kind of broken message the simulator makes comes by within a few status periods.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return sim->logLines().filter(QRegularExpression("^# garbage: ")).size() >= 2 * 9 &&
                   log.hasWarning(TruncatedWarning) &&
                   log.hasWarning(QStringLiteral("early return: GET_CONFIG msg wrong size!")) &&
                   log.hasWarning(QStringLiteral("early return: GET_STATUS wrong msg size!"));
        },
        8000))
        << log.all.join('\n').toStdString();

    // Hand-made faults interleaved with valid reports: truncated, oversized (several kilobytes),
    // wrong family, a lone status byte, a header without end byte.
    const QString config =
        neoReport(GET_CONFIG, {0x25, 0x01, 0x21, 0x03, 0x10, 0x32, 0x54, 0x06, 0x21, 0x43});
    const QString faders = neoReport(GET_FADERS, [] {
        Bytes v;
        for (int i = 0; i < 32; ++i)
            v.push_back((i * 5) % 29);
        return v;
    }());
    Bytes truncated = TestSysEx::header<Bytes>(FamilyNeo, 12345, GET_CONFIG);
    truncated.back() = SysExEnd; // ends where the command byte belongs
    Bytes oversized = TestSysEx::header<Bytes>(FamilyNeo, 12345, GET_FADERS);
    oversized.resize(5000, 0x10);
    oversized.push_back(SysExEnd);
    Bytes unterminated = TestSysEx::header<Bytes>(FamilyNeo, 12345, GET_CONFIG);
    unterminated.insert(unterminated.end(), {0x11, 0x22, 0x33});
    const QStringList commands{
        QStringLiteral("send ") + hex(truncated),
        QStringLiteral("send ") + hex(oversized),
        QStringLiteral("send ") + config,
        QStringLiteral("send ") + hex(TestSysEx::message<Bytes>(0x03, 12345, GET_CONFIG, Bytes(10, 0))),
        QStringLiteral("send FE"),
        QStringLiteral("send ") + faders,
        QStringLiteral("send ") + hex(unterminated),
        QStringLiteral("send ") + neoReport(GET_CONFIG, {0x7F, 0x7F, 0x7F}),
    };
    for (const QString &command : commands)
        sim->command(command);
    // The garbage keeps coming (one kind is a fader report with a status byte in it, whose other
    // values the record takes), so the hand-made reports are checked as soon as they are applied.
    auto fadersApplied = [&] {
        for (int i = 0; i < 32; ++i)
            if (cfg->getFaderValue(i) != (i * 5) % 29)
                return false;
        return true;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return cfg->getFrequency() == 5 && fadersApplied(); }, 5000));
    // Nothing the garbage carries changes the configuration.
    QTest::qWait(300);
    EXPECT_EQ(cfg->getFrequency(), 5);
    EXPECT_EQ(cfg->getSync(), 2);
    EXPECT_EQ(cfg->getLock(), 1);
    EXPECT_EQ(cfg->getSMUX(0), 1);
    EXPECT_EQ(cfg->getSMUX(1), 2);

    // The regular status reports are still applied: the record holds the last one sent.
    const QRegularExpression statusTx = neoLine("TX", GET_STATUS);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QStringList tx = sim->logLines().filter(statusTx);
            if (tx.isEmpty())
                return false;
            const QStringList b = tx.last().mid(3).split(QLatin1Char(' '));
            if (b.size() != 15)
                return false;
            auto byte = [&](int i) { return quint8(b[i].toUInt(nullptr, 16)); };
            return cfg->getBncRate() == (byte(10) & 0x0F) && cfg->getMadiRate() == (byte(10) >> 4) &&
                   cfg->getAdatARate() == (byte(11) & 0x0F) && cfg->getAdatBRate() == (byte(11) >> 4) &&
                   cfg->getLockedRate() == (byte(12) & 0x0F) && cfg->getStatusFlags() == byte(13);
        },
        3000));

    // The device stays admitted, and every warning is one of the program's own.
    EXPECT_EQ(app()->getConfiguration(12345), cfg);
    const QStringList known{TruncatedWarning, QStringLiteral("setFaderValue(): newFaderValue out of range!"),
                            QStringLiteral("TavikFader::update(): new val out of range!")};
    for (const QString &warning : log.warnings)
        EXPECT_TRUE(known.contains(warning) || warning.startsWith(QStringLiteral("early return: ")))
            << warning.toStdString();
    RecordProperty("warnings", int(log.warnings.size()));
}

TEST_F(RemoteFaults, FloodBetweenTwoPollTicksLeavesTheLinkWorking) {
    start({"--device", "neo:12345:Studio", "--status-interval", "0"});
    TavikConfiguration *cfg = RemoteRig::waitForDevice(12345);
    ASSERT_NE(cfg, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app()->getConfigurationDialog(12345) != nullptr; }, 2000));
    QTest::qWait(300);
    LogSwitch::setOn(true);
    LogCapture log;

    // The GUI thread is kept busy while 300 reports arrive, so no poll tick runs in between.
    sim->command(QStringLiteral("flood 300"));
    const QRegularExpression statusTx = neoLine("TX", GET_STATUS);
    for (int i = 0; i < 100 && sim->logLines().filter(statusTx).size() < 300; ++i)
        QThread::msleep(50);
    ASSERT_GE(sim->logLines().filter(statusTx).size(), 300);
    QThread::msleep(200);
    log.clear();
    QTest::qWait(60); // one tick drains the queue
    const int firstTick = int(log.debugs.count(QStringLiteral("Found GET STATUS command.")));
    QTest::qWait(200);
    const int handled = int(log.debugs.count(QStringLiteral("Found GET STATUS command.")));
    // The library's queue holds 100 messages; what arrived beyond that was dropped by it.
    EXPECT_GE(handled, 1);
    EXPECT_LE(handled, 100);
    EXPECT_LE(firstTick, 400);

    // Messages after the flood are handled normally.
    sim->command(QStringLiteral("send ") + neoReport(GET_CONFIG, {0x14, 0x01, 0x00, 0x00, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return cfg->getFrequency() == 4 && cfg->getSync() == 1; }, 3000));
    EXPECT_EQ(app()->getConfiguration(12345), cfg);
    RecordProperty("flood_sent", 300);
    RecordProperty("flood_handled", handled);
    std::printf("flood: 300 sent, %d handled (%d in the first tick)\n", handled, firstTick);
}
