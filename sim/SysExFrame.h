// Framing of Tavik SysEx messages: header, serial number groups, checks and hex text.
#pragma once

#include "sysex/TavikSysEx.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

using SysExMessage = std::vector<uint8_t>;

class SysExFrame {
public:
    static constexpr uint8_t Start = TavikSysEx::SysExStart;
    static constexpr uint8_t End = TavikSysEx::SysExEnd;
    static constexpr size_t HeaderSize = TavikSysEx::HeaderSize;
    static constexpr size_t MinSize = TavikSysEx::MinimumSize;
    static constexpr uint32_t MaxSerial = TavikSysEx::MaxSerial;

    // F0 00 11 22 family s0 s1 s2 s3 command (no end byte yet).
    static SysExMessage header(uint8_t family, uint32_t serial, uint8_t command);
    // A message with no payload: header plus F7.
    static SysExMessage bare(uint8_t family, uint32_t serial, uint8_t command);

    // Why `msg` is not a well-formed Tavik message (empty when it is one): at least 11 bytes,
    // F0 ... F7, the maker bytes 00 11 22, and only data bytes (below 0x80) in between.
    static QString problem(const SysExMessage &msg);
    static bool isValid(const SysExMessage &msg) { return problem(msg).isEmpty(); }

    // Fields of a message that passed isValid().
    static uint8_t family(const SysExMessage &msg) { return msg[TavikSysEx::FamilyIndex]; }
    static uint32_t serial(const SysExMessage &msg);
    static uint8_t command(const SysExMessage &msg) { return msg[TavikSysEx::CommandIndex]; }

    // "F0 00 11 ..." with upper-case two-digit hex bytes separated by single spaces.
    static QString toHex(const SysExMessage &msg);
    // Parses hex bytes separated by white space; nullopt when a token is not a byte.
    static std::optional<SysExMessage> fromHex(const QString &text);
};
