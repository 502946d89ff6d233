// End-to-end tests of tavik-sim: the real simulator on a private JACK server, talked to over
// real RtMidi ports.
#include "JackServer.h"
#include "LogoTestData.h"
#include "MidiPeer.h"
#include "SimProcess.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

using Message = MidiPeer::Message;

Message bytes(const char *hex) {
    const QByteArray raw = QByteArray::fromHex(QByteArray(hex));
    return Message(raw.begin(), raw.end());
}

QString hex(const Message &m) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(m.data()), int(m.size())).toHex(' ').toUpper());
}

auto isCommand(uint8_t command, uint8_t s0 = 0x39) {
    return [command, s0](const Message &m) { return m.size() >= 11 && m[9] == command && m[5] == s0; };
}

const int Wait = 5000;

} // namespace

class TestSimEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void versionAndInfoExactBytes();
    void commandsChangeTheDevice();
    void controlLines();
    void periodicStatusAndGarbage();
    void logoUpload();
    void silentAfter();
    void quitsOnSigterm();

private:
    // Starts a simulator with its own client name and connects the peer to it.
    bool startSim(const QStringList &args);

    std::unique_ptr<JackServer> m_server;
    std::unique_ptr<SimProcess> m_sim;
    std::unique_ptr<MidiPeer> m_peer;
    int m_count = 0;
};

void TestSimEndToEnd::initTestCase() {
    m_server = std::make_unique<JackServer>(JackServer::uniqueName(QStringLiteral("sim-e2e")));
    QVERIFY2(m_server->start(), qPrintable(m_server->diagnostics()));
    m_server->applyToThisProcess();
}

void TestSimEndToEnd::cleanupTestCase() {
    m_peer.reset();
    m_sim.reset();
    m_server.reset();
}

void TestSimEndToEnd::cleanup() {
    // What the simulator saw and sent tells a lost message from a wrong answer.
    if (QTest::currentTestFailed() && m_sim)
        qWarning("simulator log:\n%s", qPrintable(m_sim->logLines().join(QLatin1Char('\n'))));
    m_peer.reset();
    m_sim.reset();
}

bool TestSimEndToEnd::startSim(const QStringList &args) {
    const QString client = QStringLiteral("sim%1").arg(++m_count);
    m_sim = std::make_unique<SimProcess>(*m_server, args + QStringList{QStringLiteral("--client"), client});
    if (!m_sim->start()) {
        qWarning("simulator did not start: %s", qPrintable(m_sim->diagnostics()));
        return false;
    }
    m_peer = std::make_unique<MidiPeer>();
    QString error;
    if (!m_peer->connectTo(client, 10000, &error)) {
        qWarning("peer did not connect: %s", qPrintable(error));
        return false;
    }
    return true;
}

void TestSimEndToEnd::versionAndInfoExactBytes() {
    QVERIFY(
        startSim({"--status-interval", "0", "--device", "neo:12345:Studio", "--device", "lux:1234:Booth"}));

    m_peer->send(bytes("F0 00 11 22 01 00 00 00 00 00 F7"));
    Message neo, lux;
    QVERIFY(m_peer->takeFirst(isCommand(0x20, 0x39), Wait, &neo));
    QVERIFY(m_peer->takeFirst(isCommand(0x20, 0x52), Wait, &lux));
    QCOMPARE(hex(neo),
             QStringLiteral("F0 00 11 22 01 39 60 00 00 20 01 07 53 74 75 64 69 6F 7F 7F 7F 7F 7F 7F 7F "
                            "7F 7F 7F F7"));
    QCOMPARE(hex(lux),
             QStringLiteral("F0 00 11 22 05 52 09 00 00 20 01 07 42 6F 6F 74 68 7F 7F 7F 7F 7F 7F 7F 7F "
                            "7F 7F 7F F7"));

    m_peer->clear();
    m_peer->send(bytes("F0 00 11 22 01 39 60 00 00 05 F7"));
    const std::vector<Message> info = m_peer->waitFor(4, Wait);
    QCOMPARE(info.size(), size_t(4));
    QCOMPARE(hex(info[0]), QStringLiteral("F0 00 11 22 01 39 60 00 00 25 F7"));
    QCOMPARE(hex(info[1]), QStringLiteral("F0 00 11 22 01 39 60 00 00 40 03 00 00 00 00 00 00 00 00 00 F7"));
    QCOMPARE(hex(info[2]), QStringLiteral("F0 00 11 22 01 39 60 00 00 41 00 00 03 00 F7"));
    QCOMPARE(info[3].size(), size_t(43));
    QCOMPARE(hex(info[3]).left(30), QStringLiteral("F0 00 11 22 01 39 60 00 00 42 "));

    // The log holds the request and every reply in order.
    QVERIFY(m_sim->waitForLogLine(
        QRegularExpression(QStringLiteral("^TX ") + hex(info[3]) + QLatin1Char('$')), Wait));
    const QStringList log = m_sim->logLines();
    const int rx = int(log.lastIndexOf(QStringLiteral("RX F0 00 11 22 01 39 60 00 00 05 F7")));
    QVERIFY(rx >= 0);
    QCOMPARE(log.mid(rx + 1, 4), QStringList({"TX " + hex(info[0]), "TX " + hex(info[1]),
                                              "TX " + hex(info[2]), "TX " + hex(info[3])}));
    QVERIFY(log.contains(QStringLiteral("RX F0 00 11 22 01 00 00 00 00 00 F7")));
    for (const QString &line : log)
        QVERIFY2(line.startsWith(QLatin1String("RX ")) || line.startsWith(QLatin1String("TX ")) ||
                     line.startsWith(QLatin1String("# ")),
                 qPrintable(line));
}

void TestSimEndToEnd::commandsChangeTheDevice() {
    QVERIFY(startSim({"--status-interval", "0", "--drop-ack-faders", "2"}));

    m_peer->send(bytes("F0 00 11 22 01 39 60 00 00 01 00 05 02 F7"));
    Message config;
    QVERIFY(m_peer->takeFirst(isCommand(0x21), Wait, nullptr));
    QVERIFY(m_peer->takeFirst(isCommand(0x40), Wait, &config));
    QCOMPARE(hex(config), QStringLiteral("F0 00 11 22 01 39 60 00 00 40 25 00 00 00 00 00 00 00 00 00 F7"));

    // The status report now shows ADAT A and B locked at 96 kHz.
    m_peer->send(bytes("F0 00 11 22 01 39 60 00 00 05 F7"));
    Message status;
    QVERIFY(m_peer->takeFirst(isCommand(0x41), Wait, &status));
    QCOMPARE(hex(status), QStringLiteral("F0 00 11 22 01 39 60 00 00 41 00 55 05 66 F7"));

    // Faders: the first SET_FADERS is acknowledged, the second is not (every 2nd dropped).
    Message faders = bytes("F0 00 11 22 01 39 60 00 00 02 20");
    faders.resize(11 + 32, 14);
    faders.push_back(0xF7);
    m_peer->clear();
    m_peer->send(faders);
    QVERIFY(m_peer->takeFirst(isCommand(0x22), Wait, nullptr));
    m_peer->send(faders);
    QVERIFY(m_sim->waitForLogLine(QRegularExpression(QStringLiteral("^# neo 12345: dropped ACK FADERS #2$")),
                                  Wait));
    m_peer->send(bytes("F0 00 11 22 01 39 60 00 00 05 F7"));
    Message report;
    QVERIFY(m_peer->takeFirst(isCommand(0x42), Wait, &report));
    QCOMPARE(hex(Message(report.begin() + 10, report.end())),
             hex(Message(faders.begin() + 11, faders.end())));
    // No ACK FADERS arrived for the second one: only the info answers are queued besides.
    for (const Message &m : m_peer->takeAll())
        QVERIFY(m[9] != 0x22);
}

void TestSimEndToEnd::controlLines() {
    QVERIFY(
        startSim({"--status-interval", "0", "--device", "neo:12345:Studio", "--device", "neo:777:Booth"}));

    m_sim->command(QStringLiteral("send F0 00 11 22 01 39 60 00 00 41 00 00 00 00 F7"));
    Message sent;
    QVERIFY(m_peer->takeFirst(isCommand(0x41), Wait, &sent));
    QCOMPARE(hex(sent), QStringLiteral("F0 00 11 22 01 39 60 00 00 41 00 00 00 00 F7"));

    m_sim->command(QStringLiteral("flood 200"));
    const std::vector<Message> flood = m_peer->waitFor(200, 10000);
    QCOMPARE(flood.size(), size_t(200));
    int fromBooth = 0;
    for (const Message &m : flood) {
        QCOMPARE(m.size(), size_t(15));
        QCOMPARE(int(m[9]), 0x41);
        fromBooth += m[5] == (777 & 0x7F);
    }
    QCOMPARE(fromBooth, 100);
    m_peer->clear();

    // A silent device does not answer; the other one does.
    m_sim->command(QStringLiteral("silent 12345"));
    QVERIFY(m_sim->waitForLogLine(QRegularExpression(QStringLiteral("^# 12345 silent$")), Wait));
    m_peer->send(bytes("F0 00 11 22 01 00 00 00 00 00 F7"));
    QVERIFY(m_peer->takeFirst(isCommand(0x20, 777 & 0x7F), Wait, nullptr));
    QVERIFY(m_sim->waitForLogLine(QRegularExpression(QStringLiteral("^# 12345 is silent, not answering$")),
                                  Wait));
    QVERIFY(!m_peer->takeFirst(isCommand(0x20, 0x39), 0, nullptr));

    m_sim->command(QStringLiteral("resume all"));
    QVERIFY(m_sim->waitForLogLine(QRegularExpression(QStringLiteral("^# 12345 resumed$")), Wait));
    m_peer->send(bytes("F0 00 11 22 01 39 60 00 00 00 F7"));
    QVERIFY(m_peer->takeFirst(isCommand(0x20, 0x39), Wait, nullptr));

    // Bad lines are logged, and the end of standard input does not stop the simulator.
    m_sim->command(QStringLiteral("send F0 XY"));
    m_sim->command(QStringLiteral("jump"));
    QVERIFY(m_sim->waitForLogLine(QRegularExpression(QStringLiteral("^# unknown control command: \"jump\"$")),
                                  Wait));
    QVERIFY(m_sim->logLines().contains(QStringLiteral("# bad send command: \"send F0 XY\"")));
    m_sim->process().closeWriteChannel();
    QVERIFY(m_sim->waitForLogLine(QRegularExpression(QStringLiteral("^# standard input closed$")), Wait));
    m_peer->send(bytes("F0 00 11 22 01 39 60 00 00 00 F7"));
    QVERIFY(m_peer->takeFirst(isCommand(0x20, 0x39), Wait, nullptr));
    QCOMPARE(m_sim->process().state(), QProcess::Running);
}

void TestSimEndToEnd::periodicStatusAndGarbage() {
    QVERIFY(startSim({"--status-interval", "20", "--garbage"}));
    // Every kind of garbage comes by within two rounds; the regular reports keep coming.
    bool oversized = false, wrongFamily = false, noteOn = false;
    int statusReports = 0;
    // Each kind is checked on its own below.
    (void)QTest::qWaitFor(
        [&] {
            for (const Message &m : m_peer->takeAll()) {
                oversized |= m.size() == 6000 && m.front() == 0xF0 && m.back() == 0xF7;
                wrongFamily |= m.size() == 15 && m[4] == 3;
                noteOn |= m == Message{0x90, 0x40, 0x7F};
                statusReports += hex(m) == QStringLiteral("F0 00 11 22 01 39 60 00 00 41 00 00 03 00 F7");
            }
            return oversized && wrongFamily && noteOn && statusReports >= 10;
        },
        20000);
    QVERIFY(oversized);
    QVERIFY(wrongFamily);
    QVERIFY(noteOn);
    QVERIFY(statusReports >= 10);
    // Garbage sent back to the simulator is logged and ignored; it keeps answering.
    for (const char *junk : {"F0 00 11 22 F7", "FE", "90 40 7F", "F0 00 11 22 01 39 60 00 00 01 F7"})
        m_peer->send(bytes(junk));
    Message big = bytes("F0 00 11 22 01 39 60 00 00 03");
    big.resize(5999, 0x01);
    big.push_back(0xF7);
    m_peer->send(big);
    QVERIFY(m_sim->waitForLogLine(
        QRegularExpression(QStringLiteral("^# neo 12345: ignored picture chunk of 6000")), Wait));
    QVERIFY(m_sim->logLines().contains(QStringLiteral("RX FE")));
    QVERIFY(m_sim->logLines().contains(QStringLiteral("RX 90 40 7F")));
    m_peer->send(bytes("F0 00 11 22 01 39 60 00 00 00 F7"));
    QVERIFY(m_peer->takeFirst(isCommand(0x20), Wait, nullptr));
}

void TestSimEndToEnd::logoUpload() {
    QTemporaryDir logos;
    QVERIFY(startSim({"--status-interval", "0", "--logo-dir", logos.path()}));
    const std::vector<uint16_t> picture = LogoTestData::testPicture();
    const std::vector<uint8_t> block = LogoTestData::block("Main Hall", 220, 176, picture);
    // Stop and wait, as the uploader does it: a chunk not acknowledged within 2 s goes again, at
    // most five times (JACK drops the MIDI of a client that misses a cycle on a busy machine).
    for (int i = 0; i < 64; ++i) {
        bool acknowledged = false;
        for (int attempt = 0; attempt < 5 && !acknowledged; ++attempt) {
            m_peer->send(LogoTestData::chunk(block, i, 12345));
            acknowledged = m_peer->takeFirst(isCommand(0x23), 2000, nullptr);
        }
        QVERIFY2(acknowledged, qPrintable(QString::number(i)));
    }
    QVERIFY(
        m_sim->waitForLogLine(QRegularExpression(QStringLiteral("^# logo crc ok name \"Main Hall\"")), Wait));
    QFile name(QDir(logos.path()).filePath(QStringLiteral("12345-name.txt")));
    QVERIFY(name.open(QIODevice::ReadOnly));
    QCOMPARE(name.readAll(), QByteArray("Main Hall"));
    const QImage png(QDir(logos.path()).filePath(QStringLiteral("12345-logo.png")));
    QCOMPARE(png.size(), QSize(220, 176));
    QCOMPARE(png.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(png.pixel(219, 175), qRgb(132, 130, 132));

    // A block whose CRC does not match is reported as such.
    std::vector<uint8_t> bad = block;
    bad[1] ^= 0x10;
    for (int i = 0; i < 64; ++i) {
        m_peer->send(LogoTestData::chunk(bad, i, 12345));
        QVERIFY(m_peer->takeFirst(isCommand(0x23), Wait, nullptr));
    }
    QVERIFY(m_sim->waitForLogLine(
        QRegularExpression(QStringLiteral("^# logo crc mismatch name \"Main Hall\"")), Wait));
}

void TestSimEndToEnd::silentAfter() {
    QVERIFY(startSim({"--status-interval", "0", "--silent-after", "1.5"}));
    QVERIFY(m_sim->waitForLogLine(QRegularExpression(QStringLiteral("^# silent after 1.5 s$")), 10000));
    m_peer->clear();
    m_peer->send(bytes("F0 00 11 22 01 39 60 00 00 00 F7"));
    QVERIFY(m_sim->waitForLogLine(QRegularExpression(QStringLiteral("^# 12345 is silent, not answering$")),
                                  Wait));
    QVERIFY(!m_peer->takeFirst(isCommand(0x20), 0, nullptr));
    const QStringList log = m_sim->logLines();
    const int silentAt = int(log.indexOf(QStringLiteral("# silent after 1.5 s")));
    for (const QString &line : log.mid(silentAt))
        QVERIFY2(!line.startsWith(QLatin1String("TX ")), qPrintable(line));
}

void TestSimEndToEnd::quitsOnSigterm() {
    QVERIFY(startSim({"--status-interval", "50"}));
    // The peer leaves first: the JACK client library can crash when a client closes its port
    // while it handles the graph change of another client that is just leaving.
    m_peer.reset();
    ::kill(pid_t(m_sim->process().processId()), SIGTERM);
    QVERIFY(m_sim->process().waitForFinished(Wait));
    QCOMPARE(m_sim->process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_sim->process().exitCode(), 0);
    QVERIFY(m_sim->logLines().contains(QStringLiteral("# stopped")));
}

QTEST_GUILESS_MAIN(TestSimEndToEnd)
#include "tst_SimEndToEnd.moc"
