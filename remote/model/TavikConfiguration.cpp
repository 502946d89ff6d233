#include "model/TavikConfiguration.h"

#include "model/DeviceClock.h"
#include "protocol/LogSwitch.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <cstring>

TAVIK_REVISION("TavikConfiguration.cpp");

namespace {
constexpr quint8 MaxRate = 6;
} // namespace

TavikConfiguration::TavikConfiguration(qint32 serialNo)
    : serialNo(serialNo), lastResponseTime(DeviceClock::now()) {}

TavikConfiguration::~TavikConfiguration() = default;

QString TavikConfiguration::frequencyName(int code) {
    static const char *const names[] = {"---",      "32 kHz", "44.1 kHz", "48 kHz",
                                        "88.2 kHz", "96 kHz", "192 kHz"};
    if (code < 0 || code > MaxRate)
        return QString();
    return QString::fromLatin1(names[code]);
}

QString TavikConfiguration::syncName(int code) {
    switch (code) {
    case 0:
        return tr("Master");
    case 1:
        return tr("MADI");
    case 2:
        return tr("ADAT");
    case 3:
        return tr("BNC");
    default:
        return QString();
    }
}

bool TavikConfiguration::setDeviceName(const char (&name)[17]) {
    for (int i = 0; i < 17; ++i) {
        if (deviceName[i] != name[i])
            break;
        if (name[i] == '\0')
            return true;
    }
    std::memcpy(deviceName, name, sizeof deviceName);
    return false;
}

std::array<quint8, 32> &TavikConfiguration::imageOf(SettingTable::Report report) {
    return report == SettingTable::Report::Config   ? configImage
           : report == SettingTable::Report::Status ? statusImage
                                                    : faderImage;
}

const std::array<quint8, 32> &TavikConfiguration::imageOf(SettingTable::Report report) const {
    return const_cast<TavikConfiguration *>(this)->imageOf(report);
}

quint8 TavikConfiguration::value(const SettingTable::Setting &setting) const {
    return quint8((imageOf(setting.report)[size_t(setting.byte - TavikSysEx::PayloadIndex)] >> setting.shift) &
                  ((1u << setting.bits) - 1));
}

bool TavikConfiguration::setValue(const SettingTable::Setting &setting, quint32 value) {
    if (value > quint32(setting.highestStored()))
        return false;
    quint8 &byte = imageOf(setting.report)[size_t(setting.byte - TavikSysEx::PayloadIndex)];
    const unsigned mask = ((1u << setting.bits) - 1) << setting.shift;
    byte = quint8((byte & ~mask) | (value << setting.shift));
    return true;
}

void TavikConfiguration::setSMUX(quint8 index, quint8 value) {
    if (index > 3) {
        LogSwitch::warning(QStringLiteral("setSMUX(): value out of range!"));
        return;
    }
    setValue(*SettingTable::at(SettingTable::Smux, index), value);
}

quint8 TavikConfiguration::getRouting(quint8 index) const {
    if (index > 11) {
        LogSwitch::warning(QStringLiteral("getRouting(): index out of range!"));
        return 0;
    }
    return value(*SettingTable::at(SettingTable::Routing, index));
}

void TavikConfiguration::setRouting(quint8 index, quint8 value) {
    if (index > 11) {
        LogSwitch::warning(QStringLiteral("setRouting(): index out of range!"));
        return;
    }
    setValue(*SettingTable::at(SettingTable::Routing, index), value);
}

void TavikConfiguration::setFaderValue(quint32 index, quint32 value) {
    if (index > 31) {
        LogSwitch::warning(QStringLiteral("setFaderValue(): faderNumber out of range!"));
        return;
    }
    if (!setValue(*SettingTable::at(SettingTable::Faders, int(index)), value))
        LogSwitch::warning(QStringLiteral("setFaderValue(): newFaderValue out of range!"));
}

void TavikConfiguration::setFaderSendPending(bool pending) {
    faderSendPending = pending;
    if (pending)
        faderSendTime = DeviceClock::now();
}

void TavikConfiguration::countFaderSend() {
    ++m_unacknowledgedFaderSends;
    m_lastFaderSendTime = DeviceClock::now();
}

void TavikConfiguration::countFaderAcknowledgement() {
    if (m_unacknowledgedFaderSends > 0)
        --m_unacknowledgedFaderSends;
}
