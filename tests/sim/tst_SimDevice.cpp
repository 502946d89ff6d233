// Unit tests of SimDevice: the exact bytes of every reply and how commands change the device.
#include "sim/SimDevice.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <iterator>

namespace {

SysExMessage bytes(const char *hex) {
    const QByteArray raw = QByteArray::fromHex(QByteArray(hex));
    return SysExMessage(raw.begin(), raw.end());
}

QByteArray text(const SysExMessage &msg) {
    return QByteArray(reinterpret_cast<const char *>(msg.data()), int(msg.size())).toHex(' ').toUpper();
}

// Every reply as hex text, to compare a whole answer at once.
QByteArrayList texts(const SimDevice::Result &result) {
    QByteArrayList list;
    for (const SysExMessage &msg : result.messages)
        list << text(msg);
    return list;
}

#define COMPARE_BYTES(actual, expected) QCOMPARE(text(actual), text(bytes(expected)))

} // namespace

class TestSimDevice : public QObject {
    Q_OBJECT
private slots:
    void versionRequestAnsweredForBroadcastAndOwnSerial();
    void versionRequestForOthersOrWrongFamilyIgnored();
    void luxAnswersWithItsFamily();
    void infoAnsweredWithAckAndThreeReports();
    void setValuesSettingsChangeConfigAndStatus();
    void setValuesLockSmuxRouting();
    void setValuesOutOfRangeValuesIgnored();
    void setValuesMalformedIgnored();
    void setFadersAppliedAndAcknowledged();
    void setFadersMalformedOrOutOfRange();
    void dropEveryNthAckFaders();
    void statusFollowsClockSource_data();
    void statusFollowsClockSource();
    void livelyInputsChangeAndStatusReportsFollow();
    void hostileMessagesProduceNothing();
    void randomMessagesKeepDeviceConsistent();
};

void TestSimDevice::versionRequestAnsweredForBroadcastAndOwnSerial() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    const char *reply =
        "F0 00 11 22 01 39 60 00 00 20 01 07 53 74 75 64 69 6F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F F7";
    QCOMPARE(texts(neo.handle(bytes("F0 00 11 22 01 00 00 00 00 00 F7"))), QByteArrayList{reply});
    QCOMPARE(texts(neo.handle(bytes("F0 00 11 22 01 39 60 00 00 00 F7"))), QByteArrayList{reply});

    // A full 16-character name has no padding.
    SimDevice full(SimDevice::Neo, 268435455, QStringLiteral("ABCDEFGHIJKLMNOP"));
    const SimDevice::Result r = full.handle(bytes("F0 00 11 22 01 00 00 00 00 00 F7"));
    COMPARE_BYTES(r.messages.at(0),
                  "F0 00 11 22 01 7F 7F 7F 7F 20 01 07 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 F7");
}

void TestSimDevice::versionRequestForOthersOrWrongFamilyIgnored() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    QVERIFY(neo.handle(bytes("F0 00 11 22 01 3A 60 00 00 00 F7")).messages.empty());    // serial 12346
    QVERIFY(neo.handle(bytes("F0 00 11 22 03 00 00 00 00 00 F7")).messages.empty());    // family 3
    QVERIFY(neo.handle(bytes("F0 00 11 22 05 00 00 00 00 00 F7")).messages.empty());    // Lux family
    QVERIFY(neo.handle(bytes("F0 00 11 23 01 00 00 00 00 00 F7")).messages.empty());    // other maker
    QVERIFY(neo.handle(bytes("F0 00 11 22 01 00 00 00 00 00 00 F7")).messages.empty()); // 12 bytes
    // Only the version request may be broadcast.
    QVERIFY(neo.handle(bytes("F0 00 11 22 01 00 00 00 00 05 F7")).messages.empty());
}

void TestSimDevice::luxAnswersWithItsFamily() {
    SimDevice lux(SimDevice::Lux, 1234, QStringLiteral("Booth"));
    // The broadcast carries family 1; the reply carries the Lux family byte 5.
    SimDevice::Result r = lux.handle(bytes("F0 00 11 22 01 00 00 00 00 00 F7"));
    COMPARE_BYTES(r.messages.at(0),
                  "F0 00 11 22 05 52 09 00 00 20 01 07 42 6F 6F 74 68 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F F7");
    // Commands addressed with its own family byte are taken too.
    QCOMPARE(texts(lux.handle(bytes("F0 00 11 22 05 52 09 00 00 01 00 03 01 F7"))),
             (QByteArrayList{"F0 00 11 22 05 52 09 00 00 21 F7",
                             "F0 00 11 22 05 52 09 00 00 40 13 00 00 00 00 00 00 00 00 00 F7"}));
    // MADI as clock source on a device without MADI input: nothing is locked.
    r = lux.handle(bytes("F0 00 11 22 05 52 09 00 00 01 00 03 01 F7"));
    COMPARE_BYTES(lux.statusReport(), "F0 00 11 22 05 52 09 00 00 41 00 00 00 00 F7");
}

void TestSimDevice::infoAnsweredWithAckAndThreeReports() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    QCOMPARE(texts(neo.handle(bytes("F0 00 11 22 01 39 60 00 00 05 F7"))),
             (QByteArrayList{"F0 00 11 22 01 39 60 00 00 25 F7",
                             "F0 00 11 22 01 39 60 00 00 40 03 00 00 00 00 00 00 00 00 00 F7",
                             "F0 00 11 22 01 39 60 00 00 41 00 00 03 00 F7",
                             "F0 00 11 22 01 39 60 00 00 42 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F "
                             "10 11 12 13 14 15 16 17 18 19 1A 1B 1C 00 01 02 F7"}));
    // Not for this device: nothing.
    QVERIFY(neo.handle(bytes("F0 00 11 22 01 00 00 00 00 05 F7")).messages.empty());
}

void TestSimDevice::setValuesSettingsChangeConfigAndStatus() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    // 96 kHz from the BNC word clock.
    QCOMPARE(texts(neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 00 05 03 F7"))),
             (QByteArrayList{"F0 00 11 22 01 39 60 00 00 21 F7",
                             "F0 00 11 22 01 39 60 00 00 40 35 00 00 00 00 00 00 00 00 00 F7"}));
    QCOMPARE(int(neo.config().frequency), 5);
    QCOMPARE(int(neo.config().sync), 3);
    // BNC rate 5 with its signal flag, locked at 5.
    COMPARE_BYTES(neo.statusReport(), "F0 00 11 22 01 39 60 00 00 41 05 00 05 08 F7");
}

void TestSimDevice::setValuesLockSmuxRouting() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    SimDevice::Result r = neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 02 01 F7"));
    COMPARE_BYTES(r.messages.at(1), "F0 00 11 22 01 39 60 00 00 40 03 01 00 00 00 00 00 00 00 00 F7");

    r = neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 10 01 02 01 02 F7"));
    COMPARE_BYTES(r.messages.at(0), "F0 00 11 22 01 39 60 00 00 21 F7");
    COMPARE_BYTES(r.messages.at(1), "F0 00 11 22 01 39 60 00 00 40 03 01 21 21 00 00 00 00 00 00 F7");

    // Every routing value at its range's maximum or a middle value.
    r = neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 20 04 02 01 00 01 00 03 02 01 01 00 00 F7"));
    COMPARE_BYTES(r.messages.at(1), "F0 00 11 22 01 39 60 00 00 40 03 01 21 21 24 01 01 23 11 00 F7");
    const std::array<uint8_t, 12> expected = {4, 2, 1, 0, 1, 0, 3, 2, 1, 1, 0, 0};
    QVERIFY(neo.config().routing == expected);
}

void TestSimDevice::setValuesOutOfRangeValuesIgnored() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 00 06 02 F7")); // 192 kHz from ADAT
    // Frequency 7 is refused, sync 1 is taken.
    SimDevice::Result r = neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 00 07 01 F7"));
    QCOMPARE(int(neo.config().frequency), 6);
    QCOMPARE(int(neo.config().sync), 1);
    QVERIFY(r.events.join(QLatin1Char(' ')).contains(QStringLiteral("frequency=7")));
    COMPARE_BYTES(r.messages.at(1), "F0 00 11 22 01 39 60 00 00 40 16 00 00 00 00 00 00 00 00 00 F7");
    // Sync 4 refused, frequency 2 taken.
    neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 00 02 04 F7"));
    QCOMPARE(int(neo.config().frequency), 2);
    QCOMPARE(int(neo.config().sync), 1);
    // Lock 2 refused.
    neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 02 01 F7"));
    neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 02 02 F7"));
    QCOMPARE(int(neo.config().lock), 1);
    // SMUX: 2 is too much for the 44.1 kHz groups, 3 for the 48 kHz groups.
    neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 10 01 01 01 01 F7"));
    neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 10 02 03 00 02 F7"));
    const std::array<uint8_t, 4> smux = {1, 1, 0, 2};
    QVERIFY(neo.config().smux == smux);
    // Routing: 5, 3 and 2 exceed the three ranges; the rest is taken.
    r = neo.handle(bytes("F0 00 11 22 01 39 60 00 00 01 20 05 03 02 01 01 01 01 01 01 01 01 01 F7"));
    const std::array<uint8_t, 12> routing = {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    QVERIFY(neo.config().routing == routing);
    QCOMPARE(r.messages.size(), size_t(2));
}

void TestSimDevice::setValuesMalformedIgnored() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    const std::vector<const char *> broken = {
        "F0 00 11 22 01 39 60 00 00 01 F7",                   // no start index
        "F0 00 11 22 01 39 60 00 00 01 07 F7",                // unknown start index
        "F0 00 11 22 01 39 60 00 00 01 00 05 F7",             // start 0, one value short
        "F0 00 11 22 01 39 60 00 00 01 02 01 01 F7",          // start 2, one value too many
        "F0 00 11 22 01 39 60 00 00 01 10 01 01 01 F7",       // start 16, three values
        "F0 00 11 22 01 39 60 00 00 01 20 01 01 01 01 01 F7", // start 32, five values
    };
    for (const char *msg : broken) {
        const SimDevice::Result r = neo.handle(bytes(msg));
        QVERIFY2(r.messages.empty(), msg);
        QVERIFY2(!r.events.isEmpty(), msg);
    }
    COMPARE_BYTES(neo.configReport(), "F0 00 11 22 01 39 60 00 00 40 03 00 00 00 00 00 00 00 00 00 F7");
}

void TestSimDevice::setFadersAppliedAndAcknowledged() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    SysExMessage msg = bytes("F0 00 11 22 01 39 60 00 00 02 20");
    for (int i = 0; i < 32; ++i)
        msg.push_back(uint8_t(28 - (i % 29)));
    msg.push_back(0xF7);
    QCOMPARE(msg.size(), size_t(44));
    const SimDevice::Result r = neo.handle(msg);
    QCOMPARE(r.messages.size(), size_t(2));
    COMPARE_BYTES(r.messages[0], "F0 00 11 22 01 39 60 00 00 22 F7");
    const SysExMessage report = r.messages[1];
    QCOMPARE(report.size(), size_t(43));
    for (int i = 0; i < 32; ++i)
        QCOMPARE(int(report[size_t(10 + i)]), 28 - (i % 29));
}

void TestSimDevice::setFadersMalformedOrOutOfRange() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    SysExMessage msg = bytes("F0 00 11 22 01 39 60 00 00 02 20");
    msg.resize(11 + 32, 5);
    msg[11] = 29; // out of range: fader 0 keeps its level
    msg.push_back(0xF7);
    SimDevice::Result r = neo.handle(msg);
    QCOMPARE(r.messages.size(), size_t(2));
    QCOMPARE(int(neo.faders()[0]), 0);
    QCOMPARE(int(neo.faders()[1]), 5);

    SysExMessage wrongMarker = msg;
    wrongMarker[10] = 0x21;
    QVERIFY(neo.handle(wrongMarker).messages.empty());
    SysExMessage shortMsg = msg;
    shortMsg.erase(shortMsg.begin() + 20);
    QVERIFY(neo.handle(shortMsg).messages.empty());
    QCOMPARE(int(neo.faders()[2]), 5);
}

void TestSimDevice::dropEveryNthAckFaders() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    neo.setDropAckFaders(3);
    SysExMessage msg = bytes("F0 00 11 22 01 39 60 00 00 02 20");
    msg.resize(11 + 32, 1);
    msg.push_back(0xF7);
    QString pattern;
    for (int i = 0; i < 7; ++i)
        pattern += neo.handle(msg).messages.empty() ? QLatin1Char('-') : QLatin1Char('A');
    QCOMPARE(pattern, QStringLiteral("AA-AA-A"));
}

void TestSimDevice::statusFollowsClockSource_data() {
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("sync");
    QTest::addColumn<QString>("status"); // bytes 10..13
    QTest::newRow("own clock 44.1") << 2 << 0 << "00 00 02 00";
    QTest::newRow("MADI 48") << 3 << 1 << "30 00 03 11";
    QTest::newRow("ADAT 88.2") << 4 << 2 << "00 44 04 66";
    QTest::newRow("BNC 192") << 6 << 3 << "06 00 06 08";
    QTest::newRow("no rate, ADAT") << 0 << 2 << "00 00 00 06";
}

void TestSimDevice::statusFollowsClockSource() {
    QFETCH(int, frequency);
    QFETCH(int, sync);
    QFETCH(QString, status);
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    SysExMessage msg = bytes("F0 00 11 22 01 39 60 00 00 01 00");
    msg.push_back(uint8_t(frequency));
    msg.push_back(uint8_t(sync));
    msg.push_back(0xF7);
    QCOMPARE(neo.handle(msg).messages.size(), size_t(2));
    const QByteArray expected = "F0 00 11 22 01 39 60 00 00 41 " + status.toLatin1() + " F7";
    COMPARE_BYTES(neo.statusReport(), expected.constData());
}

void TestSimDevice::livelyInputsChangeAndStatusReportsFollow() {
    // Synced to ADAT at 48 kHz: the ADAT inputs follow the settings, BNC and MADI go their own way.
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio")), twin = neo;
    for (SimDevice *device : {&neo, &twin}) {
        device->handle(bytes("F0 00 11 22 01 39 60 00 00 01 00 03 02 F7"));
        device->setLivelyInputs(7);
    }
    const LivelyInputs &in = *neo.livelyInputs();
    const QRegularExpression kind(QStringLiteral(
        "^neo 12345: input (BNC|MADI) (plugged in, 4|pulled$|switched to 4|lost lock$|locked again$)"));
    QStringList course;
    int64_t lastChange = 0;
    for (int64_t t = in.nextChangeMs(); t < 600000; t = in.nextChangeMs()) {
        for (const QString &line : neo.advanceInputs(t)) {
            const QRegularExpressionMatch m = kind.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            course << line;
            if (m.captured(2) != QLatin1String("locked again")) {
                QVERIFY(t - lastChange >= 2000 && t - lastChange <= 6000);
                lastChange = t;
            }
        }
        const LivelyInputs::State &bnc = in.state(LivelyInputs::Bnc), &madi = in.state(LivelyInputs::Madi);
        const int flags = 0x66 | madi.signal | bnc.signal << 3 | madi.locked << 4;
        const SysExMessage st = neo.statusReport();
        QCOMPARE(QList<int>({st[10], st[11], st[12], st[13]}),
                 QList<int>({bnc.rate | madi.rate << 4, 0x33, 3, flags}));
    }
    for (const char *kind : {"plugged in", "pulled", "switched to", "lost lock", "locked again"})
        QVERIFY2(!course.filter(QLatin1String(kind)).isEmpty(), kind);
    // The same seed, the time driven in one step: the same changes in the same order.
    QCOMPARE(twin.advanceInputs(599999), course);
}

void TestSimDevice::hostileMessagesProduceNothing() {
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    QVERIFY(neo.handle({}).messages.empty());
    QVERIFY(neo.handle({0xFE}).messages.empty());
    QVERIFY(neo.handle({0xF0, 0xF7}).messages.empty());
    QVERIFY(neo.handle(bytes("F0 00 11 22 01 39 60 00 00 00")).messages.empty());    // no end byte
    QVERIFY(neo.handle(bytes("F0 00 11 22 01 39 E0 00 00 00 F7")).messages.empty()); // status byte inside
    // An unknown command addressed to the device is noted and not answered.
    const SimDevice::Result r = neo.handle(bytes("F0 00 11 22 01 39 60 00 00 43 00 F7"));
    QVERIFY(r.messages.empty());
    QCOMPARE(r.events.size(), 1);
    // Every byte value in every position of a short message, and a huge one.
    SysExMessage probe = bytes("F0 00 11 22 01 39 60 00 00 05 F7");
    for (size_t pos = 0; pos < probe.size(); ++pos)
        for (int v = 0; v < 256; ++v) {
            SysExMessage m = probe;
            m[pos] = uint8_t(v);
            neo.handle(m);
        }
    SysExMessage huge = bytes("F0 00 11 22 01 39 60 00 00 03");
    huge.resize(100000, 0x01);
    huge.push_back(0xF7);
    QVERIFY(neo.handle(huge).messages.empty());
}

void TestSimDevice::randomMessagesKeepDeviceConsistent() {
    QRandomGenerator rng(20261208);
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    const uint8_t commands[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x20, 0x22, 0x41, 0x7F};
    const size_t lengths[] = {11, 12, 13, 14, 16, 24, 44, 651, 652, 653};
    for (int round = 0; round < 20000; ++round) {
        SysExMessage msg = bytes("F0 00 11 22 01 39 60 00 00");
        msg.push_back(commands[rng.bounded(int(std::size(commands)))]);
        const size_t length = lengths[rng.bounded(int(std::size(lengths)))];
        while (msg.size() < length - 1)
            msg.push_back(uint8_t(rng.bounded(rng.bounded(2) ? 0x80 : 0x40)));
        msg.push_back(0xF7);
        const SimDevice::Result r = neo.handle(msg);
        // Whatever arrives, every reply is a well-framed message of this device, and the
        // settings stay within what the device can report.
        for (const SysExMessage &reply : r.messages) {
            QVERIFY(reply.size() >= 11);
            QCOMPARE(int(reply.front()), 0xF0);
            QCOMPARE(int(reply.back()), 0xF7);
            QCOMPARE(int(reply[5]), 0x39);
            for (size_t i = 1; i + 1 < reply.size(); ++i)
                QVERIFY(reply[i] < 0x80);
        }
        QVERIFY(neo.config().frequency <= 6);
        QVERIFY(neo.config().sync <= 3);
        QVERIFY(neo.config().lock <= 1);
        for (uint8_t f : neo.faders())
            QVERIFY(f <= 28);
    }
}

QTEST_APPLESS_MAIN(TestSimDevice)
#include "tst_SimDevice.moc"
