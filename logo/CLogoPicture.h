#pragma once

#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

class QPainter;

// The work picture and the 220 x 176 logo: scaled loading, RGB 5-6-5 conversion, run-length code.
class CLogoPicture {
public:
    static constexpr int kWorkSize = 1024;
    static constexpr int kLogoWidth = 220;
    static constexpr int kLogoHeight = 176;
    static constexpr size_t kPixelCount = static_cast<size_t>(kLogoWidth) * kLogoHeight;

    // Where a w x h picture lands in the logo area.
    struct Placement {
        double scale = 0.0;
        int width = 0;
        int height = 0;
        float x = 0.0f;
        float y = 0.0f;
    };

    CLogoPicture();

    static Placement ComputePlacement(int width, int height);
    // Redraws the work picture from the file; it stays black where nothing could be drawn. False
    // when the file could not be read as a picture.
    bool LoadPicture(const QString &path);
    static uint16_t ConvertPixel(int red, int green, int blue);
    // Converts the logo area row by row; false when every pixel is black (an empty picture).
    bool ConvertToLogo(std::vector<uint16_t> &pixels) const;
    static std::vector<uint8_t> CompressLogo(const uint16_t *pixels, size_t count);
    // Paints the grey preview rectangle with the logo area centred in it.
    void PaintPreview(QPainter &painter) const;

    const QImage &WorkPicture() const { return m_work; }

private:
    QImage m_work;
};
