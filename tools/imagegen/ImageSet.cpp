#include "ImageSet.h"

ImageSet::ImageSet(const QString &outputDir) : dir(outputDir) {
    if (!dir.exists() && !QDir().mkpath(outputDir))
        problems << QStringLiteral("cannot create %1").arg(outputDir);
}

QImage ImageSet::blank(const QSize &size) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
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
    if (!out.hasAlphaChannel() ||
        out.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32) == out)
        out = out.convertToFormat(QImage::Format_RGB32);
    if (!out.save(dir.filePath(name), "PNG", 9)) {
        problems << QStringLiteral("cannot write %1").arg(dir.filePath(name));
        return;
    }
    names << name;
}
