// The logo's run-length code: compressing any pixel array and decoding it gives the array back; the
// simulator's decoder survives any stream and any 32768-byte block.
#include "logo/CLogoPicture.h"
#include "sim/LogoBlockDecoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
void require(bool condition) {
    if (!condition)
        std::abort();
}

constexpr size_t MaxPixels = 2 * CLogoPicture::kPixelCount;

// Raw mode: the bytes are the pixels, two bytes each, low byte first.
std::vector<uint16_t> rawPixels(const uint8_t *data, size_t size) {
    std::vector<uint16_t> pixels;
    for (size_t i = 0; i + 1 < size && pixels.size() < MaxPixels; i += 2)
        pixels.push_back(uint16_t(data[i] | data[i + 1] << 8));
    return pixels;
}

// Run mode: each three bytes are a repeat count and a pixel, so long runs are cheap to reach.
std::vector<uint16_t> runPixels(const uint8_t *data, size_t size) {
    std::vector<uint16_t> pixels;
    for (size_t i = 0; i + 2 < size && pixels.size() < MaxPixels; i += 3) {
        const size_t count = std::min<size_t>(size_t(data[i]) + 1, MaxPixels - pixels.size());
        pixels.insert(pixels.end(), count, uint16_t(data[i + 1] | data[i + 2] << 8));
    }
    return pixels;
}

void roundTrip(const std::vector<uint16_t> &pixels) {
    const std::vector<uint8_t> stream = CLogoPicture::CompressLogo(pixels.data(), pixels.size());
    // Worst case: two bytes a pixel and one header per 127 pixels.
    require(stream.size() <= 2 * pixels.size() + (pixels.size() + 126) / 127);
    std::vector<uint16_t> decoded;
    require(LogoBlockDecoder::decodePixels(stream, decoded, pixels.size()));
    require(decoded == pixels);
}

void decodeAnything(const uint8_t *data, size_t size) {
    const std::vector<uint8_t> stream(data, data + size);
    std::vector<uint16_t> decoded;
    LogoBlockDecoder::decodePixels(stream, decoded, CLogoPicture::kPixelCount);
    require(decoded.size() <= CLogoPicture::kPixelCount);

    // The same bytes as a received logo block: header and stream from the input, 0xFF fill.
    std::vector<uint8_t> block(LogoBlockDecoder::BlockSize, 0xFF);
    std::memcpy(block.data(), data, std::min(size, block.size()));
    QString name;
    bool crcOk = false;
    if (LogoBlockDecoder::unpackBlock(block, name, decoded, crcOk))
        require(decoded.empty() || decoded.size() == CLogoPicture::kPixelCount);
    require(name.size() <= 16);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    ++data;
    --size;
    if (mode & 0x02) {
        decodeAnything(data, size);
        return 0;
    }
    roundTrip((mode & 0x01) ? runPixels(data, size) : rawPixels(data, size));
    return 0;
}
