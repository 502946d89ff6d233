// Unit tests of LogoBlockDecoder: the inverse of the uploader's code, and hostile blocks.
#include "LogoTestData.h"
#include "sim/LogoBlockDecoder.h"

#include <QRandomGenerator>
#include <QTest>

class TestLogoBlockDecoder : public QObject {
    Q_OBJECT
private slots:
    void crcMatchesKnownCheckValue();
    void decodesRunsAndLiterals();
    void roundTripOfCompressedPictures();
    void malformedStreamsRejected();
    void stopsAtMaxPixelsWithoutReadingFurther();
    void randomStreamsNeverOverrun();
    void unpacksBlock();
    void emptyLogo();
    void crcMismatchReported();
    void badBlocksRejected();
};

void TestLogoBlockDecoder::crcMatchesKnownCheckValue() {
    const QByteArray check("123456789");
    QCOMPARE(LogoBlockDecoder::crc32Bzip2(reinterpret_cast<const uint8_t *>(check.constData()), 9),
             0xFC891918u);
    QCOMPARE(LogoBlockDecoder::crc32Bzip2(nullptr, 0), 0u);
}

void TestLogoBlockDecoder::decodesRunsAndLiterals() {
    std::vector<uint16_t> pixels;
    // Run of 3 x 0x1234, literal of 2 (0xABCD, 0x0001), run of 127 x 0xFFFF.
    const std::vector<uint8_t> stream = {0x03, 0x34, 0x12, 0x82, 0xCD, 0xAB, 0x01, 0x00, 0x7F, 0xFF, 0xFF};
    QVERIFY(LogoBlockDecoder::decodePixels(stream, pixels, 1000));
    QCOMPARE(pixels.size(), size_t(132));
    QCOMPARE(pixels[0], uint16_t(0x1234));
    QCOMPARE(pixels[2], uint16_t(0x1234));
    QCOMPARE(pixels[3], uint16_t(0xABCD));
    QCOMPARE(pixels[4], uint16_t(0x0001));
    QCOMPARE(pixels[5], uint16_t(0xFFFF));
    QCOMPARE(pixels[131], uint16_t(0xFFFF));
}

void TestLogoBlockDecoder::roundTripOfCompressedPictures() {
    std::vector<std::vector<uint16_t>> pictures;
    pictures.push_back(LogoTestData::testPicture());
    pictures.push_back(std::vector<uint16_t>(38720, 0xCFF9)); // one colour: 305 run tokens
    std::vector<uint16_t> edge(131, 0x1111);                  // 129 equal, then another
    edge[129] = edge[130] = 0x2222;
    pictures.push_back(edge);
    for (const auto &p : pictures) {
        const std::vector<uint8_t> stream = LogoTestData::compress(p);
        std::vector<uint16_t> back;
        QVERIFY(LogoBlockDecoder::decodePixels(stream, back, p.size()));
        QVERIFY(back == p);
    }
    QCOMPARE(LogoTestData::compress(pictures[1]).size(), size_t(915));
}

void TestLogoBlockDecoder::malformedStreamsRejected() {
    std::vector<uint16_t> pixels;
    QVERIFY(!LogoBlockDecoder::decodePixels({0x00, 0x01, 0x02}, pixels, 100));    // header 0x00
    QVERIFY(!LogoBlockDecoder::decodePixels({0x80, 0x01, 0x02}, pixels, 100));    // header 0x80
    QVERIFY(!LogoBlockDecoder::decodePixels({0x05, 0x01}, pixels, 100));          // run value cut
    QVERIFY(!LogoBlockDecoder::decodePixels({0x05}, pixels, 100));                // run value missing
    QVERIFY(!LogoBlockDecoder::decodePixels({0x83, 1, 2, 3, 4, 5}, pixels, 100)); // literal cut
    QCOMPARE(pixels.size(), size_t(0));
    // A token producing more than allowed.
    QVERIFY(!LogoBlockDecoder::decodePixels({0x03, 1, 1, 0x05, 2, 2}, pixels, 7));
    QVERIFY(!LogoBlockDecoder::decodePixels({0x84, 1, 1, 2, 2, 3, 3, 4, 4}, pixels, 3));
}

void TestLogoBlockDecoder::stopsAtMaxPixelsWithoutReadingFurther() {
    std::vector<uint16_t> pixels;
    // After 5 pixels the rest (here an invalid header) is not read.
    QVERIFY(LogoBlockDecoder::decodePixels({0x05, 0x22, 0x11, 0x00, 0x80}, pixels, 5));
    QCOMPARE(pixels, std::vector<uint16_t>(5, 0x1122));
    // An empty stream, or no pixels wanted.
    QVERIFY(LogoBlockDecoder::decodePixels({}, pixels, 10));
    QVERIFY(pixels.empty());
    QVERIFY(LogoBlockDecoder::decodePixels({0x00}, pixels, 0));
    QVERIFY(pixels.empty());
    // A stream that ends early gives what it holds.
    QVERIFY(LogoBlockDecoder::decodePixels({0x03, 0x00, 0x00}, pixels, 10));
    QCOMPARE(pixels.size(), size_t(3));
}

void TestLogoBlockDecoder::randomStreamsNeverOverrun() {
    QRandomGenerator rng(4711);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> stream(rng.bounded(1, 300));
        for (auto &b : stream)
            b = uint8_t(rng.bounded(256));
        const size_t maxPixels = rng.bounded(0, 500);
        std::vector<uint16_t> pixels;
        LogoBlockDecoder::decodePixels(stream, pixels, maxPixels);
        QVERIFY(pixels.size() <= maxPixels);
    }
}

void TestLogoBlockDecoder::unpacksBlock() {
    const std::vector<uint16_t> picture = LogoTestData::testPicture();
    const std::vector<uint8_t> block = LogoTestData::block("Studio One", 220, 176, picture);
    QString name;
    std::vector<uint16_t> pixels;
    bool crcOk = false;
    QVERIFY(LogoBlockDecoder::unpackBlock(block, name, pixels, crcOk));
    QVERIFY(crcOk);
    QCOMPARE(name, QStringLiteral("Studio One"));
    QVERIFY(pixels == picture);

    // A 16-character name has no terminating NUL inside the field.
    QVERIFY(LogoBlockDecoder::unpackBlock(LogoTestData::block("ABCDEFGHIJKLMNOPQR", 220, 176, picture), name,
                                          pixels, crcOk));
    QCOMPARE(name, QStringLiteral("ABCDEFGHIJKLMNOP"));
}

void TestLogoBlockDecoder::emptyLogo() {
    const std::vector<uint8_t> block = LogoTestData::block("Dark", 0, 0, {});
    QString name;
    std::vector<uint16_t> pixels{1, 2, 3};
    bool crcOk = false;
    QVERIFY(LogoBlockDecoder::unpackBlock(block, name, pixels, crcOk));
    QVERIFY(crcOk);
    QCOMPARE(name, QStringLiteral("Dark"));
    QVERIFY(pixels.empty());
}

void TestLogoBlockDecoder::crcMismatchReported() {
    std::vector<uint8_t> block = LogoTestData::block("Studio", 220, 176, LogoTestData::testPicture());
    block[32767] ^= 0x01; // only the fill changes
    QString name;
    std::vector<uint16_t> pixels;
    bool crcOk = true;
    QVERIFY(LogoBlockDecoder::unpackBlock(block, name, pixels, crcOk));
    QVERIFY(!crcOk);
    QCOMPARE(pixels.size(), size_t(38720));
}

void TestLogoBlockDecoder::badBlocksRejected() {
    const std::vector<uint8_t> good = LogoTestData::block("Studio", 220, 176, LogoTestData::testPicture());
    QString name;
    std::vector<uint16_t> pixels;
    bool crcOk = true;

    QVERIFY(!LogoBlockDecoder::unpackBlock(std::vector<uint8_t>(good.begin(), good.end() - 1), name, pixels,
                                           crcOk));
    QVERIFY(!crcOk);
    QVERIFY(!LogoBlockDecoder::unpackBlock({}, name, pixels, crcOk));

    std::vector<uint8_t> wrongSize = good;
    wrongSize[20] = 221;
    QVERIFY(!LogoBlockDecoder::unpackBlock(wrongSize, name, pixels, crcOk));
    wrongSize = good;
    wrongSize[22] = 0;
    QVERIFY(!LogoBlockDecoder::unpackBlock(wrongSize, name, pixels, crcOk));

    // A stream that stops short of 220 x 176 pixels runs into the 0xFF fill (literal headers
    // of 127 pixels each) and must not decode to a full picture.
    std::vector<uint8_t> shortStream =
        LogoTestData::block("S", 220, 176, std::vector<uint16_t>(1000, 0x1234));
    shortStream[20] = 220;
    shortStream[22] = 176;
    QVERIFY(!LogoBlockDecoder::unpackBlock(shortStream, name, pixels, crcOk));
    QVERIFY(pixels.empty());

    // A block whose whole stream area is 0x00 headers.
    std::vector<uint8_t> zeros = good;
    std::fill(zeros.begin() + 24, zeros.end(), 0x00);
    QVERIFY(!LogoBlockDecoder::unpackBlock(zeros, name, pixels, crcOk));
    // A block of nothing but 0xFF (erased memory): size 0xFFFF x 0xFFFF.
    QVERIFY(!LogoBlockDecoder::unpackBlock(std::vector<uint8_t>(32768, 0xFF), name, pixels, crcOk));
}

QTEST_APPLESS_MAIN(TestLogoBlockDecoder)
#include "tst_LogoBlockDecoder.moc"
