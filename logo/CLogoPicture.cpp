#include "logo/CLogoPicture.h"

#include "logo/CPictureFile.h"

#include <QPainter>
#include <algorithm>

namespace {

constexpr int kMaxLiteral = 127;
constexpr int kMaxRun = 127;

void AppendPixel(std::vector<uint8_t> &out, uint16_t pixel) {
    out.push_back(static_cast<uint8_t>(pixel & 0xFF));
    out.push_back(static_cast<uint8_t>(pixel >> 8));
}

void FlushLiterals(std::vector<uint8_t> &out, const uint16_t *pixels, size_t from, size_t to) {
    while (from < to) {
        size_t n = std::min<size_t>(kMaxLiteral, to - from);
        out.push_back(static_cast<uint8_t>(0x80 | n));
        for (size_t i = 0; i < n; ++i)
            AppendPixel(out, pixels[from + i]);
        from += n;
    }
}

int Dim(int value) {
    return std::min(255, static_cast<int>(value * 0.8));
}

} // namespace

CLogoPicture::CLogoPicture() : m_work(kWorkSize, kWorkSize, QImage::Format_RGB32) {
    // The work picture starts black, so a Send before any picture sends an empty logo.
    m_work.fill(Qt::black);
}

CLogoPicture::Placement CLogoPicture::ComputePlacement(int width, int height) {
    Placement p;
    if (width <= 0 || height <= 0)
        return p;
    double sx = static_cast<double>(kLogoWidth) / width;
    double sy = static_cast<double>(kLogoHeight) / height;
    p.scale = sy <= sx ? sy : sx;
    p.width = static_cast<int>(width * p.scale);
    p.height = static_cast<int>(height * p.scale);
    p.x = static_cast<float>(kLogoWidth - p.width) / 2.0f;
    p.y = static_cast<float>(kLogoHeight - p.height) / 2.0f;
    return p;
}

bool CLogoPicture::LoadPicture(const QString &path) {
    m_work.fill(Qt::black);
    CPictureFile file;
    if (!file.Load(path))
        return false;
    Placement p = ComputePlacement(file.Width(), file.Height());
    return file.DrawScaled(m_work, QRectF(p.x, p.y, p.width, p.height));
}

uint16_t CLogoPicture::ConvertPixel(int red, int green, int blue) {
    int r = Dim(red);
    int g = std::min(255, green);
    int b = Dim(blue);
    return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

bool CLogoPicture::ConvertToLogo(std::vector<uint16_t> &pixels) const {
    pixels.resize(kPixelCount);
    bool empty = true;
    size_t i = 0;
    for (int y = 0; y < kLogoHeight; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(m_work.constScanLine(y));
        for (int x = 0; x < kLogoWidth; ++x) {
            QRgb c = line[x];
            uint16_t pixel = ConvertPixel(qRed(c), qGreen(c), qBlue(c));
            pixels[i++] = pixel;
            if (pixel != 0)
                empty = false;
        }
    }
    return !empty;
}

std::vector<uint8_t> CLogoPicture::CompressLogo(const uint16_t *pixels, size_t count) {
    std::vector<uint8_t> out;
    size_t i = 0;
    bool literalPending = false;
    size_t literalStart = 0;
    while (i < count) {
        if (i + 2 < count && pixels[i] == pixels[i + 1] && pixels[i] == pixels[i + 2]) {
            if (literalPending) {
                FlushLiterals(out, pixels, literalStart, i);
                literalPending = false;
            }
            size_t k = 1;
            while (k < kMaxRun && i + k < count && pixels[i + k] == pixels[i])
                ++k;
            out.push_back(static_cast<uint8_t>(k));
            AppendPixel(out, pixels[i]);
            i += k;
        } else {
            if (!literalPending) {
                literalStart = i;
                literalPending = true;
            }
            ++i;
        }
    }
    if (literalPending)
        FlushLiterals(out, pixels, literalStart, count);
    return out;
}

void CLogoPicture::PaintPreview(QPainter &painter) const {
    painter.fillRect(250, 24, 350, 250, QColor(192, 192, 192));
    painter.drawImage(315, 61, m_work, 0, 0, kLogoWidth, kLogoHeight);
}
