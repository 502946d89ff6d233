#include "logo/CPictureFile.h"

#include <QByteArray>
#include <QImageReader>
#include <QPainter>

namespace {
// The decode limit covers the picture Qt makes, not the JPEG library's own buffers: for a
// progressive or multi-scan JPEG it keeps every coefficient of the whole frame (two bytes a sample,
// before any reduced-size decoding), 13 GB for a 600-byte file announcing 65500 x 65500. JPEGMEM is
// the library's own limit for those buffers; above it, with no backing store, it refuses the file.
// Set once before main(), while no other thread can read the environment; a value the user set wins.
[[maybe_unused]] const bool kJpegMemoryLimited = [] {
    if (qEnvironmentVariableIsSet("JPEGMEM"))
        return false;
    return qputenv("JPEGMEM", QByteArray::number(CPictureFile::kAllocationLimitMb) + 'M');
}();
} // namespace

bool CPictureFile::Load(const QString &path) {
    m_image = QImage();
    m_width = 0;
    m_height = 0;

    QImageReader::setAllocationLimit(kAllocationLimitMb);
    QImageReader reader(path);
    reader.setAutoTransform(false);
    QSize announced = reader.size();
    if (announced.isValid()) {
        if (announced.width() <= 0 || announced.height() <= 0 || announced.width() > kMaxSide ||
            announced.height() > kMaxSide)
            return false;
        qint64 pixels = static_cast<qint64>(announced.width()) * announced.height();
        if (pixels > kMaxPixels)
            return false;
        if (pixels > kMaxDecodedPixels) {
            // Decode a reduced copy; the placement still uses the file's own dimensions.
            reader.setScaledSize(announced.scaled(kReducedSide, kReducedSide, Qt::KeepAspectRatio));
        }
    }

    QImage image;
    if (!reader.read(&image) || image.isNull())
        return false;
    m_image = image;
    m_width = announced.isValid() ? announced.width() : image.width();
    m_height = announced.isValid() ? announced.height() : image.height();
    return true;
}

bool CPictureFile::DrawScaled(QImage &target, const QRectF &dest) const {
    if (m_image.isNull())
        return false;
    QPainter painter(&target);
    if (!painter.isActive())
        return false;
    painter.drawImage(dest, m_image, QRectF(m_image.rect()));
    return true;
}
