// Picture loading into the work picture (placement, formats, hostile files), the 5-6-5
// conversion with its dimming, the empty-picture rule and the preview.
#include "logo/CLogoPicture.h"
#include "logo/CPictureFile.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QRgb kRed = qRgb(255, 0, 0);

QString SaveSolid(const QTemporaryDir &dir, const char *name, int w, int h, QRgb colour, const char *format) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(image.save(path, format));
    return path;
}

QString WriteBytes(const QTemporaryDir &dir, const char *name, const QByteArray &bytes) {
    QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

bool IsBlack(const QImage &work, int x, int y) {
    return (work.pixel(x, y) & 0xFFFFFF) == 0;
}

// The rows and columns of the logo area that are not black.
QRect CoveredArea(const QImage &work) {
    QRect r;
    for (int y = 0; y < CLogoPicture::kLogoHeight; ++y)
        for (int x = 0; x < CLogoPicture::kLogoWidth; ++x)
            if (!IsBlack(work, x, y))
                r |= QRect(x, y, 1, 1);
    return r;
}

bool WholeWorkPictureBlack(const QImage &work) {
    for (int y = 0; y < work.height(); ++y)
        for (int x = 0; x < work.width(); ++x)
            if (!IsBlack(work, x, y))
                return false;
    return true;
}

uint32_t PngCrc(const QByteArray &data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= static_cast<uint8_t>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

void AppendBigEndian(QByteArray &out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((v >> shift) & 0xFF));
}

// A PNG that announces the given size in a valid header and carries no pixel data.
QByteArray PngAnnouncing(uint32_t w, uint32_t h) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr("IHDR");
    AppendBigEndian(ihdr, w);
    AppendBigEndian(ihdr, h);
    ihdr.append("\x08\x02\x00\x00\x00", 5);
    AppendBigEndian(png, 13);
    png.append(ihdr);
    AppendBigEndian(png, PngCrc(ihdr));
    AppendBigEndian(png, 0);
    png.append("IEND");
    AppendBigEndian(png, PngCrc("IEND"));
    return png;
}

// A 24-bit BMP header announcing w x h with only a few bytes of pixel data behind it.
QByteArray BmpAnnouncing(int32_t w, int32_t h) {
    QByteArray bmp(54, '\0');
    auto put32 = [&bmp](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, 54 + 16);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    bmp[26] = 1;
    bmp[28] = 24;
    bmp.append(QByteArray(16, '\x7f'));
    return bmp;
}

} // namespace

TEST(Placement, ScaleTruncationAndHalfPixelOffsets) {
    auto p = CLogoPicture::ComputePlacement(220, 176);
    EXPECT_DOUBLE_EQ(p.scale, 1.0);
    EXPECT_EQ(QRectF(p.x, p.y, p.width, p.height), QRectF(0, 0, 220, 176));

    p = CLogoPicture::ComputePlacement(440, 176);
    EXPECT_DOUBLE_EQ(p.scale, 0.5);
    EXPECT_EQ(QRectF(p.x, p.y, p.width, p.height), QRectF(0, 44, 220, 88));

    p = CLogoPicture::ComputePlacement(100, 100);
    EXPECT_DOUBLE_EQ(p.scale, 1.76);
    EXPECT_EQ(QRectF(p.x, p.y, p.width, p.height), QRectF(22, 0, 176, 176));

    p = CLogoPicture::ComputePlacement(640, 480);
    EXPECT_EQ(QRectF(p.x, p.y, p.width, p.height), QRectF(0, 5.5, 220, 165));

    p = CLogoPicture::ComputePlacement(300, 200);
    EXPECT_NEAR(p.scale, 0.73333333, 1e-7);
    EXPECT_EQ(p.width, 219);
    EXPECT_EQ(p.height, 146);
    EXPECT_FLOAT_EQ(p.x, 0.5f);
    EXPECT_FLOAT_EQ(p.y, 15.0f);
}

TEST(ConvertPixel, DimsRedAndBlueToEightyPercentAndPacks565) {
    EXPECT_EQ(CLogoPicture::ConvertPixel(255, 255, 255), 0xCFF9);
    EXPECT_EQ(CLogoPicture::ConvertPixel(0, 0, 0), 0x0000);
    EXPECT_EQ(CLogoPicture::ConvertPixel(255, 0, 0), 0xC800);
    EXPECT_EQ(CLogoPicture::ConvertPixel(0, 255, 0), 0x07E0);
    EXPECT_EQ(CLogoPicture::ConvertPixel(0, 0, 255), 0x0019);
    // 10 * 0.8 = 8 is the smallest red and blue that survive; 4 the smallest green.
    EXPECT_EQ(CLogoPicture::ConvertPixel(10, 4, 10), 0x0821);
    EXPECT_EQ(CLogoPicture::ConvertPixel(9, 3, 9), 0x0000);
    // Both ways of packing agree for every channel value.
    for (int v = 0; v < 256; ++v) {
        int dim = static_cast<int>(v * 0.8);
        ASSERT_EQ(CLogoPicture::ConvertPixel(v, 0, 0), ((dim << 8) & 0xF800)) << v;
        ASSERT_EQ(CLogoPicture::ConvertPixel(0, v, 0), ((v << 3) & 0x07E0)) << v;
        ASSERT_EQ(CLogoPicture::ConvertPixel(0, 0, v), ((dim >> 3) & 0x001F)) << v;
    }
}

TEST(WorkPicture, StartsBlackAndConvertsToAnEmptyLogo) {
    CLogoPicture picture;
    EXPECT_EQ(picture.WorkPicture().size(), QSize(1024, 1024));
    EXPECT_TRUE(WholeWorkPictureBlack(picture.WorkPicture()));
    std::vector<uint16_t> pixels;
    EXPECT_FALSE(picture.ConvertToLogo(pixels));
}

TEST(LoadPicture, DrawsScaledAndCentredOverBlack) {
    QTemporaryDir dir;
    CLogoPicture picture;

    picture.LoadPicture(SaveSolid(dir, "exact.png", 220, 176, kRed, "PNG"));
    EXPECT_EQ(CoveredArea(picture.WorkPicture()), QRect(0, 0, 220, 176));
    EXPECT_TRUE(IsBlack(picture.WorkPicture(), 220, 0));
    EXPECT_TRUE(IsBlack(picture.WorkPicture(), 0, 176));

    picture.LoadPicture(SaveSolid(dir, "wide.bmp", 440, 176, kRed, "BMP"));
    EXPECT_EQ(CoveredArea(picture.WorkPicture()), QRect(0, 44, 220, 88));

    picture.LoadPicture(SaveSolid(dir, "square.png", 100, 100, kRed, "PNG"));
    EXPECT_EQ(CoveredArea(picture.WorkPicture()), QRect(22, 0, 176, 176));
    EXPECT_EQ(picture.WorkPicture().pixel(100, 100), kRed | 0xFF000000u);

    // The half-pixel offset lands on one side; the height is exact.
    picture.LoadPicture(SaveSolid(dir, "photo.jpg", 640, 480, qRgb(0, 200, 0), "JPEG"));
    QRect covered = CoveredArea(picture.WorkPicture());
    EXPECT_EQ(covered.width(), 220);
    EXPECT_GE(covered.top(), 5);
    EXPECT_LE(covered.top(), 6);
    EXPECT_EQ(covered.height(), 165);
    QRgb c = picture.WorkPicture().pixel(110, 88);
    EXPECT_NEAR(qGreen(c), 200, 6);
    EXPECT_LT(qRed(c), 8);
}

TEST(LoadPicture, AllFourFormatsDecodeAndConvert) {
    QTemporaryDir dir;
    CLogoPicture picture;
    std::vector<uint16_t> pixels;
    for (const char *format : {"BMP", "PNG", "JPEG"}) {
        QString name = QString::fromLatin1("white.") + QString::fromLatin1(format).toLower();
        picture.LoadPicture(
            SaveSolid(dir, name.toLatin1().constData(), 220, 176, qRgb(255, 255, 255), format));
        ASSERT_TRUE(picture.ConvertToLogo(pixels)) << format;
        EXPECT_EQ(pixels[0], 0xCFF9) << format;
        EXPECT_EQ(pixels[CLogoPicture::kPixelCount - 1], 0xCFF9) << format;
    }
    // A 1 x 1 red GIF, enlarged to 176 x 176.
    const unsigned char gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                                 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00,
                                 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    picture.LoadPicture(
        WriteBytes(dir, "red.gif", QByteArray(reinterpret_cast<const char *>(gif), sizeof gif)));
    EXPECT_EQ(CoveredArea(picture.WorkPicture()), QRect(22, 0, 176, 176));
    ASSERT_TRUE(picture.ConvertToLogo(pixels));
    EXPECT_EQ(pixels[88 * 220 + 110], 0xC800);
}

TEST(LoadPicture, VeryDarkPictureIsEmpty) {
    QTemporaryDir dir;
    CLogoPicture picture;
    picture.LoadPicture(SaveSolid(dir, "dark.png", 220, 176, qRgb(9, 3, 9), "PNG"));
    EXPECT_FALSE(CoveredArea(picture.WorkPicture()).isEmpty());
    std::vector<uint16_t> pixels;
    EXPECT_FALSE(picture.ConvertToLogo(pixels));
}

TEST(LoadPicture, UnreadableFilesLeaveTheWorkPictureBlack) {
    QTemporaryDir dir;
    QImage noise(220, 176, QImage::Format_RGB32);
    for (int y = 0; y < 176; ++y)
        for (int x = 0; x < 220; ++x)
            noise.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256));
    QString good = dir.filePath("noise.png");
    ASSERT_TRUE(noise.save(good));
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray png = file.readAll();

    const QList<QString> bad = {
        WriteBytes(dir, "empty.png", QByteArray()),
        WriteBytes(dir, "text.jpg", QByteArray("this is not a picture\n")),
        WriteBytes(dir, "header-only.png", png.left(40)),
        WriteBytes(dir, "zero.bmp", BmpAnnouncing(0, 0)),
        WriteBytes(dir, "huge.png", PngAnnouncing(100000, 100000)),
        WriteBytes(dir, "large.png", PngAnnouncing(60000, 60000)),
        WriteBytes(dir, "huge.bmp", BmpAnnouncing(30000, 30000)),
        dir.filePath("missing.png"),
        dir.path(),
    };
    CLogoPicture picture;
    for (const QString &path : bad) {
        picture.LoadPicture(good);
        ASSERT_FALSE(CoveredArea(picture.WorkPicture()).isEmpty());
        picture.LoadPicture(path);
        EXPECT_TRUE(WholeWorkPictureBlack(picture.WorkPicture())) << path.toStdString();
    }
}

TEST(LoadPicture, HugePictureIsDecodedReducedButPlacedByItsOwnSize) {
    QTemporaryDir dir;
    // 4500 x 4000 is past the full-size decode budget.
    QImage big(4500, 4000, QImage::Format_Mono);
    big.fill(1);
    big.setColor(0, qRgb(0, 0, 0));
    big.setColor(1, qRgb(255, 255, 255));
    QString path = dir.filePath("big.png");
    ASSERT_TRUE(big.save(path));

    CPictureFile file;
    ASSERT_TRUE(file.Load(path));
    EXPECT_EQ(file.Width(), 4500);
    EXPECT_EQ(file.Height(), 4000);

    CLogoPicture picture;
    picture.LoadPicture(path);
    auto p = CLogoPicture::ComputePlacement(4500, 4000);
    EXPECT_EQ(CoveredArea(picture.WorkPicture()), QRect(std::floor(p.x), 0, p.width, p.height));
}

TEST(Preview, GreyRectangleWithTheLogoAreaCentred) {
    QTemporaryDir dir;
    CLogoPicture picture;
    QImage marked(220, 176, QImage::Format_RGB32);
    marked.fill(qRgb(10, 20, 30));
    marked.setPixel(0, 0, qRgb(255, 0, 0));
    marked.setPixel(219, 175, qRgb(0, 0, 255));
    QString path = dir.filePath("marked.png");
    ASSERT_TRUE(marked.save(path));
    picture.LoadPicture(path);

    QImage canvas(627, 314, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        picture.PaintPreview(painter);
    }
    const QRgb grey = qRgb(192, 192, 192);
    EXPECT_EQ(canvas.pixel(250, 24), grey);
    EXPECT_EQ(canvas.pixel(599, 273), grey);
    EXPECT_EQ(canvas.pixel(314, 61), grey);
    EXPECT_EQ(canvas.pixel(535, 237), grey);
    EXPECT_EQ(canvas.pixel(315, 61), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(534, 236), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(400, 150), qRgb(10, 20, 30));
    EXPECT_EQ(canvas.pixel(249, 24), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(600, 274), qRgb(255, 255, 255));
}
