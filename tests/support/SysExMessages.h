// Tavik SysEx messages for the tests, built on the framing definition the programs use.
#pragma once

#include "sysex/TavikSysEx.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string_view>
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

// How many payload bytes a device's report carries; 0 for the acknowledgements and the commands.
constexpr std::size_t reportSize(std::uint8_t command) {
    switch (command) {
    case TavikSysEx::GET_VERSION:
        return 18; // two version bytes and a name of 16
    case TavikSysEx::GET_CONFIG:
        return 10;
    case TavikSysEx::GET_STATUS:
        return 4;
    case TavikSysEx::GET_FADERS:
        return 32;
    default:
        return 0;
    }
}

// A device's report: the payload cut or padded with zeros to the report's size; an
// acknowledgement or a command keeps its payload as given.
template <class Bytes = std::vector<std::uint8_t>, class Payload = std::initializer_list<std::uint8_t>>
Bytes report(std::uint8_t family, std::uint32_t serial, std::uint8_t command, const Payload &payload = {}) {
    std::vector<std::uint8_t> values;
    for (const auto b : payload)
        values.push_back(std::uint8_t(b));
    if (const std::size_t size = reportSize(command))
        values.resize(size, 0);
    return message<Bytes>(family, serial, command, values);
}

// The reply to SEND_VERSION: two version bytes and the name, cut or padded with `fill` to 16.
template <class Bytes = std::vector<std::uint8_t>>
Bytes version(std::uint8_t family, std::uint32_t serial, std::string_view name, std::uint8_t v1 = 1,
              std::uint8_t v2 = 7, std::uint8_t fill = 0x7F) {
    std::vector<std::uint8_t> payload(reportSize(TavikSysEx::GET_VERSION), fill);
    payload[0] = v1;
    payload[1] = v2;
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 16), payload.begin() + 2);
    return message<Bytes>(family, serial, TavikSysEx::GET_VERSION, payload);
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
