#include "ImageSet.h"

namespace {

bool isOpaque(const QImage &argb) {
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

} // namespace

ImageSet::ImageSet(const QString &outputDir) : dir(outputDir) {
    if (!dir.exists() && !QDir().mkpath(outputDir))
        problems << QStringLiteral("cannot create %1").arg(outputDir);
}

QImage ImageSet::blank(const QSize &size) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QImage ImageSet::drawn(const QSize &size, Rendering rendering, const std::function<void(QPainter &)> &draw) {
    QImage img = blank(size);
    QPainter p(&img);
    if (rendering == Antialiased) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
    }
    draw(p);
    p.end();
    return img;
}

void ImageSet::save(const QString &name, const QImage &image, const QSize &intended) {
    if (image.size() != intended) {
        problems << QStringLiteral("%1 is %2 x %3, not %4 x %5")
                        .arg(name)
                        .arg(image.width())
                        .arg(image.height())
                        .arg(intended.width())
                        .arg(intended.height());
        return;
    }
    // Pictures without any transparency are stored opaque; the rest keep their alpha channel.
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    if (isOpaque(out))
        out = out.convertToFormat(QImage::Format_RGB32);
    if (!out.save(dir.filePath(name), "PNG", 9)) {
        problems << QStringLiteral("cannot write %1").arg(dir.filePath(name));
        return;
    }
    names << name;
}
