// Framing of Tavik SysEx messages: header, serial number groups, checks and hex text.
#include "sim/SysExFrame.h"

#include <QRegularExpression>
#include <QStringList>

SysExMessage SysExFrame::header(uint8_t family, uint32_t serial, uint8_t command) {
    SysExMessage msg;
    TavikSysEx::appendHeader(msg, family, serial, command);
    return msg;
}

SysExMessage SysExFrame::bare(uint8_t family, uint32_t serial, uint8_t command) {
    SysExMessage msg = header(family, serial, command);
    msg.push_back(End);
    return msg;
}

QString SysExFrame::problem(const SysExMessage &msg) {
    if (msg.size() < MinSize)
        return QStringLiteral("shorter than 11 bytes");
    if (!TavikSysEx::isFramed(msg.data(), msg.size()))
        return QStringLiteral("not framed by F0 ... F7");
    if (!TavikSysEx::hasManufacturerId(msg.data(), msg.size()))
        return QStringLiteral("other manufacturer");
    for (size_t i = 1; i + 1 < msg.size(); ++i)
        if (msg[i] & 0x80)
            return QStringLiteral("byte %1 at index %2 is not a data byte")
                .arg(QString::number(msg[i], 16).toUpper())
                .arg(i);
    return {};
}

uint32_t SysExFrame::serial(const SysExMessage &msg) {
    const size_t at = TavikSysEx::SerialIndex;
    return TavikSysEx::unpackSerial({msg[at], msg[at + 1], msg[at + 2], msg[at + 3]});
}

QString SysExFrame::toHex(const SysExMessage &msg) {
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(int(msg.size() * 3));
    for (size_t i = 0; i < msg.size(); ++i) {
        if (i)
            text += QLatin1Char(' ');
        text += QLatin1Char(digits[msg[i] >> 4]);
        text += QLatin1Char(digits[msg[i] & 0x0F]);
    }
    return text;
}

std::optional<SysExMessage> SysExFrame::fromHex(const QString &text) {
    SysExMessage msg;
    const QStringList tokens = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (const QString &token : tokens) {
        bool ok = false;
        const uint value = token.toUInt(&ok, 16);
        if (!ok || token.size() > 2 || value > 0xFF)
            return std::nullopt;
        msg.push_back(uint8_t(value));
    }
    return msg;
}
