#include "model/MessageDecoder.h"

#include "model/SettingNames.h"
#include "model/SettingTable.h"
#include "model/TavikConfiguration.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

TAVIK_REVISION("MessageDecoder.cpp");

using namespace TavikSysEx;

namespace {
struct CommandInfo {
    quint8 code;
    const char *name;
    size_t size; // the whole message; 0 when it varies
};
const CommandInfo Commands[] = {
    {SEND_VERSION, "SEND_VERSION", 11},
    {SET_VALUES, "SET_VALUES", 0},
    {SET_FADERS, "SET_FADERS", 44},
    {PICTURE_CHUNK, "PICTURE_CHUNK", 0},
    {UPDATE, "UPDATE", 0},
    {SEND_INFO, "SEND_INFO", 11},
    {GET_VERSION, "GET_VERSION", 29},
    {ACK_VALUES, "ACK_VALUES", 11},
    {ACK_FADERS, "ACK_FADERS", 11},
    {ACK_PIC, "ACK_PIC", 0},
    {ACK_UPDATE, "ACK_UPDATE", 0},
    {ACK_INFO, "ACK_INFO", 11},
    {GET_CONFIG, "GET_CONFIG", SettingTable::reportSize(SettingTable::Report::Config)},
    {GET_STATUS, "GET_STATUS", SettingTable::reportSize(SettingTable::Report::Status)},
    {GET_FADERS, "GET_FADERS", 43},
};

// "Sample rate 48 kHz" style: a value's name in the pages' words, then its value.
QString valueField(const SettingTable::Setting &setting, quint8 value) {
    return setting.field + QLatin1Char(' ') + setting.text(value);
}

// The 32 fader steps starting at index: "out1 -10.0 ... in16 -3.0" (in dB).
QString faderFields(const MidiMessage &m, size_t index) {
    QString text;
    for (int i = 0; i < SettingTable::FaderCount; ++i) {
        const quint8 step = m[index + size_t(i)];
        text += (i ? QStringLiteral(" ") : QString()) +
                (SettingNames::isInputFader(i) ? QStringLiteral("in") : QStringLiteral("out")) +
                QString::number(SettingNames::faderChannel(i)) + QLatin1Char(' ') +
                (step <= SettingNames::MaxFaderStep ? SettingNames::gainText(i, step)
                                                    : QStringLiteral("?%1").arg(step));
    }
    return text + QStringLiteral(" dB");
}

QString join(const QStringList &parts) {
    return parts.join(QStringLiteral(", "));
}

// The settings of a configuration report that the family has, in message order.
QString configFields(const MidiMessage &m) {
    QStringList parts;
    for (const SettingTable::Setting &s : SettingTable::rows())
        if (!s.readOnly() && s.report == SettingTable::Report::Config && s.has(m[FamilyIndex]))
            parts << valueField(s, s.read(m.data()));
    return join(parts);
}

// Each digital input: "MADI 48 kHz signal locked".
QString statusFields(const MidiMessage &m) {
    QStringList parts;
    for (const SettingTable::Input &input : SettingTable::inputs(m[FamilyIndex])) {
        QString text = input.text + QLatin1Char(' ') + TavikConfiguration::frequencyName(input.rate->read(m.data())) +
                       (input.signal->read(m.data()) ? QStringLiteral(" signal") : QStringLiteral(" no signal"));
        if (input.lock)
            text += input.lock->read(m.data()) ? QStringLiteral(" locked") : QStringLiteral(" unlocked");
        parts << text;
    }
    return join(parts);
}

QString setValuesFields(const MidiMessage &m, QString *problem) {
    if (m.size() < 12) {
        *problem = QStringLiteral("no start index");
        return {};
    }
    const quint8 start = m[PayloadIndex];
    const size_t count = setValuesCount(start);
    if (count == 0 || m.size() != 12 + count) {
        *problem = count == 0 ? QStringLiteral("unknown start index %1").arg(start)
                              : QStringLiteral("%1 bytes for start index %2 (expected %3)")
                                    .arg(m.size())
                                    .arg(start)
                                    .arg(12 + count);
        return {};
    }
    SettingTable::Group group = SettingTable::RateAndSync;
    SettingTable::groupOfStart(start, &group);
    QStringList parts;
    for (size_t i = 0; i < count; ++i)
        parts << valueField(*SettingTable::at(group, int(i)), m[PayloadIndex + 1 + i]);
    return join(parts);
}
} // namespace

MessageDecoder::Decoded MessageDecoder::decode(const MidiMessage &m) {
    Decoded d;
    if (m.size() < 2 || m.front() != SysExStart || m.back() != SysExEnd) {
        d.fields = m.empty()
                       ? QStringLiteral("empty message")
                       : QStringLiteral("not a SysEx message of %1 bytes: no F0 ... F7 frame").arg(m.size());
        return d;
    }
    if (!hasHeader(m.data(), m.size(), FamilyNeo) && !hasHeader(m.data(), m.size(), FamilyLux)) {
        d.fields = QStringLiteral("SysEx, not for a Tavik device");
        return d;
    }
    d.family = m[FamilyIndex];
    if (m.size() < size_t(MinimumSize)) {
        d.fields = QStringLiteral("%1 bytes, shorter than a Tavik header").arg(m.size());
        return d;
    }
    for (size_t i = 1; i + 1 < m.size(); ++i)
        if (m[i] >= 0x80) {
            d.fields = QStringLiteral("byte %1 is 0x%2, not a 7-bit data byte")
                           .arg(i)
                           .arg(m[i], 2, 16, QLatin1Char('0'));
            return d;
        }
    d.serial =
        qint32(unpackSerial({m[SerialIndex], m[SerialIndex + 1], m[SerialIndex + 2], m[SerialIndex + 3]}));
    const quint8 code = m[CommandIndex];
    const CommandInfo *info = nullptr;
    for (const CommandInfo &c : Commands)
        if (c.code == code)
            info = &c;
    if (!info) {
        d.fields = QStringLiteral("unknown command 0x%1").arg(code, 2, 16, QLatin1Char('0'));
        return d;
    }
    d.command = QLatin1String(info->name);
    if (info->size && m.size() != info->size) {
        d.fields = QStringLiteral("%1 bytes (expected %2)").arg(m.size()).arg(info->size);
        return d;
    }
    QString problem;
    switch (code) {
    case GET_VERSION: {
        QString name;
        // Padded with 0x00 or 0x7F, as the record reads it; other control bytes shown as '?'.
        for (size_t i = 12; i < 28 && m[i] != 0 && m[i] != 0x7F; ++i)
            name += m[i] < 0x20 ? QLatin1Char('?') : QLatin1Char(char(m[i]));
        d.fields = QStringLiteral("%1, version %2.%3").arg(name).arg(m[10]).arg(m[11]);
        break;
    }
    case GET_CONFIG:
        d.fields = configFields(m);
        break;
    case GET_STATUS:
        d.fields = statusFields(m);
        break;
    case GET_FADERS:
        d.fields = faderFields(m, 10);
        break;
    case SET_FADERS:
        if (m[PayloadIndex] != StartFaders)
            problem = QStringLiteral("start index %1 (expected %2)").arg(m[PayloadIndex]).arg(StartFaders);
        else
            d.fields = faderFields(m, 11);
        break;
    case SET_VALUES:
        d.fields = setValuesFields(m, &problem);
        break;
    case PICTURE_CHUNK:
        d.fields = m.size() > 11 ? QStringLiteral("chunk %1, %2 bytes").arg(m[PayloadIndex]).arg(m.size())
                                 : QStringLiteral("%1 bytes").arg(m.size());
        break;
    default:
        break;
    }
    if (!problem.isEmpty()) {
        d.fields = problem;
        return d;
    }
    d.wellFormed = true;
    return d;
}

QStringList MessageDecoder::commandNames() {
    QStringList names;
    for (const CommandInfo &c : Commands)
        names << QLatin1String(c.name);
    return names;
}

QString MessageDecoder::hex(const MidiMessage &message) {
    QString text;
    text.reserve(qsizetype(message.size()) * 3);
    for (unsigned char byte : message) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}
