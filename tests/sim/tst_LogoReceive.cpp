// Unit tests of logo reception: chunk assembly, the device's answers, and the saved files.
#include "LogoTestData.h"
#include "sim/LogoReceiver.h"
#include "sim/LogoWriter.h"
#include "sim/SimDevice.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestLogoReceive : public QObject {
    Q_OBJECT
private slots:
    void assemblesBlockFromChunks();
    void outOfOrderAndMissingChunks();
    void rejectsBadChunks();
    void deviceAcknowledgesEveryChunkAndDeliversLogo();
    void deviceReportsCrcMismatch();
    void imageExpandsRgb565ByBitReplication();
    void savesNameAndPng();
};

void TestLogoReceive::assemblesBlockFromChunks() {
    const std::vector<uint8_t> block = LogoTestData::block("Studio", 220, 176, LogoTestData::testPicture());
    LogoReceiver receiver;
    for (int i = 0; i < 63; ++i)
        QCOMPARE(receiver.addChunk(LogoTestData::chunk(block, i, 12345)), LogoReceiver::Outcome::Stored);
    QCOMPARE(receiver.addChunk(LogoTestData::chunk(block, 63, 12345)), LogoReceiver::Outcome::Completed);
    QVERIFY(receiver.block() == block);
}

void TestLogoReceive::outOfOrderAndMissingChunks() {
    const std::vector<uint8_t> block = LogoTestData::block("Studio", 220, 176, LogoTestData::testPicture());
    LogoReceiver receiver;
    receiver.addChunk(LogoTestData::chunk(block, 0, 12345));
    for (int i = 62; i >= 1; --i)
        receiver.addChunk(LogoTestData::chunk(block, i, 12345));
    QCOMPARE(receiver.addChunk(LogoTestData::chunk(block, 63, 12345)), LogoReceiver::Outcome::Completed);
    QVERIFY(receiver.block() == block);

    // A new upload starts at chunk 0 and forgets the old chunks.
    receiver.addChunk(LogoTestData::chunk(block, 0, 12345));
    receiver.addChunk(LogoTestData::chunk(block, 5, 12345));
    QCOMPARE(receiver.addChunk(LogoTestData::chunk(block, 63, 12345)), LogoReceiver::Outcome::Incomplete);
    QCOMPARE(receiver.missingChunks(), 61);
}

void TestLogoReceive::rejectsBadChunks() {
    const std::vector<uint8_t> block(32768, 0xA5);
    LogoReceiver receiver;
    std::vector<uint8_t> msg = LogoTestData::chunk(block, 0, 12345);
    msg[10] = 64;
    QString why;
    QCOMPARE(receiver.addChunk(msg, &why), LogoReceiver::Outcome::Rejected);
    QVERIFY(why.contains(QStringLiteral("64")));
    msg = LogoTestData::chunk(block, 0, 12345);
    msg.erase(msg.begin() + 100);
    QCOMPARE(receiver.addChunk(msg), LogoReceiver::Outcome::Rejected);
    QCOMPARE(receiver.addChunk({}), LogoReceiver::Outcome::Rejected);
    QCOMPARE(receiver.missingChunks(), 64);
}

void TestLogoReceive::deviceAcknowledgesEveryChunkAndDeliversLogo() {
    const std::vector<uint16_t> picture = LogoTestData::testPicture();
    const std::vector<uint8_t> block = LogoTestData::block("Main Hall", 220, 176, picture);
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    const SysExMessage ackPic = {0xF0, 0x00, 0x11, 0x22, 0x01, 0x39, 0x60, 0x00, 0x00, 0x23, 0xF7};
    for (int i = 0; i < 64; ++i) {
        const SimDevice::Result r = neo.handle(LogoTestData::chunk(block, i, 12345));
        QCOMPARE(r.messages.size(), size_t(1));
        QVERIFY(r.messages[0] == ackPic);
        QCOMPARE(r.logo.has_value(), i == 63);
    }
    // Chunks for another serial number are not taken.
    QVERIFY(neo.handle(LogoTestData::chunk(block, 0, 12346)).messages.empty());

    SimDevice::Result last;
    for (int i = 0; i < 64; ++i)
        last = neo.handle(LogoTestData::chunk(block, i, 12345));
    QVERIFY(last.logo);
    QVERIFY(last.logo->decoded);
    QVERIFY(last.logo->crcOk);
    QCOMPARE(last.logo->name, QStringLiteral("Main Hall"));
    QVERIFY(last.logo->pixels == picture);
}

void TestLogoReceive::deviceReportsCrcMismatch() {
    std::vector<uint8_t> block = LogoTestData::block("X", 0, 0, {});
    block[0] ^= 0xFF;
    SimDevice neo(SimDevice::Neo, 12345, QStringLiteral("Studio"));
    SimDevice::Result r;
    for (int i = 0; i < 64; ++i)
        r = neo.handle(LogoTestData::chunk(block, i, 12345));
    QVERIFY(r.logo);
    QVERIFY(r.logo->decoded);
    QVERIFY(!r.logo->crcOk);
    QVERIFY(r.logo->pixels.empty());
    QCOMPARE(r.logo->name, QStringLiteral("X"));
}

void TestLogoReceive::imageExpandsRgb565ByBitReplication() {
    std::vector<uint16_t> pixels(220 * 176, 0x0000);
    pixels[0] = 0xFFFF;
    pixels[1] = 0xF800;
    pixels[2] = 0x0841;               // r5 = 1, g6 = 2, b5 = 1
    pixels[220 * 175 + 219] = 0x8410; // r5 = 16, g6 = 32, b5 = 16
    const QImage image = LogoWriter::toImage(pixels);
    QCOMPARE(image.size(), QSize(220, 176));
    QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(1, 0), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(2, 0), qRgb(8, 8, 8));
    QCOMPARE(image.pixel(219, 175), qRgb(132, 130, 132));
    QCOMPARE(image.pixel(3, 0), qRgb(0, 0, 0));
    // An empty logo is black.
    const QImage empty = LogoWriter::toImage({});
    QCOMPARE(empty.size(), QSize(220, 176));
    QCOMPARE(empty.pixel(110, 88), qRgb(0, 0, 0));
}

void TestLogoReceive::savesNameAndPng() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("logos/new"));
    const std::vector<uint16_t> picture = LogoTestData::testPicture();
    QString error;
    QVERIFY2(LogoWriter::save(target, 777, QStringLiteral("Booth"), picture, &error), qPrintable(error));
    QFile name(target + QStringLiteral("/777-name.txt"));
    QVERIFY(name.open(QIODevice::ReadOnly));
    QCOMPARE(name.readAll(), QByteArray("Booth"));
    QImage png(target + QStringLiteral("/777-logo.png"));
    QCOMPARE(png.size(), QSize(220, 176));
    QCOMPARE(png.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(png.pixel(0, 175), qRgb(255, 255, 255));
    QCOMPARE(png.pixel(219, 175), qRgb(132, 130, 132));

    // A directory that cannot be created is reported.
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!LogoWriter::save(dir.filePath(QStringLiteral("file/sub")), 1, QString(), picture, &error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestLogoReceive)
#include "tst_LogoReceive.moc"
