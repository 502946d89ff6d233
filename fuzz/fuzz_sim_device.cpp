// The simulator's side of the link: any received bytes, cut after every 0xF7, given to one
// simulated Tavik Neo; every reply must be a complete frame and the device's values stay in range.
#include "sim/SimDevice.h"

#include <cstdlib>
#include <cstring>

namespace {
void require(bool condition) {
    if (!condition)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static SimDevice device(1, 12345, QStringLiteral("Studio"));
    size_t start = 0;
    while (start < size) {
        const uint8_t *end = static_cast<const uint8_t *>(std::memchr(data + start, 0xF7, size - start));
        const size_t length = end ? size_t(end - (data + start)) + 1 : size - start;
        const SysExMessage message(data + start, data + start + length);
        const SimDevice::Result result = device.handle(message);
        for (const SysExMessage &reply : result.messages) {
            require(reply.size() >= 11);
            require(reply.front() == 0xF0 && reply.back() == 0xF7);
            for (size_t i = 1; i + 1 < reply.size(); ++i)
                require(reply[i] < 0x80);
        }
        start += length;
    }
    for (uint8_t value : device.faders())
        require(value <= SimDevice::MaxFaderValue);
    return 0;
}
