// TavikLogo with bad picture files (empty, truncated, not pictures, huge announced sizes), and a
// device that vanishes in the middle of an upload over real ports.
#include "FakeMidiPlatform.h"
#include "JackServer.h"
#include "SimPortLocator.h"
#include "SimProcess.h"
#include "logo/CGlimmerlyDlg.h"
#include "logo/CLogoPicture.h"
#include "logo/RtMidiPlatform.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
// Peak resident memory of this process so far, in KB.
qint64 peakRssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

QByteArray encoded(const QImage &image, const char *format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage colourful() {
    QImage image(220, 176, QImage::Format_RGB32);
    for (int y = 0; y < 176; ++y)
        for (int x = 0; x < 220; ++x)
            image.setPixel(x, y, qRgb(40 + x, 60 + y % 100, 200));
    return image;
}

// A PNG whose header announces width x height, with a valid header CRC and a broken image stream.
QByteArray pngAnnouncing(quint32 width, quint32 height) {
    QByteArray ihdr("IHDR");
    char dims[8];
    qToBigEndian(width, dims);
    qToBigEndian(height, dims + 4);
    ihdr.append(dims, 8);
    ihdr.append("\x08\x02\x00\x00\x00", 5); // 8 bit RGB
    // CRC-32 (zlib) over type and data.
    quint32 crc = 0xFFFFFFFFu;
    for (unsigned char c : ihdr) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc ^= 0xFFFFFFFFu;
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    char be[4];
    qToBigEndian(quint32(13), be);
    png.append(be, 4).append(ihdr);
    qToBigEndian(crc, be);
    png.append(be, 4);
    png.append(QByteArray("\x00\x00\x00\x10IDAT", 8)).append(QByteArray(16, '\x55'));
    return png;
}

// A BMP header for a 24-bit width x height picture with no pixel data behind it.
QByteArray bmpAnnouncing(qint32 width, qint32 height) {
    QByteArray bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian(quint32(54 + 3ull * quint32(width) * quint32(height)), bmp.data() + 2);
    qToLittleEndian(quint32(54), bmp.data() + 10);
    qToLittleEndian(quint32(40), bmp.data() + 14);
    qToLittleEndian(width, bmp.data() + 18);
    qToLittleEndian(height, bmp.data() + 22);
    qToLittleEndian(quint16(1), bmp.data() + 26);
    qToLittleEndian(quint16(24), bmp.data() + 28);
    return bmp + QByteArray(64, '\x7f');
}

// A GIF whose logical screen and first image announce width x height.
QByteArray gifAnnouncing(quint16 width, quint16 height) {
    QByteArray gif("GIF89a");
    char le[2];
    qToLittleEndian(width, le);
    gif.append(le, 2);
    qToLittleEndian(height, le);
    gif.append(le, 2);
    gif.append("\x80\x00\x00", 3);
    gif.append(QByteArray(6, '\xff'));  // two-colour table
    gif.append(",\x00\x00\x00\x00", 5); // image at 0, 0
    qToLittleEndian(width, le);
    gif.append(le, 2);
    qToLittleEndian(height, le);
    gif.append(le, 2);
    gif.append("\x00\x02\x02\x44\x01\x00;", 7);
    return gif;
}

// A real 16 x 16 JPEG whose frame header is patched to announce side x side.
QByteArray jpegAnnouncing(quint16 side) {
    QByteArray jpg = encoded(colourful().scaled(16, 16), "JPG");
    const int sof = jpg.indexOf(QByteArray("\xff\xc0", 2));
    if (sof >= 0) {
        qToBigEndian(side, jpg.data() + sof + 5);
        qToBigEndian(side, jpg.data() + sof + 7);
    }
    return jpg;
}

bool logoAreaBlack(const QImage &image, int x0, int y0) {
    for (int y = 0; y < 176; ++y)
        for (int x = 0; x < 220; ++x)
            if ((image.pixel(x0 + x, y0 + y) & 0xFFFFFF) != 0)
                return false;
    return true;
}
} // namespace

TEST(LogoPictureFaults, BadFilesTurnThePreviewBlackWithBoundedMemory) {
    QTemporaryDir dir;
    const QByteArray png = encoded(colourful(), "PNG");
    const QByteArray jpg = encoded(colourful(), "JPG");
    const QList<QPair<QString, QByteArray>> files{
        {"empty.png", {}},
        {"empty.bmp", {}},
        {"empty.jpg", {}},
        {"text.jpg", "This is not a picture at all.\n"},
        {"noise.bmp", QByteArray(4096, '\x5a')},
        {"signature-only.png", png.left(8)},
        {"header-only.png", png.left(33)},
        {"header-only.jpg", jpg.left(20)},
        {"huge-png-65535.png", pngAnnouncing(65535, 65535)},
        {"huge-png-100000.png", pngAnnouncing(100000, 100000)},
        {"huge-png-2e9.png", pngAnnouncing(0x7FFFFFFF, 0x7FFFFFFF)},
        {"zero-png.png", pngAnnouncing(0, 176)},
        {"huge-bmp.bmp", bmpAnnouncing(30000, 30000)},
        {"negative-bmp.bmp", bmpAnnouncing(-5, -2147483647)},
        {"huge-gif.gif", gifAnnouncing(65535, 65535)},
        {"huge-jpg-65500.jpg", jpegAnnouncing(65500)}, // above the largest picture taken
    };

    CGlimmerlyDlg dlg(
        std::make_unique<FakeMidiPlatform>(std::vector<std::string>{}, std::vector<std::string>{}));
    dlg.show();
    const QString good = dir.filePath("good.png");
    ASSERT_TRUE(colourful().save(good));
    const qint64 before = peakRssKb();
    for (const auto &[name, bytes] : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        dlg.ApplyChosenPicture(good);
        ASSERT_FALSE(logoAreaBlack(dlg.Picture().WorkPicture(), 0, 0));
        dlg.ApplyChosenPicture(file.fileName());
        EXPECT_TRUE(logoAreaBlack(dlg.Picture().WorkPicture(), 0, 0));
        // What the dialog shows: the logo area of the preview.
        EXPECT_TRUE(logoAreaBlack(dlg.grab().toImage(), 315, 61));
        // A Send would carry an empty logo.
        std::vector<uint16_t> pixels;
        EXPECT_FALSE(dlg.Picture().ConvertToLogo(pixels));
    }
    const qint64 grown = peakRssKb() - before;
    EXPECT_LT(grown, 512 * 1024) << "peak memory grew by " << grown << " KB";
    std::printf("bad pictures: %d files, peak memory grew by %lld KB\n", int(files.size()), grown);
    RecordProperty("peak_rss_growth_kb", int(grown));
}

TEST(LogoPictureFaults, TruncatedPicturesShowAtMostWhatTheFileHolds) {
    // A cut file may decode in part (the decoder fills the rest); it must not crash, and the
    // picture never spills outside the logo area.
    QTemporaryDir dir;
    CGlimmerlyDlg dlg(
        std::make_unique<FakeMidiPlatform>(std::vector<std::string>{}, std::vector<std::string>{}));
    for (const char *format : {"PNG", "JPG", "BMP"}) {
        const QByteArray whole = encoded(colourful(), format);
        ASSERT_FALSE(whole.isEmpty()) << format;
        for (int keep : {whole.size() / 3, whole.size() / 2, whole.size() - 1}) {
            SCOPED_TRACE(std::string(format) + " cut to " + std::to_string(keep));
            const QString path = dir.filePath(QStringLiteral("cut.") + QString::fromLatin1(format).toLower());
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(whole.left(keep));
            file.close();
            dlg.ApplyChosenPicture(path);
            const QImage &work = dlg.Picture().WorkPicture();
            for (int y = 0; y < 200; ++y) {
                for (int x = 0; x < 240; ++x) {
                    if (x >= 220 || y >= 176) {
                        ASSERT_EQ(work.pixel(x, y) & 0xFFFFFF, 0u) << x << "," << y;
                    }
                }
            }
        }
    }
    // A real JPEG whose frame announces 16384 x 16384 but holds 16 x 16 pixels: decoded at a
    // reduced size, the rest filled by the decoder.
    const QString huge = dir.filePath(QStringLiteral("huge.jpg"));
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpegAnnouncing(16384));
    file.close();
    const qint64 before = peakRssKb();
    dlg.ApplyChosenPicture(huge);
    const qint64 grown = peakRssKb() - before;
    EXPECT_LT(grown, 512 * 1024) << "peak memory grew by " << grown << " KB";
    std::printf("huge JPEG: peak memory grew by %lld KB\n", grown);
    RecordProperty("huge_jpeg_peak_rss_growth_kb", int(grown));
}

TEST(LogoUploadFaults, DeviceVanishesDuringAnUploadItsReturnReconnectsAndSendStartsAtChunkZero) {
    JackServer server(JackServer::uniqueName(QStringLiteral("tavik-logo-rel")));
    ASSERT_TRUE(server.start()) << server.diagnostics().toStdString();
    server.applyToThisProcess();
    QTemporaryDir logos;
    const QStringList args{"--device", "neo:12345:Studio", "--logo-dir", logos.path()};
    auto sim = std::make_unique<SimProcess>(server, args);
    ASSERT_TRUE(sim->start()) << sim->diagnostics().toStdString();
    ASSERT_TRUE(SimPortLocator::StoreAsProfile());
    auto dlg = std::make_unique<CGlimmerlyDlg>(std::make_unique<RtMidiPlatform>());
    auto find = [&](const char *name) { return dlg->findChild<QWidget *>(QString::fromLatin1(name)); };
    auto button = [&](const char *name) { return qobject_cast<QPushButton *>(find(name)); };
    auto listed = [&] { return dlg->GetState() == CGlimmerlyDlg::Connected && dlg->DeviceRows() == 1; };
    ASSERT_TRUE(QTest::qWaitFor(listed, 15000));

    QTemporaryDir pictures;
    const QString picture = pictures.filePath("logo.png");
    ASSERT_TRUE(colourful().save(picture));
    dlg->ApplyChosenPicture(picture);
    qobject_cast<QLineEdit *>(find("nameEdit"))->setText("Vanished");
    button("sendButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->AckCounter() >= 3; }, 30000));

    // The device is gone at once: its process and its ports.
    sim->process().kill();
    sim->process().waitForFinished(5000);
    const int acks = dlg->AckCounter();
    ASSERT_LT(acks, 64);
    // Its ports went with it: the uploader disconnects by itself, abandons the transfer and says so.
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->GetState() == CGlimmerlyDlg::Disconnected; }, 5000));
    EXPECT_LE(dlg->AckCounter(), acks + 1); // at most one acknowledgement was still on its way
    EXPECT_TRUE(find("progress")->isHidden());
    EXPECT_FALSE(button("sendButton")->isEnabled());

    // The device comes back: connected and listed again with no click, then sent again.
    sim = std::make_unique<SimProcess>(server, args);
    ASSERT_TRUE(sim->start()) << sim->diagnostics().toStdString();
    ASSERT_TRUE(QTest::qWaitFor(listed, 15000)) << "state " << int(dlg->GetState());
    qobject_cast<QLineEdit *>(find("nameEdit"))->setText("Returned");
    button("sendButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->AckCounter() == 64; }, 60000)) << dlg->AckCounter();
    ASSERT_TRUE(
        sim->waitForLogLine(QRegularExpression("^# logo crc ok name \"Returned\" serial 12345"), 15000))
        << sim->logLines().join('\n').toStdString();
    EXPECT_EQ(sim->logLines().filter("logo incomplete").join('\n').toStdString(), "");
    // The returned device saw chunk 0 first and every chunk in order; a chunk whose message was
    // lost while the new ports were being connected comes again after its time-out.
    QStringList indices;
    for (const QString &chunk :
         sim->logLines().filter(QRegularExpression("^RX F0 00 11 22 01 39 60 00 00 03 ")))
        if (indices.isEmpty() || indices.last() != chunk.mid(33, 2))
            indices << chunk.mid(33, 2);
    ASSERT_EQ(indices.size(), 64) << indices.join(' ').toStdString();
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(indices[i].toInt(nullptr, 16), i);
    dlg.reset();
    sim->stop();
    server.stop();
}
