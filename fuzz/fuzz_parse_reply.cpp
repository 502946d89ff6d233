// Feeds arbitrary received buffers to the uploader's reply classifier and its transfer; checks the
// fields of a device reply, and that no acknowledgement moves a transfer whose chunks never left
// (the null platform sends nothing).
#include "NullMidiPlatform.h"
#include "logo/CLogoSender.h"

#include <cstdlib>
#include <cstring>

namespace {
void require(bool condition) {
    if (!condition)
        std::abort();
}

// The reply fields as the protocol defines them, computed independently of the sender.
void checkDeviceReply(const CLogoSender &sender, const uint8_t *data, size_t size) {
    auto at = [&](size_t i) -> uint8_t { return i < size ? data[i] : 0; };
    const uint32_t serial =
        uint32_t(at(5)) | uint32_t(at(6)) << 7 | uint32_t(at(7)) << 14 | uint32_t(at(8)) << 21;
    require(sender.ReplySerial() == serial);
    require(serial < (1u << 28));
    require(sender.ReplyDisplaySerial().size() == 11);
    require(sender.ReplyName().size() <= 16);
    for (int i = 0; i < sender.ReplyName().size(); ++i) {
        const uint8_t c = at(12 + size_t(i));
        require(c != 0x00 && c != 0x7F);
        require(sender.ReplyName().at(i).unicode() == c);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static CLogoSender sender(std::make_unique<NullMidiPlatform>());
    // Cut the input into buffers at every 0xF7, as the input layer hands them over one by one.
    size_t start = 0;
    while (start < size) {
        const uint8_t *end = static_cast<const uint8_t *>(std::memchr(data + start, 0xF7, size - start));
        const size_t length = end ? size_t(end - (data + start)) + 1 : size - start;
        const CLogoSender::Reply reply = sender.ParseReply(data + start, length);
        const bool header = length >= 5 && data[start] == 0xF0 && data[start + 1] == 0x00 &&
                            data[start + 2] == 0x11 && data[start + 3] == 0x22 && data[start + 4] == 0x01;
        if (reply != CLogoSender::Reply::Other)
            require(header);
        if (reply == CLogoSender::Reply::DeviceReply) {
            checkDeviceReply(sender, data + start, length);
            sender.OnDeviceReply(sender.ReplySerial());
            if (!sender.TransferActive())
                sender.StartTransfer(sender.ReplySerial());
        } else if (reply == CLogoSender::Reply::ChunkAck) {
            require(sender.AckSerial() < (1u << 28));
            sender.OnChunkAck(sender.AckSerial());
        }
        require(sender.ChunkIndex() == 0);
        start += length;
    }
    sender.ParseReply(nullptr, size); // no bytes at all: every byte reads as 0x00
    return 0;
}
