#include "Reports.h"

namespace Reports {
MidiMessage header(unsigned char family, qint32 serial, unsigned char command) {
    const quint32 s = quint32(serial);
    return MidiMessage{0xF0,
                       0x00,
                       0x11,
                       0x22,
                       family,
                       static_cast<unsigned char>(s & 0x7F),
                       static_cast<unsigned char>((s >> 7) & 0x7F),
                       static_cast<unsigned char>((s >> 14) & 0x7F),
                       static_cast<unsigned char>((s >> 21) & 0x7F),
                       command};
}

MidiMessage version(unsigned char family, qint32 serial, const QByteArray &name, unsigned char v1,
                    unsigned char v2) {
    MidiMessage m = header(family, serial, 0x20);
    m.push_back(v1);
    m.push_back(v2);
    for (int i = 0; i < 16; ++i)
        m.push_back(i < name.size() ? static_cast<unsigned char>(name[i]) : 0x7F);
    m.push_back(0xF7);
    return m;
}

MidiMessage config(unsigned char family, qint32 serial, const QByteArray &tenBytes) {
    MidiMessage m = header(family, serial, 0x40);
    for (int i = 0; i < 10; ++i)
        m.push_back(i < tenBytes.size() ? static_cast<unsigned char>(tenBytes[i]) : 0);
    m.push_back(0xF7);
    return m;
}

MidiMessage status(unsigned char family, qint32 serial, unsigned char b10, unsigned char b11,
                   unsigned char b12, unsigned char flags) {
    MidiMessage m = header(family, serial, 0x41);
    m.insert(m.end(), {b10, b11, b12, flags, 0xF7});
    return m;
}

MidiMessage faders(unsigned char family, qint32 serial, const QByteArray &values32) {
    MidiMessage m = header(family, serial, 0x42);
    for (int i = 0; i < 32; ++i)
        m.push_back(i < values32.size() ? static_cast<unsigned char>(values32[i]) : 0);
    m.push_back(0xF7);
    return m;
}

MidiMessage simple(unsigned char family, qint32 serial, unsigned char command) {
    MidiMessage m = header(family, serial, command);
    m.push_back(0xF7);
    return m;
}
} // namespace Reports
