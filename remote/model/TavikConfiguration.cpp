#include "model/TavikConfiguration.h"

#include "model/DeviceClock.h"
#include "protocol/LogSwitch.h"
#include "protocol/RevisionInfo.h"

#include <cstring>

TAVIK_REVISION("TavikConfiguration.cpp");

namespace {
constexpr quint8 MaxRate = 6;
constexpr quint8 MaxSync = 3;
constexpr quint32 MaxFaderValue = 28;
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

void TavikConfiguration::setFrequency(quint8 value) {
    if (value <= MaxRate)
        frequency = value;
}

void TavikConfiguration::setSync(quint8 value) {
    if (value <= MaxSync)
        sync = value;
}

void TavikConfiguration::setSMUX(quint8 index, quint8 value) {
    if (index > 3) {
        LogSwitch::warning(QStringLiteral("setSMUX(): value out of range!"));
        return;
    }
    smux[index] = value;
}

quint8 TavikConfiguration::getRouting(quint8 index) const {
    if (index > 11) {
        LogSwitch::warning(QStringLiteral("getRouting(): index out of range!"));
        return 0;
    }
    return routing[index];
}

void TavikConfiguration::setRouting(quint8 index, quint8 value) {
    if (index > 11) {
        LogSwitch::warning(QStringLiteral("setRouting(): index out of range!"));
        return;
    }
    routing[index] = value;
}

void TavikConfiguration::setBncRate(quint8 value) {
    if (value <= MaxRate)
        bncRate = value;
}

void TavikConfiguration::setAdatARate(quint8 value) {
    if (value <= MaxRate)
        adatARate = value;
}

void TavikConfiguration::setAdatBRate(quint8 value) {
    if (value <= MaxRate)
        adatBRate = value;
}

void TavikConfiguration::setMadiRate(quint8 value) {
    if (value <= MaxRate)
        madiRate = value;
}

void TavikConfiguration::setLockedRate(quint8 value) {
    if (value <= MaxRate)
        lockedRate = value;
}

void TavikConfiguration::setFaderValue(quint32 index, quint32 value) {
    if (index > 31) {
        LogSwitch::warning(QStringLiteral("setFaderValue(): faderNumber out of range!"));
        return;
    }
    if (value > MaxFaderValue) {
        LogSwitch::warning(QStringLiteral("setFaderValue(): newFaderValue out of range!"));
        return;
    }
    faderValue[index] = quint8(value);
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
