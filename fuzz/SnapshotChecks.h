// Properties every snapshot a reader accepts must have, for the two snapshot readers' targets: the
// identity and every value in the ranges the devices take (the ranges written out here, not asked
// of the code under test), and the written forms reading back to the same snapshot.
#pragma once

#include "model/DeviceSnapshot.h"
#include "model/SnapshotSysEx.h"
#include "sysex/TavikSysEx.h"

#include <QByteArray>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace SnapshotChecks {

inline void require(bool condition) {
    if (!condition)
        std::abort();
}

inline bool sameValues(const DeviceSnapshot::Values &a, const DeviceSnapshot::Values &b) {
    return a == b;
}

// A reader's answer: a snapshot and no problem, or problems (none of them empty) and no snapshot.
inline void requireClearAnswer(const std::optional<DeviceSnapshot> &read, const QStringList &errors) {
    require(read.has_value() == errors.isEmpty());
    for (const QString &error : errors)
        require(!error.isEmpty());
}

inline void requireInRange(const DeviceSnapshot &s) {
    const bool lux = s.family() == TavikSysEx::FamilyLux;
    require(s.family() == TavikSysEx::FamilyNeo || lux);
    require(s.serial() >= 2 && quint32(s.serial()) <= TavikSysEx::MaxSerial);
    require(s.name().size() <= 16);
    for (QChar c : s.name())
        require(c.unicode() >= 0x20 && c.unicode() <= 0x7E);

    const DeviceSnapshot::Values &v = s.values();
    const auto at = [&v](SettingTable::Group group, int slot) { return v[*SettingTable::at(group, slot)]; };
    // 32, 44.1, 48, 88.2, 96 kHz on both, 192 kHz on a Neo; master, MADI (Neo), ADAT, BNC.
    require(v["rate"] >= 1 && v["rate"] <= (lux ? 5 : 6));
    require(v["sync"] <= 3 && !(lux && v["sync"] == 1));
    require(v["lock"] <= 1);
    // SMUX: MADI 44.1, MADI 48 (Neo only, 0 on a Lux), ADAT 44.1, ADAT 48 (no 192 kHz on a Lux).
    const int smuxChoices[4] = {2, 3, 2, lux ? 2 : 3};
    for (int i = 0; i < 4; ++i)
        require(at(SettingTable::Smux, i) < smuxChoices[i] &&
                !(lux && i < 2 && at(SettingTable::Smux, i) != 0));
    // Routing (Neo only, 0 on a Lux): 4, 2 and 1 MADI blocks by rate range, plus off / ADAT / analog.
    const int routingChoices[3] = {5, 3, 2};
    for (int i = 0; i < 12; ++i)
        require(lux ? at(SettingTable::Routing, i) == 0
                    : at(SettingTable::Routing, i) < routingChoices[i % 3]);
    for (int i = 0; i < 32; ++i)
        require(at(SettingTable::Faders, i) <= 28);
    require(s.check().isEmpty());
}

// A snapshot file's reader: DeviceSnapshot::fromJson or SnapshotSysEx::fromBytes.
using Reader = std::optional<DeviceSnapshot> (*)(const QByteArray &, QStringList *);

// The reader given the fuzzer's bytes: its answer is clear and a snapshot it accepts is in range.
// Returns that snapshot for the target's own checks.
inline std::optional<DeviceSnapshot> readChecked(const uint8_t *data, size_t size, Reader reader) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList errors;
    const std::optional<DeviceSnapshot> read = reader(bytes, &errors);
    requireClearAnswer(read, errors);
    if (read)
        requireInRange(*read);
    return read;
}

// The .syx form of the snapshot reads back as its family, serial number and values.
inline void requireSysExRoundTrip(const DeviceSnapshot &s) {
    QStringList errors;
    const std::optional<DeviceSnapshot> back = SnapshotSysEx::fromBytes(SnapshotSysEx::toBytes(s), &errors);
    require(back && errors.isEmpty());
    require(back->family() == s.family() && back->serial() == s.serial());
    require(sameValues(back->values(), s.values()));
}

// The JSON form of the snapshot reads back as the whole snapshot, time, name and version included.
inline void requireJsonRoundTrip(const DeviceSnapshot &s) {
    QStringList errors;
    const std::optional<DeviceSnapshot> back = DeviceSnapshot::fromJson(s.toJson(), &errors);
    require(back && errors.isEmpty());
    require(back->family() == s.family() && back->serial() == s.serial());
    require(back->name() == s.name());
    require(back->version1() == s.version1() && back->version2() == s.version2());
    require(back->saved() == s.saved());
    require(sameValues(back->values(), s.values()));
}

} // namespace SnapshotChecks
