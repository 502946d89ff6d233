// The .syx form of a snapshot: the SET_VALUES messages (start indices 0, 2, 16 and, on a Neo, 32)
// and the SET_FADERS message that restore the device's setup, addressed to its serial number and
// family, byte for byte as the MIDI link sends them; and the reader of such a file.
#pragma once

#include "model/DeviceSnapshot.h"
#include "protocol/MidiMessage.h"

#include <QByteArray>
#include <QStringList>

#include <optional>
#include <vector>

class SnapshotSysEx {
public:
    // The messages in the order above, one per group of the snapshot's family.
    static std::vector<MidiMessage> messages(const DeviceSnapshot &snapshot);
    // The same messages one after another, as a .syx file holds them.
    static QByteArray toBytes(const DeviceSnapshot &snapshot);
    // Reads a .syx file: every message must be a well-formed SET_VALUES of a known start index or a
    // SET_FADERS, all for one device, each group once, every value one the family takes. Null, with
    // the problems (each naming the message, counted from 1, and the byte), otherwise. The result
    // has the device's family, serial number and values; name, version and time stay empty.
    static std::optional<DeviceSnapshot> fromBytes(const QByteArray &bytes, QStringList *errors);
};
