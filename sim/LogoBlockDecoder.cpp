// Reads a received 32768-byte logo block back into its name and 220 x 176 RGB565 pixels.
#include "sim/LogoBlockDecoder.h"

#include <array>

namespace {

std::array<uint32_t, 256> makeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : (c << 1);
        table[i] = c;
    }
    return table;
}

} // namespace

uint32_t LogoBlockDecoder::crc32Bzip2(const uint8_t *data, size_t length) {
    static const std::array<uint32_t, 256> table = makeCrcTable();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xFF];
    return ~crc;
}

bool LogoBlockDecoder::decodePixels(const std::vector<uint8_t> &stream, std::vector<uint16_t> &pixels,
                                    size_t maxPixels) {
    pixels.clear();
    const size_t size = stream.size();
    size_t pos = 0;
    while (pixels.size() < maxPixels && pos < size) {
        const uint8_t header = stream[pos++];
        const size_t count = header & 0x7F;
        if (count == 0)
            return false; // 0x00 and 0x80 are never written by the encoder
        if (count > maxPixels - pixels.size())
            return false;
        if (header & 0x80) {
            if (size - pos < 2 * count)
                return false;
            for (size_t i = 0; i < count; ++i, pos += 2)
                pixels.push_back(static_cast<uint16_t>(stream[pos] | (stream[pos + 1] << 8)));
        } else {
            if (size - pos < 2)
                return false;
            const auto value = static_cast<uint16_t>(stream[pos] | (stream[pos + 1] << 8));
            pos += 2;
            pixels.insert(pixels.end(), count, value);
        }
    }
    return true;
}

bool LogoBlockDecoder::unpackBlock(const std::vector<uint8_t> &block, QString &name,
                                   std::vector<uint16_t> &pixels, bool &crcOk) {
    name.clear();
    pixels.clear();
    crcOk = false;
    if (block.size() != BlockSize)
        return false;

    const uint32_t stored =
        uint32_t(block[0]) | uint32_t(block[1]) << 8 | uint32_t(block[2]) << 16 | uint32_t(block[3]) << 24;
    crcOk = stored == crc32Bzip2(block.data() + 4, BlockSize - 4);

    for (size_t i = 4; i < 20 && block[i] != 0; ++i)
        name.append(QChar(block[i]));

    const int width = block[20] | block[21] << 8;
    const int height = block[22] | block[23] << 8;
    if (width == 0 && height == 0)
        return true;
    if (width != LogoWidth || height != LogoHeight)
        return false;

    const size_t wanted = size_t(width) * size_t(height);
    const std::vector<uint8_t> stream(block.begin() + HeaderSize, block.end());
    if (!decodePixels(stream, pixels, wanted) || pixels.size() != wanted) {
        pixels.clear();
        return false;
    }
    return true;
}
