// Test helpers that build logo blocks and picture chunks the way the uploader does.
#include "LogoTestData.h"

#include "SysExMessages.h"

namespace LogoTestData {

namespace {

void put(std::vector<uint8_t> &out, uint16_t v) {
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t(v >> 8));
}

void flushLiterals(std::vector<uint8_t> &out, const std::vector<uint16_t> &p, size_t from, size_t to) {
    while (from < to) {
        const size_t n = std::min<size_t>(127, to - from);
        out.push_back(uint8_t(0x80 | n));
        for (size_t k = 0; k < n; ++k)
            put(out, p[from + k]);
        from += n;
    }
}

} // namespace

std::vector<uint8_t> compress(const std::vector<uint16_t> &p) {
    std::vector<uint8_t> out;
    const size_t count = p.size();
    size_t i = 0;
    bool pending = false;
    size_t literalStart = 0;
    while (i < count) {
        if (i + 2 < count && p[i] == p[i + 1] && p[i] == p[i + 2]) {
            if (pending) {
                flushLiterals(out, p, literalStart, i);
                pending = false;
            }
            size_t k = 1;
            while (k < 127 && i + k < count && p[i + k] == p[i])
                ++k;
            out.push_back(uint8_t(k));
            put(out, p[i]);
            i += k;
        } else {
            if (!pending) {
                pending = true;
                literalStart = i;
            }
            ++i;
        }
    }
    if (pending)
        flushLiterals(out, p, literalStart, count);
    return out;
}

uint32_t crc(const uint8_t *data, size_t length) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
        c ^= uint32_t(data[i]) << 24;
        for (int b = 0; b < 8; ++b)
            c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
    }
    return ~c;
}

std::vector<uint8_t> block(const QByteArray &name, int width, int height,
                           const std::vector<uint16_t> &pixels) {
    std::vector<uint8_t> b(32768, 0xFF);
    std::fill(b.begin(), b.begin() + 24, 0);
    for (int i = 0; i < name.size() && i < 16; ++i)
        b[size_t(4 + i)] = uint8_t(name[i]);
    b[20] = uint8_t(width & 0xFF);
    b[21] = uint8_t(width >> 8);
    b[22] = uint8_t(height & 0xFF);
    b[23] = uint8_t(height >> 8);
    const std::vector<uint8_t> stream = compress(pixels);
    std::copy(stream.begin(), stream.end(), b.begin() + 24);
    const uint32_t c = crc(b.data() + 4, b.size() - 4);
    for (int i = 0; i < 4; ++i)
        b[size_t(i)] = uint8_t(c >> (8 * i));
    return b;
}

std::vector<uint8_t> chunk(const std::vector<uint8_t> &block, int index, uint32_t serial) {
    std::vector<uint8_t> m = TestSysEx::header(TavikSysEx::FamilyNeo, serial, TavikSysEx::PICTURE_CHUNK);
    m.push_back(uint8_t(index));
    const uint8_t *in = block.data() + 512 * index;
    for (int g = 0; g < 128; ++g) {
        uint8_t top = 0;
        for (int k = 0; k < 4; ++k) {
            m.push_back(in[g * 4 + k] & 0x7F);
            top |= uint8_t(((in[g * 4 + k] >> 7) & 1) << k);
        }
        m.push_back(top);
    }
    m.push_back(TavikSysEx::SysExEnd);
    return m;
}

std::vector<uint16_t> testPicture() {
    std::vector<uint16_t> p(220 * 176);
    for (int y = 0; y < 176; ++y)
        for (int x = 0; x < 220; ++x) {
            uint16_t v;
            if (y < 60)
                v = 0xF800; // red band: long runs
            else if (y < 90)
                v = uint16_t(((x * 31 / 219) << 11) | ((y % 64) << 5) | (x % 32)); // gradient: literals
            else if (y < 110)
                v = (x / 2) % 2 ? 0x07E0 : 0x001F; // pairs: never a run
            else
                v = x < 110 ? 0xFFFF : 0x8410; // white and grey halves
            p[size_t(y * 220 + x)] = v;
        }
    return p;
}

} // namespace LogoTestData
