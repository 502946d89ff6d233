#include "model/SnapshotSysEx.h"

#include "model/SettingNames.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <memory>

TAVIK_REVISION("SnapshotSysEx.cpp");

using Group = DeviceSnapshot::Group;
using namespace TavikSysEx;

namespace {
QString startText(Group group) {
    const QString index = QString::number(SettingTable::startIndex(group));
    return group == SettingTable::Faders ? QStringLiteral("SET_FADERS")
                                         : QStringLiteral("SET_VALUES of start index ") + index;
}

// Checks one message and stores its values; the first message's device is the file's.
struct MessageReader {
    QStringList errors;
    quint8 family = 0;
    qint32 serial = 0;
    DeviceSnapshot::Values values;
    DeviceSnapshot::Groups seen;

    void fail(int message, int byte, const QString &problem) {
        errors << QStringLiteral("message %1, byte %2: ").arg(message).arg(byte) + problem;
    }

    void read(const quint8 *m, int size, int message) {
        if (size < MinimumSize + 1) {
            errors << QStringLiteral("message %1: %2 bytes, too short for SET_VALUES or SET_FADERS")
                          .arg(message)
                          .arg(size);
            return;
        }
        for (int i = 0; i < 3; ++i)
            if (m[ManufacturerIndex + i] != ManufacturerId[size_t(i)]) {
                fail(message, ManufacturerIndex + i,
                     MidiCodec::hexText(m[ManufacturerIndex + i]) +
                         QStringLiteral(" is not the manufacturer identifier's ") +
                         MidiCodec::hexText(ManufacturerId[size_t(i)]));
                return;
            }
        const quint8 messageFamily = m[FamilyIndex];
        if (messageFamily != FamilyNeo && messageFamily != FamilyLux) {
            fail(message, FamilyIndex, MidiCodec::hexText(messageFamily) + QStringLiteral(" is no family"));
            return;
        }
        const qint32 messageSerial = qint32(
            unpackSerial({m[SerialIndex], m[SerialIndex + 1], m[SerialIndex + 2], m[SerialIndex + 3]}));
        if (!isDeviceSerial(messageSerial)) {
            fail(message, SerialIndex,
                 QStringLiteral("serial number ") + QString::number(messageSerial) +
                     QStringLiteral(" is not a device's"));
            return;
        }
        if (family == 0) {
            family = messageFamily;
            serial = messageSerial;
        } else if (messageFamily != family) {
            fail(message, FamilyIndex,
                 QStringLiteral("family ") + MidiCodec::hexText(messageFamily) +
                     QStringLiteral(" differs from the first message's ") + MidiCodec::hexText(family));
            return;
        } else if (messageSerial != serial) {
            fail(message, SerialIndex,
                 QStringLiteral("serial number ") + QString::number(messageSerial) +
                     QStringLiteral(" differs from the first message's ") + QString::number(serial));
            return;
        }
        const quint8 command = m[CommandIndex];
        const quint8 start = m[PayloadIndex];
        Group group = SettingTable::Faders;
        if (command == SET_VALUES) {
            if (!SettingTable::groupOfStart(start, &group)) {
                fail(message, PayloadIndex,
                     QStringLiteral("start index ") + QString::number(start) + QStringLiteral(" is unknown"));
                return;
            }
            if (group == SettingTable::Routing && !SettingNames::hasRouting(family)) {
                fail(message, PayloadIndex,
                     QStringLiteral("start index 32: a ") + SettingNames::familyName(family) +
                         QStringLiteral(" has no routing"));
                return;
            }
        } else if (command == SET_FADERS) {
            if (start != StartFaders) {
                fail(message, PayloadIndex,
                     MidiCodec::hexText(start) + QStringLiteral(" is not SET_FADERS' start index ") +
                         MidiCodec::hexText(StartFaders));
                return;
            }
        } else {
            fail(message, CommandIndex,
                 MidiCodec::hexText(command) +
                     QStringLiteral(" is neither SET_VALUES (0x01) nor SET_FADERS (0x02)"));
            return;
        }
        const int count =
            group == SettingTable::Faders ? SettingNames::FaderCount : int(setValuesCount(start));
        if (size != PayloadIndex + 1 + count + 1) {
            fail(message, size - 1,
                 QStringLiteral("the end byte, where a ") + startText(group) +
                     QStringLiteral(" has it at byte ") + QString::number(PayloadIndex + 1 + count));
            return;
        }
        if (seen & group) {
            fail(message, PayloadIndex, startText(group) + QStringLiteral(" a second time"));
            return;
        }
        seen |= group;
        DeviceSnapshot::Values parsed = values;
        for (int slot = 0; slot < count; ++slot) {
            const quint8 value = m[PayloadIndex + 1 + slot];
            const QString problem = DeviceSnapshot::valueProblem(family, group, slot, value);
            if (!problem.isEmpty())
                fail(message, PayloadIndex + 1 + slot,
                     DeviceSnapshot::fieldName(group, slot) + QStringLiteral(": ") + problem);
            parsed[*SettingTable::at(group, slot)] = value;
        }
        values = parsed;
    }
};
} // namespace

std::vector<MidiMessage> SnapshotSysEx::messages(const DeviceSnapshot &snapshot) {
    std::vector<MidiMessage> out;
    for (Group group : SettingTable::groups()) {
        if (!(snapshot.groups() & group))
            continue;
        std::unique_ptr<MidiMessage> message(MidiCodec::prepMsgHeader(snapshot.family()));
        MidiCodec::prepMsgSerialNumber(message.get(), snapshot.serial());
        message->push_back(group == SettingTable::Faders ? SET_FADERS : SET_VALUES);
        message->push_back(SettingTable::startIndex(group));
        const QByteArray values = snapshot.groupValues(group);
        message->insert(message->end(), values.begin(), values.end());
        MidiCodec::prepMsgSysExEnd(message.get());
        out.push_back(std::move(*message));
    }
    return out;
}

QByteArray SnapshotSysEx::toBytes(const DeviceSnapshot &snapshot) {
    QByteArray bytes;
    for (const MidiMessage &message : messages(snapshot))
        bytes.append(reinterpret_cast<const char *>(message.data()), qsizetype(message.size()));
    return bytes;
}

std::optional<DeviceSnapshot> SnapshotSysEx::fromBytes(const QByteArray &bytes, QStringList *errors) {
    MessageReader reader;
    const auto *data = reinterpret_cast<const quint8 *>(bytes.constData());
    const int size = int(bytes.size());
    if (size == 0)
        reader.errors << QStringLiteral("file: no message");
    int message = 0;
    for (int pos = 0; pos < size;) {
        ++message;
        if (data[pos] != SysExStart) {
            reader.fail(message, 0,
                        MidiCodec::hexText(data[pos]) + QStringLiteral(" where a message starts (0xf0)"));
            break;
        }
        int end = pos + 1;
        while (end < size && data[end] < 0x80)
            ++end;
        if (end == size) {
            reader.errors << QStringLiteral("message %1: no end byte (0xf7)").arg(message);
            break;
        }
        if (data[end] != SysExEnd) {
            reader.fail(message, end - pos,
                        MidiCodec::hexText(data[end]) + QStringLiteral(" is not a data byte"));
            break;
        }
        reader.read(data + pos, end - pos + 1, message);
        pos = end + 1;
    }
    if (reader.errors.isEmpty()) {
        DeviceSnapshot probe(reader.family, reader.serial, reader.values);
        for (Group group : SettingTable::groups())
            if ((probe.groups() & group) && !(reader.seen & group))
                reader.errors << QStringLiteral("file: no ") + startText(group);
    }
    if (errors)
        *errors = reader.errors;
    if (!reader.errors.isEmpty())
        return std::nullopt;
    return DeviceSnapshot(reader.family, reader.serial, reader.values);
}
