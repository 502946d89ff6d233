#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

// The image library layer: loads, measures and draws a picture file scaled, with bounded memory.
class CPictureFile {
public:
    // Largest side accepted at all, and the decode budget above which a picture is decoded at a
    // reduced size, within a square of kReducedSide (it ends up at most 220 x 176 anyway).
    static constexpr int kMaxSide = 65535;
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    static constexpr qint64 kMaxDecodedPixels = 4096LL * 4096LL;
    static constexpr int kReducedSide = 2048;
    // Largest picture accepted, in pixels (a 200-megapixel photograph is 16320 x 12240). A decoder
    // reduces at most to an eighth of each side (JPEG), so a larger picture would still be decoded
    // at more than 4 million pixels for the logo: seconds of work for a file of a few hundred bytes.
    static constexpr qint64 kMaxPixels = 16384LL * 16384LL;
    static constexpr int kAllocationLimitMb = 256;
#else
    // The fuzzing build runs the same paths with a budget a 64th of each: a few bytes announcing a
    // huge picture cost a few milliseconds instead of 400, so a campaign spends its time in the
    // decoders' parsing rather than in filling memory.
    static constexpr qint64 kMaxDecodedPixels = 512LL * 512LL;
    static constexpr int kReducedSide = 256;
    static constexpr qint64 kMaxPixels = 2048LL * 2048LL;
    static constexpr int kAllocationLimitMb = 4;
#endif

    bool Load(const QString &path);
    bool IsLoaded() const { return !m_image.isNull(); }
    // Dimensions of the picture in the file, in pixels.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Draws the whole picture into dest of target with the default (fast) scaling.
    bool DrawScaled(QImage &target, const QRectF &dest) const;

private:
    QImage m_image;
    int m_width = 0;
    int m_height = 0;
};
