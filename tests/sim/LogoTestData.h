// Test helpers that build logo blocks and picture chunks the way the uploader does.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace LogoTestData {

// The uploader's run-length code: runs of 3..127 equal pixels, literals of 1..127 pixels.
std::vector<uint8_t> compress(const std::vector<uint16_t> &p);
// CRC-32/BZIP2, bit by bit (independent of any table).
uint32_t crc(const uint8_t *data, size_t length);
// A 32768-byte logo block with name, size and compressed pixels.
std::vector<uint8_t> block(const QByteArray &name, int width, int height,
                           const std::vector<uint16_t> &pixels);
// The 652-byte picture chunk `index` of `block` for the device `serial`.
std::vector<uint8_t> chunk(const std::vector<uint8_t> &block, int index, uint32_t serial);
// A picture with runs, literals and every colour channel in use.
std::vector<uint16_t> testPicture();

} // namespace LogoTestData
