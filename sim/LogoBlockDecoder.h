// Reads a received 32768-byte logo block back into its name and 220 x 176 RGB565 pixels.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

class LogoBlockDecoder {
public:
    static constexpr size_t BlockSize = 32768;
    static constexpr int LogoWidth = 220;
    static constexpr int LogoHeight = 176;
    static constexpr size_t HeaderSize = 24;

    // Inverts the uploader's run-length code: tokens are decoded until the stream ends or
    // maxPixels pixels have been produced, whichever comes first (bytes after that are not read).
    // Returns false on a header byte 0x00 or 0x80, a token cut short by the end of the stream, or
    // a token that would produce more than maxPixels pixels. Never reads outside `stream`.
    // `pixels` holds what was decoded (also the part before a failure).
    static bool decodePixels(const std::vector<uint8_t> &stream, std::vector<uint16_t> &pixels,
                             size_t maxPixels);

    // Unpacks a logo block: name (bytes 4..19, up to the first NUL), size (220 x 176 or the
    // empty 0 x 0) and the pixel stream from byte 24. crcOk tells whether the CRC in bytes 0..3
    // matches bytes 4..32767. Returns false (crcOk still set when the block has the right size)
    // when the block is not 32768 bytes, the size is neither 220 x 176 nor 0 x 0, or the pixel
    // stream does not decode to exactly width x height pixels. An empty logo yields no pixels.
    static bool unpackBlock(const std::vector<uint8_t> &block, QString &name, std::vector<uint16_t> &pixels,
                            bool &crcOk);

    // CRC-32/BZIP2 (polynomial 0x04C11DB7, MSB first, init 0xFFFFFFFF, final complement).
    static uint32_t crc32Bzip2(const uint8_t *data, size_t length);
};
