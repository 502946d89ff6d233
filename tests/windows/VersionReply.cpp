#include "VersionReply.h"

#include <cstring>

MidiMessage versionReply(unsigned char family, qint32 serialNo, const char *name) {
    MidiMessage message = {0xF0,
                           0x00,
                           0x11,
                           0x22,
                           family,
                           static_cast<unsigned char>(serialNo & 0x7F),
                           static_cast<unsigned char>((serialNo >> 7) & 0x7F),
                           static_cast<unsigned char>((serialNo >> 14) & 0x7F),
                           static_cast<unsigned char>((serialNo >> 21) & 0x7F),
                           0x20,
                           1,
                           2};
    const size_t length = std::strlen(name);
    for (size_t i = 0; i < 16; ++i)
        message.push_back(i < length ? static_cast<unsigned char>(name[i]) : 0x7F);
    message.push_back(0xF7);
    return message;
}
