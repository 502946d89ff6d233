// Tavik SysEx messages for the tests, built on the framing definition the programs use.
#pragma once

#include "sysex/TavikSysEx.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <vector>

namespace TestSysEx {

// F0, the manufacturer identifier, family, serial number and command, in any byte container.
template <class Bytes = std::vector<std::uint8_t>>
Bytes header(std::uint8_t family, std::uint32_t serial, std::uint8_t command) {
    Bytes msg;
    TavikSysEx::appendHeader(msg, family, serial, command);
    return msg;
}

// The header, the payload and F7.
template <class Bytes = std::vector<std::uint8_t>, class Payload = std::initializer_list<std::uint8_t>>
Bytes message(std::uint8_t family, std::uint32_t serial, std::uint8_t command, const Payload &payload = {}) {
    Bytes msg = header<Bytes>(family, serial, command);
    msg.insert(msg.end(), std::begin(payload), std::end(payload));
    msg.push_back(TavikSysEx::SysExEnd);
    return msg;
}

// Bytes as the simulator logs and takes them: "F0 00 11 22", upper-case, one space apart.
template <class Bytes> QString hex(const Bytes &bytes) {
    QString text;
    for (const auto b : bytes) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QStringLiteral("%1").arg(int(b), 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

} // namespace TestSysEx
