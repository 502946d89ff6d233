// Unit tests of the simulator's command line, framing helpers, input pacing and garbage.
#include "sim/GarbageGenerator.h"
#include "sim/InputPacer.h"
#include "sim/SimOptions.h"
#include "sim/SysExFrame.h"

#include <QTest>

class TestSimOptions : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void devicesAndOptions();
    void rejectsBadArguments_data();
    void rejectsBadArguments();
    void helpNamesEveryOption();
    void frameHelpers();
    void pacingFollowsBaudRate();
    void garbageCoversEveryKind();
};

void TestSimOptions::defaults() {
    SimOptions o;
    QString error;
    QVERIFY(o.parse({}, &error));
    QCOMPARE(o.devices.size(), size_t(1));
    QCOMPARE(int(o.devices[0].family), 1);
    QCOMPARE(o.devices[0].serial, 12345u);
    QCOMPARE(o.devices[0].name, QStringLiteral("Studio"));
    QCOMPARE(o.clientName, QStringLiteral("tavik-sim"));
    QVERIFY(o.api == SimOptions::Api::Auto);
    QCOMPARE(o.statusIntervalMs, 500);
    QVERIFY(o.silentAfterSec < 0);
    QCOMPARE(o.dropAckFaders, 0);
    QCOMPARE(o.paceBaud, 0);
    QVERIFY(!o.garbage);
    QVERIFY(!o.livelyInputs);
}

void TestSimOptions::devicesAndOptions() {
    SimOptions o;
    QString error;
    QVERIFY2(o.parse({"--device",
                      "lux:777:Booth",
                      "--device=5:268435455",
                      "--device",
                      "NEO:2:",
                      "--client",
                      "c1",
                      "--api=jack",
                      "--log",
                      "/tmp/x.log",
                      "--status-interval",
                      "0",
                      "--silent-after",
                      "1.25",
                      "--drop-ack-faders",
                      "2",
                      "--garbage",
                      "--pace-baud",
                      "31250",
                      "--logo-dir",
                      "/tmp/l",
                      "--lively-inputs",
                      "--seed=9"},
                     &error),
             qPrintable(error));
    QCOMPARE(o.devices.size(), size_t(3));
    QCOMPARE(int(o.devices[0].family), 5);
    QCOMPARE(o.devices[0].serial, 777u);
    QCOMPARE(o.devices[0].name, QStringLiteral("Booth"));
    QCOMPARE(int(o.devices[1].family), 5);
    QCOMPARE(o.devices[1].serial, 268435455u);
    QCOMPARE(o.devices[1].name, QStringLiteral("Studio"));
    QCOMPARE(int(o.devices[2].family), 1);
    QCOMPARE(o.devices[2].name, QString());
    QCOMPARE(o.clientName, QStringLiteral("c1"));
    QVERIFY(o.api == SimOptions::Api::Jack);
    QCOMPARE(o.logFile, QStringLiteral("/tmp/x.log"));
    QCOMPARE(o.statusIntervalMs, 0);
    QCOMPARE(o.silentAfterSec, 1.25);
    QCOMPARE(o.dropAckFaders, 2);
    QVERIFY(o.garbage);
    QCOMPARE(o.paceBaud, 31250);
    QCOMPARE(o.logoDir, QStringLiteral("/tmp/l"));
    QVERIFY(o.livelyInputs);
    QCOMPARE(o.seed, 9);
    // A 16-character name with spaces and punctuation is fine.
    QVERIFY(o.parse({"--device", "neo:99:Mix A/B (left) 1"}, &error));
    QCOMPARE(o.devices[0].name, QStringLiteral("Mix A/B (left) 1"));
}

void TestSimOptions::rejectsBadArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("family") << QStringList{"--device", "max:5"};
    QTest::newRow("no serial") << QStringList{"--device", "neo"};
    QTest::newRow("serial 1") << QStringList{"--device", "neo:1"};
    QTest::newRow("serial too big") << QStringList{"--device", "neo:268435456"};
    QTest::newRow("serial not a number") << QStringList{"--device", "neo:12a"};
    QTest::newRow("name 17") << QStringList{"--device", "neo:5:ABCDEFGHIJKLMNOPQ"};
    QTest::newRow("name not ASCII") << QStringList{"--device", QStringLiteral("neo:5:Caf\u00e9")};
    QTest::newRow("same serial twice") << QStringList{"--device", "neo:5", "--device", "lux:5"};
    QTest::newRow("api") << QStringList{"--api", "coreaudio"};
    QTest::newRow("missing value") << QStringList{"--log"};
    QTest::newRow("interval") << QStringList{"--status-interval", "-5"};
    QTest::newRow("silent") << QStringList{"--silent-after", "soon"};
    QTest::newRow("drop 1") << QStringList{"--drop-ack-faders", "1"};
    QTest::newRow("baud 0") << QStringList{"--pace-baud", "0"};
    QTest::newRow("flag with value") << QStringList{"--garbage=yes"};
    QTest::newRow("seed alone") << QStringList{"--seed", "5"};
    QTest::newRow("unknown") << QStringList{"--verbose"};
    QTest::newRow("stray") << QStringList{"neo:5"};
}

void TestSimOptions::rejectsBadArguments() {
    QFETCH(QStringList, args);
    SimOptions o;
    QString error;
    QVERIFY(!o.parse(args, &error));
    QVERIFY(!error.isEmpty());
}

void TestSimOptions::helpNamesEveryOption() {
    const QString help = SimOptions::helpText();
    for (const char *option : {"--device", "--client", "--api", "--log", "--status-interval",
                               "--silent-after", "--drop-ack-faders", "--garbage", "--pace-baud",
                               "--logo-dir", "--lively-inputs", "--seed", "--help", "--version"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
    // Every option but --help and --version shows an example.
    QCOMPARE(help.count(QStringLiteral("e.g. --")), 12);
}

void TestSimOptions::frameHelpers() {
    QCOMPARE(SysExFrame::toHex({0xF0, 0x00, 0x0A, 0xF7}), QStringLiteral("F0 00 0A F7"));
    QCOMPARE(SysExFrame::toHex({}), QString());
    const auto parsed = SysExFrame::fromHex(QStringLiteral("  f0 0 11\t22 F7 "));
    QVERIFY(parsed);
    QVERIFY(*parsed == SysExMessage({0xF0, 0x00, 0x11, 0x22, 0xF7}));
    QVERIFY(!SysExFrame::fromHex(QStringLiteral("F0 100")));
    QVERIFY(!SysExFrame::fromHex(QStringLiteral("F0 G1")));
    QVERIFY(!SysExFrame::fromHex(QStringLiteral("F0 -1")));

    // 3,000,000 is 40 0D 37 01 on the wire.
    const SysExMessage msg = SysExFrame::bare(5, 3000000, 0x25);
    QVERIFY(msg == SysExMessage({0xF0, 0x00, 0x11, 0x22, 0x05, 0x40, 0x0D, 0x37, 0x01, 0x25, 0xF7}));
    QVERIFY(SysExFrame::isValid(msg));
    QCOMPARE(SysExFrame::serial(msg), 3000000u);

    QVERIFY(!SysExFrame::isValid({0xF0, 0x00, 0x11, 0x22, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF7}));
    QVERIFY(!SysExFrame::isValid({0xF0, 0x00, 0x11, 0x22, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8}));
    QVERIFY(!SysExFrame::isValid({0xF0, 0x00, 0x11, 0x21, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7}));
    QVERIFY(!SysExFrame::isValid({0xF0, 0x00, 0x11, 0x22, 0x01, 0x00, 0xF7, 0x00, 0x00, 0x00, 0xF7}));
}

void TestSimOptions::pacingFollowsBaudRate() {
    // 10 bits a byte at 31250 baud: 320 microseconds a byte.
    InputPacer pacer(31250);
    const int64_t ms = 1000000;
    QCOMPARE(pacer.finishTime(0, 11), int64_t(3520000));
    // A message arriving while the previous one is still on the wire waits for it.
    QCOMPARE(pacer.finishTime(1 * ms, 652), int64_t(3520000 + 208640000));
    // One arriving after a pause starts at its arrival.
    QCOMPARE(pacer.finishTime(1000 * ms, 15), int64_t(1000 * ms + 4800000));
    InputPacer none;
    QCOMPARE(none.finishTime(42, 1000), int64_t(42));
}

void TestSimOptions::garbageCoversEveryKind() {
    GarbageGenerator garbage;
    bool oversized = false, wrongFamily = false, notSysEx = false;
    for (int i = 0; i < 2 * GarbageGenerator::KindCount; ++i) {
        QString kind;
        const SysExMessage msg = garbage.next(1, 12345, &kind);
        QVERIFY(!kind.isEmpty());
        QVERIFY(!msg.empty());
        oversized |= msg.size() == GarbageGenerator::OversizedLength;
        wrongFamily |= SysExFrame::isValid(msg) && SysExFrame::family(msg) == 3;
        notSysEx |= msg.front() != 0xF0;
    }
    QVERIFY(oversized);
    QVERIFY(wrongFamily);
    QVERIFY(notSysEx);
}

QTEST_APPLESS_MAIN(TestSimOptions)
#include "tst_SimOptions.moc"
