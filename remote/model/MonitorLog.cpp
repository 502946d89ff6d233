#include "model/MonitorLog.h"

#include "model/DeviceRegistry.h"
#include "model/MessageDecoder.h"
#include "model/TavikConfiguration.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QDateTime>

TAVIK_REVISION("MonitorLog.cpp");

namespace {
QString recordName(const DeviceRegistry *registry, qint32 serial) {
    const TavikConfiguration *cfg = registry && serial >= DeviceRegistry::FirstDeviceSerial
                                        ? registry->getConfiguration(serial)
                                        : nullptr;
    return cfg ? QString::fromLatin1(cfg->getDeviceName()) : QString();
}
} // namespace

MonitorLog::MonitorLog(const DeviceRegistry *registry, int capacity)
    : m_registry(registry), m_capacity(qMax(1, capacity)) {}

qint32 MonitorLog::headerSerial(const MidiMessage &m) {
    using namespace TavikSysEx;
    if (m.size() < size_t(HeaderSize) ||
        (!hasHeader(m.data(), m.size(), FamilyNeo) && !hasHeader(m.data(), m.size(), FamilyLux)))
        return -1;
    for (int i = 0; i < SerialGroups; ++i)
        if (m[size_t(SerialIndex + i)] >= 0x80)
            return -1;
    return qint32(unpackSerial({m[SerialIndex], m[SerialIndex + 1], m[SerialIndex + 2], m[SerialIndex + 3]}));
}

void MonitorLog::append(Direction direction, const MidiMessage &message, qint64 timeMs) {
    Entry entry;
    entry.direction = direction;
    entry.timeMs = timeMs;
    entry.bytes = message;
    entry.serial = headerSerial(message);
    entry.name = recordName(m_registry, entry.serial);
    m_entries.push_back(std::move(entry));
    if (int(m_entries.size()) > m_capacity) {
        m_entries.pop_front();
        ++m_first;
    }
}

void MonitorLog::clear() {
    m_first = endNumber();
    m_entries.clear();
}

const MonitorLog::Entry *MonitorLog::entry(qint64 number) const {
    if (number < m_first || number >= endNumber())
        return nullptr;
    return &m_entries[size_t(number - m_first)];
}

const MonitorLog::Text &MonitorLog::text(const Entry &entry) const {
    if (!entry.text) {
        const MessageDecoder::Decoded d = MessageDecoder::decode(entry.bytes);
        Text t;
        t.wellFormed = d.wellFormed;
        t.direction = entry.direction == Direction::In ? QStringLiteral("in") : QStringLiteral("out");
        t.time = QDateTime::fromMSecsSinceEpoch(entry.timeMs).toString(QStringLiteral("HH:mm:ss.zzz"));
        if (entry.serial == TavikSysEx::BroadcastSerial)
            t.device = QStringLiteral("all");
        else if (entry.serial > 0)
            t.device = MidiCodec::serialCode(entry.serial) +
                       (entry.name.isEmpty() ? QString() : QLatin1Char(' ') + entry.name);
        if (d.wellFormed) {
            t.command = d.command;
            t.fields = d.fields;
        } else {
            t.command = QStringLiteral("malformed") +
                        (d.command.isEmpty() ? QString() : QLatin1Char(' ') + d.command);
            t.fields = d.fields + QStringLiteral("  [") + MessageDecoder::hex(entry.bytes) + QLatin1Char(']');
        }
        entry.text = std::move(t);
    }
    // A device's first reply passes before its record exists: its name comes with the record.
    if (entry.name.isEmpty() && entry.serial >= DeviceRegistry::FirstDeviceSerial) {
        entry.name = recordName(m_registry, entry.serial);
        if (!entry.name.isEmpty())
            entry.text->device += QLatin1Char(' ') + entry.name;
    }
    return *entry.text;
}

QString MonitorLog::line(const Entry &entry) const {
    const Text &t = text(entry);
    QString line = t.direction.leftJustified(5) + t.time + QStringLiteral("  ");
    if (!t.device.isEmpty())
        line += t.device + QStringLiteral("  ");
    line += t.command;
    if (!t.fields.isEmpty())
        line += QStringLiteral("  ") + t.fields;
    return line;
}
