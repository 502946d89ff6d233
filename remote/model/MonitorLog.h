// The last messages the link read and sent, as they were, for the MIDI monitor: a ring that drops the
// oldest, each message decoded when first asked for (with the decoder of `tavikctl monitor`).
#pragma once

#include "protocol/MidiMessage.h"

#include <QString>
#include <QtGlobal>

#include <deque>
#include <optional>

class DeviceRegistry;

class MonitorLog {
public:
    enum class Direction { In, Out };

    // One message in the monitor's words.
    struct Text {
        bool wellFormed = false;
        QString direction; // "in" or "out"
        QString time;      // "14:03:07.125", local time
        QString device;    // "141-202-380 Studio", "all" for the broadcast, empty when the message has none
        QString command;   // "GET_FADERS"; "malformed" or "malformed GET_FADERS"
        QString fields;    // the decoded values; for a malformed message why, and its bytes
    };

    struct Entry {
        Direction direction = Direction::In;
        qint64 timeMs = 0; // since the epoch
        MidiMessage bytes;
        qint32 serial = -1; // from the header; 0 is the broadcast, -1 when there is no Tavik header
        // The device's name as its record held it, taken when the message passes or, for a device not
        // known yet, once its record is there; empty until then.
        mutable QString name;
        mutable std::optional<Text> text;
    };

    static constexpr int kCapacity = 10000;

    // Names devices from the registry's records when it is given.
    explicit MonitorLog(const DeviceRegistry *registry = nullptr, int capacity = kCapacity);

    void append(Direction direction, const MidiMessage &message, qint64 timeMs);
    // Forgets every message; the numbering goes on.
    void clear();

    int size() const { return int(m_entries.size()); }
    int capacity() const { return m_capacity; }
    // Every message gets the next number; those kept are firstNumber() up to endNumber() - 1.
    qint64 firstNumber() const { return m_first; }
    qint64 endNumber() const { return m_first + qint64(m_entries.size()); }
    // The message of that number, or null when it was dropped (or is yet to come).
    const Entry *entry(qint64 number) const;

    // The entry decoded, worked out once (the device's name added when it becomes known).
    const Text &text(const Entry &entry) const;
    // The entry as one line of `tavikctl monitor`: "in   14:03:07.125  141-202-380 Studio  GET_FADERS  ...".
    QString line(const Entry &entry) const;
    // The serial number in the header of a Tavik message, or -1.
    static qint32 headerSerial(const MidiMessage &message);

private:
    const DeviceRegistry *m_registry;
    int m_capacity;
    qint64 m_first = 0;
    std::deque<Entry> m_entries;
};
