#include "Reports.h"

#include "SysExMessages.h"

namespace Reports {
using namespace TavikSysEx;

namespace {
// The first `count` bytes of `bytes`, zeros beyond its end.
MidiMessage padded(const QByteArray &bytes, int count) {
    MidiMessage values(size_t(count), 0);
    for (int i = 0; i < count && i < bytes.size(); ++i)
        values[size_t(i)] = static_cast<unsigned char>(bytes[i]);
    return values;
}
} // namespace

MidiMessage header(unsigned char family, qint32 serial, unsigned char command) {
    return TestSysEx::header<MidiMessage>(family, quint32(serial), command);
}

MidiMessage version(unsigned char family, qint32 serial, const QByteArray &name, unsigned char v1,
                    unsigned char v2) {
    MidiMessage payload{v1, v2};
    for (int i = 0; i < 16; ++i)
        payload.push_back(i < name.size() ? static_cast<unsigned char>(name[i]) : 0x7F);
    return TestSysEx::message<MidiMessage>(family, quint32(serial), GET_VERSION, payload);
}

MidiMessage config(unsigned char family, qint32 serial, const QByteArray &tenBytes) {
    return TestSysEx::message<MidiMessage>(family, quint32(serial), GET_CONFIG, padded(tenBytes, 10));
}

MidiMessage status(unsigned char family, qint32 serial, unsigned char b10, unsigned char b11,
                   unsigned char b12, unsigned char flags) {
    return TestSysEx::message<MidiMessage>(family, quint32(serial), GET_STATUS, {b10, b11, b12, flags});
}

MidiMessage faders(unsigned char family, qint32 serial, const QByteArray &values32) {
    return TestSysEx::message<MidiMessage>(family, quint32(serial), GET_FADERS, padded(values32, 32));
}

MidiMessage simple(unsigned char family, qint32 serial, unsigned char command) {
    return TestSysEx::message<MidiMessage>(family, quint32(serial), command);
}
} // namespace Reports
