// Saves a received logo as <dir>/<serial>-name.txt and a 220 x 176 PNG <dir>/<serial>-logo.png.
#include "sim/LogoWriter.h"

#include "sim/LogoBlockDecoder.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

QImage LogoWriter::toImage(const std::vector<uint16_t> &pixels) {
    const int w = LogoBlockDecoder::LogoWidth;
    const int h = LogoBlockDecoder::LogoHeight;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    const size_t count = std::min(pixels.size(), size_t(w) * size_t(h));
    for (size_t i = 0; i < count; ++i) {
        const uint16_t p = pixels[i];
        const int r5 = p >> 11, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
        const int r = r5 << 3 | r5 >> 2, g = g6 << 2 | g6 >> 4, b = b5 << 3 | b5 >> 2;
        image.setPixel(int(i % size_t(w)), int(i / size_t(w)), qRgb(r, g, b));
    }
    return image;
}

QString LogoWriter::namePath(const QString &dir, uint32_t serial) {
    return QDir(dir).filePath(QStringLiteral("%1-name.txt").arg(serial));
}

QString LogoWriter::logoPath(const QString &dir, uint32_t serial) {
    return QDir(dir).filePath(QStringLiteral("%1-logo.png").arg(serial));
}

bool LogoWriter::save(const QString &dir, uint32_t serial, const QString &name,
                      const std::vector<uint16_t> &pixels, QString *error) {
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("cannot create %1").arg(dir));

    QSaveFile nameFile(namePath(dir, serial));
    if (!nameFile.open(QIODevice::WriteOnly) || nameFile.write(name.toUtf8()) < 0 || !nameFile.commit())
        return fail(QStringLiteral("cannot write %1").arg(namePath(dir, serial)));

    QSaveFile logoFile(logoPath(dir, serial));
    if (!logoFile.open(QIODevice::WriteOnly) || !toImage(pixels).save(&logoFile, "PNG") || !logoFile.commit())
        return fail(QStringLiteral("cannot write %1").arg(logoPath(dir, serial)));
    return true;
}
