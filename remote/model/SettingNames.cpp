#include "model/SettingNames.h"

#include "model/TavikConfiguration.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <cmath>

TAVIK_REVISION("SettingNames.cpp");

namespace {
constexpr double RateKhz[] = {0.0, 32.0, 44.1, 48.0, 88.2, 96.0, 192.0};
constexpr int MaxRate = 6;
const char *const SyncKeys[] = {"master", "madi", "adat", "bnc"};
constexpr int MadiSync = 1;

const char *const SmuxKeys[] = {"madi_44.1", "madi_48", "adat_44.1", "adat_48"};
const char *const SmuxTexts[] = {"MADI 44.1", "MADI 48", "ADAT 44.1", "ADAT 48"};
constexpr double Smux441[] = {44.1, 88.2};
constexpr double Smux48[] = {48.0, 96.0, 192.0};

const char *const RangeKeys[] = {"32-48k", "88-96k", "192k"};
const char *const RangeTexts[] = {"32/44.1/48 kHz", "88.2/96 kHz", "192 kHz"};
constexpr int RangeBlocks[] = {4, 2, 1};
const char *const KindKeys[] = {"analog_in", "adat_in", "analog_out", "adat_out"};
const char *const KindTexts[] = {"analog inputs", "ADAT inputs", "analog outputs", "ADAT outputs"};
// What the value after the MADI blocks selects, by kind.
const char *const KindLast[] = {"off", "off", "ADAT", "analog"};

bool same(double a, double b) {
    return std::fabs(a - b) < 1e-6;
}

bool isLux(quint8 family) {
    return family == TavikSysEx::FamilyLux;
}

bool validRouting(int index) {
    return index >= 0 && index < SettingNames::RoutingCount;
}
} // namespace

QString SettingNames::familyKey(quint8 family) {
    if (family == TavikSysEx::FamilyNeo)
        return QStringLiteral("neo");
    if (family == TavikSysEx::FamilyLux)
        return QStringLiteral("lux");
    return QString();
}

QString SettingNames::familyName(quint8 family) {
    const QString key = familyKey(family);
    if (key.isEmpty())
        return QString();
    return QStringLiteral("Tavik ") + key.at(0).toUpper() + key.mid(1);
}

quint8 SettingNames::familyFromKey(const QString &key) {
    if (key == QLatin1String("neo"))
        return TavikSysEx::FamilyNeo;
    if (key == QLatin1String("lux"))
        return TavikSysEx::FamilyLux;
    return 0;
}

double SettingNames::rateKhz(int code) {
    return code >= 1 && code <= MaxRate ? RateKhz[code] : 0.0;
}

int SettingNames::rateCode(double khz) {
    for (int code = 1; code <= MaxRate; ++code)
        if (same(RateKhz[code], khz))
            return code;
    return 0;
}

QString SettingNames::rateText(int code) {
    return code >= 1 && code <= MaxRate ? TavikConfiguration::frequencyName(code) : QString();
}

bool SettingNames::takesRate(quint8 family, int code) {
    return code >= 1 && code <= (isLux(family) ? MaxRate - 1 : MaxRate);
}

QString SettingNames::syncKey(int code) {
    return code >= 0 && code < 4 ? QLatin1String(SyncKeys[code]) : QString();
}

int SettingNames::syncCode(const QString &key) {
    for (int code = 0; code < 4; ++code)
        if (key.compare(QLatin1String(SyncKeys[code]), Qt::CaseInsensitive) == 0)
            return code;
    return -1;
}

QString SettingNames::syncText(int code) {
    return TavikConfiguration::syncName(code);
}

bool SettingNames::takesSync(quint8 family, int code) {
    return code >= 0 && code < 4 && !(isLux(family) && code == MadiSync);
}

QString SettingNames::smuxKey(int index) {
    return index >= 0 && index < SmuxCount ? QLatin1String(SmuxKeys[index]) : QString();
}

QString SettingNames::smuxText(int index) {
    return index >= 0 && index < SmuxCount ? QLatin1String(SmuxTexts[index]) : QString();
}

bool SettingNames::hasSmuxGroup(quint8 family, int index) {
    return index >= 0 && index < SmuxCount && !(isLux(family) && index < 2);
}

int SettingNames::smuxChoices(int index) {
    return index % 2 == 0 ? 2 : 3;
}

double SettingNames::smuxKhz(int index, int value) {
    if (index < 0 || index >= SmuxCount || value < 0 || value >= smuxChoices(index))
        return 0.0;
    return index % 2 == 0 ? Smux441[value] : Smux48[value];
}

int SettingNames::smuxValue(int index, double khz) {
    for (int value = 0; index >= 0 && index < SmuxCount && value < smuxChoices(index); ++value)
        if (same(smuxKhz(index, value), khz))
            return value;
    return -1;
}

bool SettingNames::takesSmux(quint8 family, int index, int value) {
    if (!hasSmuxGroup(family, index) || value < 0 || value >= smuxChoices(index))
        return false;
    // The Lux reads no ADAT stream at 192 kHz.
    return !(isLux(family) && index == 3 && value == 2);
}

bool SettingNames::hasRouting(quint8 family) {
    return family == TavikSysEx::FamilyNeo;
}

QString SettingNames::routingRangeKey(int index) {
    return validRouting(index) ? QLatin1String(RangeKeys[index % 3]) : QString();
}

QString SettingNames::routingRangeText(int index) {
    return validRouting(index) ? QLatin1String(RangeTexts[index % 3]) : QString();
}

QString SettingNames::routingKindKey(int index) {
    return validRouting(index) ? QLatin1String(KindKeys[index / 3]) : QString();
}

QString SettingNames::routingKindText(int index) {
    return validRouting(index) ? QLatin1String(KindTexts[index / 3]) : QString();
}

int SettingNames::routingChoices(int index) {
    return validRouting(index) ? RangeBlocks[index % 3] + 1 : 0;
}

QString SettingNames::routingValueText(int index, int value) {
    if (value < 0 || value >= routingChoices(index))
        return QString();
    if (value < RangeBlocks[index % 3])
        return QStringLiteral("M") + QString::number(value + 1);
    return QLatin1String(KindLast[index / 3]);
}

int SettingNames::routingValue(int index, const QString &text) {
    for (int value = 0; value < routingChoices(index); ++value)
        if (text.compare(routingValueText(index, value), Qt::CaseInsensitive) == 0)
            return value;
    return -1;
}

bool SettingNames::isInputFader(int index) {
    return index >= 16;
}

int SettingNames::faderChannel(int index) {
    return index % 16 + 1;
}

QString SettingNames::faderText(int index) {
    return (isInputFader(index) ? QStringLiteral("Input channel ") : QStringLiteral("Output channel ")) +
           QString::number(faderChannel(index));
}

double SettingNames::gainDb(int index, int step) {
    return (isInputFader(index) ? -4.0 : -10.0) + 0.5 * step;
}

int SettingNames::gainStep(int index, double db) {
    const double steps = (db - gainDb(index, 0)) * 2.0;
    const double rounded = std::round(steps);
    if (!same(steps, rounded) || rounded < 0 || rounded > MaxFaderStep)
        return -1;
    return int(rounded);
}

QString SettingNames::gainText(int index, int step) {
    const double gain = gainDb(index, step);
    QString text = QString::number(gain, 'f', 1);
    if (gain > 0)
        text.prepend(QLatin1Char('+'));
    return text;
}
