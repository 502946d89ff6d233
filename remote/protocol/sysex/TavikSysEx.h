// The Tavik SysEx framing, shared by TavikRemote, TavikLogo, tavik-sim and the tests: header
// bytes, families, command codes, the settings groups and their messages, byte positions, serial
// numbers and the frame check.
// Header-only and free of Qt, so every program includes it without linking anything.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Message layout: F0 | 00 11 22 | family | serial (4 x 7 bit, LSB first) | command | payload | F7.
namespace TavikSysEx {
constexpr std::uint8_t SysExStart = 0xF0;
constexpr std::uint8_t SysExEnd = 0xF7;
constexpr std::array<std::uint8_t, 3> ManufacturerId = {0x00, 0x11, 0x22};

constexpr int ManufacturerIndex = 1;
constexpr int FamilyIndex = 4;
constexpr int SerialIndex = 5;
constexpr int SerialGroups = 4;
constexpr int CommandIndex = 9;
constexpr int PayloadIndex = 10;
constexpr int HeaderSize = 10;  // everything before the payload
constexpr int MinimumSize = 11; // header and end byte, no payload

constexpr std::uint8_t FamilyNeo = 0x01;
constexpr std::uint8_t FamilyLux = 0x05;

// Codes 0x00 to 0x05 go to the devices; an acknowledgement is 0x20 plus the code it answers.
enum Command : std::uint8_t {
    SEND_VERSION = 0x00,
    SET_VALUES = 0x01,
    SET_FADERS = 0x02,
    PICTURE_CHUNK = 0x03,
    UPDATE = 0x04, // sent by no program of ours; its acknowledgement is still recognised
    SEND_INFO = 0x05,
    GET_VERSION = 0x20, // the reply to SEND_VERSION
    ACK_VALUES = 0x21,
    ACK_FADERS = 0x22,
    ACK_PIC = 0x23,
    ACK_UPDATE = 0x24,
    ACK_INFO = 0x25,
    GET_CONFIG = 0x40,
    GET_STATUS = 0x41,
    GET_FADERS = 0x42,
};

// The settings groups, each a flag (a set of groups is one word). The values a device only
// reports (digital inputs, status) are GroupReported's, which no message sets.
enum SettingsGroup : unsigned {
    GroupRateAndSync = 0x01,
    GroupLock = 0x02,
    GroupSmux = 0x04,
    GroupRouting = 0x08,
    GroupFaders = 0x10,
    GroupReported = 0x20,
};

// How a device takes a group: one message of the command, its start index and as many values.
struct GroupMessage {
    SettingsGroup group;
    std::uint8_t command;
    std::uint8_t start;
    std::uint8_t count;
};
// The settings groups in message order.
constexpr GroupMessage GroupMessages[] = {
    {GroupRateAndSync, SET_VALUES, 0, 2}, // sample rate, clock source
    {GroupLock, SET_VALUES, 2, 1},        // the device lock
    {GroupSmux, SET_VALUES, 16, 4},       // four SMUX values
    {GroupRouting, SET_VALUES, 32, 12},   // twelve routing values
    {GroupFaders, SET_FADERS, 0x20, 32},  // 32 fader steps
};

// The message of a group; one of no values for a group no message sets.
constexpr GroupMessage groupMessage(SettingsGroup group) {
    for (const GroupMessage &m : GroupMessages)
        if (m.group == group)
            return m;
    return {group, 0, 0, 0};
}
constexpr std::uint8_t StartRateAndSync = groupMessage(GroupRateAndSync).start;
constexpr std::uint8_t StartLock = groupMessage(GroupLock).start;
constexpr std::uint8_t StartSmux = groupMessage(GroupSmux).start;
constexpr std::uint8_t StartRouting = groupMessage(GroupRouting).start;
constexpr std::uint8_t StartFaders = groupMessage(GroupFaders).start;

// Every settings group's flag, and how many values they hold together.
constexpr unsigned allGroups() {
    unsigned all = 0;
    for (const GroupMessage &m : GroupMessages)
        all |= m.group;
    return all;
}
constexpr int settableCount() {
    int count = 0;
    for (const GroupMessage &m : GroupMessages)
        count += m.count;
    return count;
}

// How many values follow a SET_VALUES start index; 0 for an index no device knows.
constexpr std::size_t setValuesCount(std::uint8_t start) {
    for (const GroupMessage &m : GroupMessages)
        if (m.command == SET_VALUES && m.start == start)
            return m.count;
    return 0;
}

// Serial numbers: 28 bits; 0 addresses all devices, 1 is TavikRemote's placeholder window.
constexpr std::uint32_t MaxSerial = (1u << 28) - 1;
constexpr std::int32_t BroadcastSerial = 0;
constexpr std::int32_t PlaceholderSerial = 1;
// Whether a serial number belongs to a real device rather than the broadcast or the placeholder.
constexpr bool isDeviceSerial(std::int32_t serial) {
    return serial > PlaceholderSerial;
}

// The four 7-bit groups of a serial number, least significant first.
constexpr std::array<std::uint8_t, SerialGroups> packSerial(std::uint32_t serial) {
    return {std::uint8_t(serial & 0x7F), std::uint8_t((serial >> 7) & 0x7F),
            std::uint8_t((serial >> 14) & 0x7F), std::uint8_t((serial >> 21) & 0x7F)};
}

// The serial number from its four groups; bit 7 of each byte is not part of it.
constexpr std::uint32_t unpackSerial(const std::array<std::uint8_t, SerialGroups> &groups) {
    return std::uint32_t(groups[0] & 0x7F) | std::uint32_t(groups[1] & 0x7F) << 7 |
           std::uint32_t(groups[2] & 0x7F) << 14 | std::uint32_t(groups[3] & 0x7F) << 21;
}

// The 11-character form in which serial numbers are shown, e.g. 12345 -> 141-202-380: nine
// decimal digits d0 (most significant) to d8, shuffled and mixed into three groups of three.
inline std::string serialCode(std::uint32_t serial) {
    std::uint32_t rest = serial % 1000000000u;
    int d[9] = {};
    for (int i = 8; i >= 0; --i) {
        d[i] = int(rest % 10);
        rest /= 10;
    }
    auto c = [](int x, int y) { return (x + y) % 10; };
    const int digits[9] = {d[4], d[7], c(d[0], d[4]), d[5], d[2], c(d[1], d[5]), d[6], c(d[8], d[6]), d[3]};
    std::string code;
    code.reserve(11);
    for (int i = 0; i < 9; ++i) {
        if (i == 3 || i == 6)
            code += '-';
        code += char('0' + digits[i]);
    }
    return code;
}

// A complete message: at least MinimumSize bytes, F0 first and F7 last.
constexpr bool isFramed(const std::uint8_t *data, std::size_t size) {
    return data && size >= std::size_t(MinimumSize) && data[0] == SysExStart && data[size - 1] == SysExEnd;
}

// The manufacturer identifier at its place; false when the message is too short to hold it.
constexpr bool hasManufacturerId(const std::uint8_t *data, std::size_t size) {
    return data && size >= std::size_t(FamilyIndex) && data[1] == ManufacturerId[0] &&
           data[2] == ManufacturerId[1] && data[3] == ManufacturerId[2];
}

// The manufacturer identifier followed by this family byte.
constexpr bool hasHeader(const std::uint8_t *data, std::size_t size, std::uint8_t family) {
    return size > std::size_t(FamilyIndex) && hasManufacturerId(data, size) && data[FamilyIndex] == family;
}

// Appends F0, the manufacturer identifier, the family, the serial number and the command to
// any container of bytes (the payload and F7 are the caller's).
template <class Bytes>
void appendHeader(Bytes &msg, std::uint8_t family, std::uint32_t serial, std::uint8_t command) {
    const std::array<std::uint8_t, SerialGroups> groups = packSerial(serial);
    msg.push_back(SysExStart);
    msg.insert(msg.end(), ManufacturerId.begin(), ManufacturerId.end());
    msg.push_back(family);
    msg.insert(msg.end(), groups.begin(), groups.end());
    msg.push_back(command);
}
} // namespace TavikSysEx
