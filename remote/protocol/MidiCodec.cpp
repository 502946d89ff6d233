#include "protocol/MidiCodec.h"

#include "protocol/LogSwitch.h"
#include "protocol/RevisionInfo.h"

TAVIK_REVISION("MidiCodec.cpp");

namespace {
bool inside(const MidiMessage *msg, int index, int width) {
    return msg && index >= 0 && width >= 0 &&
           static_cast<size_t>(index) + static_cast<size_t>(width) <= msg->size();
}

bool hasPrefix(const MidiMessage *msg, unsigned char family) {
    return msg && TavikSysEx::hasHeader(msg->data(), msg->size(), family);
}
} // namespace

unsigned char MidiCodec::readChar8(const MidiMessage *msg, int index) {
    if (!inside(msg, index, 1)) {
        LogSwitch::warning(QStringLiteral("MIDI::readChar8(): msg is NULL or index out of range!"));
        return 0;
    }
    return (*msg)[index];
}

unsigned char MidiCodec::readChar4(const MidiMessage *msg, int index, bool low) {
    if (!msg) {
        LogSwitch::warning(QStringLiteral("MIDI::readChar4(): msg is NULL!"));
        return 0;
    }
    if (!inside(msg, index, 1)) {
        LogSwitch::warning(QStringLiteral("MIDI::readChar4(): index out of range!"));
        return 0;
    }
    const unsigned char byte = (*msg)[index];
    return low ? (byte & 0x0F) : (byte >> 4);
}

qint32 MidiCodec::readInt32(const MidiMessage *msg, int index) {
    if (!inside(msg, index, 4)) {
        LogSwitch::warning(
            QStringLiteral(
                "Attempt discovered to fetch int32 from MIDI-msg outside of message! Index was %1.")
                .arg(index));
        return -1;
    }
    const MidiMessage &m = *msg;
    return qint32(TavikSysEx::unpackSerial({m[index], m[index + 1], m[index + 2], m[index + 3]}));
}

qint32 MidiCodec::readInt16(const MidiMessage *msg, int index) {
    if (!inside(msg, index, 2)) {
        LogSwitch::warning(
            QStringLiteral(
                "Attempt discovered to fetch int16 from MIDI-msg outside of message! Index was %1.")
                .arg(index));
        return -1;
    }
    const MidiMessage &m = *msg;
    return qint32(m[index] & 0x7F) | (qint32(m[index + 1] & 0x7F) << 7);
}

bool MidiCodec::parseMsgIsSysExType(const MidiMessage *msg) {
    if (!msg) {
        LogSwitch::warning(QStringLiteral("MIDI::parseMsgIsSysExType(): msg is NULL!"));
        return false;
    }
    if (msg->size() < static_cast<size_t>(TavikSysEx::MinimumSize)) {
        LogSwitch::warning(QStringLiteral("parseMsgIsSysExType(): msg size less than 11 (truncated msg!)"));
        return false;
    }
    if (!TavikSysEx::isFramed(msg->data(), msg->size()))
        return false;
    TAVIK_DEBUG(QStringLiteral("MIDI message is of type SysEx!"));
    return true;
}

bool MidiCodec::parseMsgIsForTavikNeo(const MidiMessage *msg) {
    if (!hasPrefix(msg, TavikSysEx::FamilyNeo))
        return false;
    TAVIK_DEBUG(QStringLiteral("MIDI message is for a KalVenso Tavik-Neo!"));
    return true;
}

bool MidiCodec::parseMsgIsForTavikLux(const MidiMessage *msg) {
    return hasPrefix(msg, TavikSysEx::FamilyLux);
}

void MidiCodec::prepMsgSysExStart(MidiMessage *msg) {
    if (!msg || !msg->empty()) {
        LogSwitch::warning(QStringLiteral("MIDI::prepMsgSysExStart(): msg is NULL or size() is not 0!"));
        return;
    }
    msg->push_back(TavikSysEx::SysExStart);
}

void MidiCodec::prepMsgManufacturerId(MidiMessage *msg) {
    if (!msg)
        return;
    msg->insert(msg->end(), TavikSysEx::ManufacturerId.begin(), TavikSysEx::ManufacturerId.end());
}

MidiMessage *MidiCodec::prepMsgHeader(unsigned char family) {
    auto *msg = new MidiMessage;
    msg->reserve(48);
    prepMsgSysExStart(msg);
    prepMsgManufacturerId(msg);
    msg->push_back(family);
    return msg;
}

void MidiCodec::prepMsgSerialNumber(MidiMessage *msg, qint32 serial) {
    if (!msg)
        return;
    const auto groups = TavikSysEx::packSerial(static_cast<quint32>(serial));
    msg->insert(msg->end(), groups.begin(), groups.end());
}

void MidiCodec::prepMsgSysExEnd(MidiMessage *msg) {
    if (msg)
        msg->push_back(TavikSysEx::SysExEnd);
}

namespace {
const char HexDigits[] = "0123456789abcdef";

// Writes "0x" and the value in lower-case hex, at least two digits, at out; returns the end.
QChar *writeHex(QChar *out, unsigned int value) {
    int count = 2;
    while (count < 8 && (value >> (4 * count)) != 0)
        ++count;
    *out++ = QLatin1Char('0');
    *out++ = QLatin1Char('x');
    for (int shift = 4 * (count - 1); shift >= 0; shift -= 4)
        *out++ = QLatin1Char(HexDigits[(value >> shift) & 0xF]);
    return out;
}
} // namespace

QString MidiCodec::hexText(unsigned int value) {
    QChar buffer[10];
    return QString(buffer, int(writeHex(buffer, value) - buffer));
}

QString MidiCodec::dumpText(const MidiMessage *msg, bool incoming, double stamp) {
    const size_t n = msg ? msg->size() : 0;
    // Each byte takes "0x<index>:0x<byte>, " (at most 2 + 8 + 1 + 4 + 2 characters), written in place
    // rather than appended piece by piece: a dump runs for every message while the log is on.
    QString text;
    text.reserve(96 + qsizetype(n) * 17);
    text += QLatin1String("*** Printing ");
    text += incoming ? QLatin1String("MIDI-IN") : QLatin1String("MIDI-OUT");
    text += QLatin1String(" message, message size = ");
    text += QString::number(n);
    text += QLatin1String(" ***\n");
    const qsizetype head = text.size();
    text.resize(head + qsizetype(n) * 17);
    QChar *out = text.data() + head;
    for (size_t i = 0; i < n; ++i) {
        out = writeHex(out, unsigned(i));
        *out++ = QLatin1Char(':');
        out = writeHex(out, (*msg)[i]);
        if (i % 17 == 16) {
            *out++ = QLatin1Char('\n');
        } else {
            *out++ = QLatin1Char(',');
            *out++ = QLatin1Char(' ');
        }
    }
    text.truncate(out - text.constData());
    if (n > 0 && stamp != -1.0) {
        text += QLatin1String("stamp = ");
        text += QString::number(stamp);
    }
    return text;
}

void MidiCodec::printMsg(const MidiMessage *msg, bool incoming, double stamp) {
    TAVIK_DEBUG(dumpText(msg, incoming, stamp));
}

QString MidiCodec::serialCode(qint32 serial) {
    return QString::fromStdString(TavikSysEx::serialCode(static_cast<quint32>(serial)));
}
