#include "model/SettingTable.h"

#include "model/SettingNames.h"
#include "model/TavikConfiguration.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <algorithm>
#include <map>

TAVIK_REVISION("SettingTable.cpp");

using Setting = SettingTable::Setting;
using Kind = SettingTable::Kind;
using Report = SettingTable::Report;

namespace {
// The digital inputs: key, words, rate (byte, shift), signal bit, lock bit (-1: none).
struct InputPlace {
    const char *key;
    const char *text;
    int byte;
    int shift;
    int signalBit;
    int lockBit;
};
constexpr InputPlace InputPlaces[] = {{"madi", "MADI", 10, 4, 0, 4},
                                      {"adat_a", "ADAT A", 11, 0, 1, 5},
                                      {"adat_b", "ADAT B", 11, 4, 2, 6},
                                      {"bnc", "BNC", 10, 0, 3, -1}};
constexpr int StatusFlagsByte = 13;

std::vector<Setting> buildRows() {
    std::vector<Setting> rows;
    auto add = [&rows](const QString &key, const QString &field, SettingTable::Group group, int slot,
                       int index, Kind kind, Report report, int byte, int shift, int bits) {
        rows.push_back(
            {key, field, group, slot, index, kind, report, byte, shift, bits, int(rows.size()), false, {}});
    };
    // GET_CONFIG: byte 10 rate and sync, byte 11 lock and status screen, 12 and 13 SMUX, 14 to 19
    // routing; each a nibble, the low one first.
    add(QStringLiteral("rate"), QStringLiteral("Sample rate"), SettingTable::RateAndSync, 0, 0, Kind::Rate,
        Report::Config, 10, 0, 4);
    rows.back().logName = QStringLiteral("Frequency");
    rows.back().snapshotPlace = {QStringLiteral("settings"), QStringLiteral("sample_rate_khz")};
    add(QStringLiteral("sync"), QStringLiteral("Synchronization"), SettingTable::RateAndSync, 1, 0,
        Kind::Sync, Report::Config, 10, 4, 4);
    rows.back().logName = QStringLiteral("Sync");
    rows.back().snapshotPlace = {QStringLiteral("settings"), QStringLiteral("sync")};
    add(QStringLiteral("lock"), QStringLiteral("Locked"), SettingTable::Lock, 0, 0, Kind::OnOff,
        Report::Config, 11, 0, 4);
    rows.back().logName = QStringLiteral("Lock");
    rows.back().snapshotPlace = {QStringLiteral("settings"), QStringLiteral("lock")};
    for (int i = 0; i < SettingTable::SmuxCount; ++i) {
        add(QStringLiteral("smux.") + SettingNames::smuxKey(i),
            QStringLiteral("SMUX ") + SettingNames::smuxText(i), SettingTable::Smux, i, i, Kind::SmuxRate,
            Report::Config, 12 + i / 2, (i % 2) * 4, 4);
        rows.back().logName = QStringLiteral("Smux[%1]").arg(i);
        rows.back().snapshotPlace = {QStringLiteral("smux"), SettingNames::smuxKey(i)};
    }
    for (int i = 0; i < SettingTable::RoutingCount; ++i) {
        add(QStringLiteral("routing.") + SettingNames::routingRangeKey(i) + QLatin1Char('.') +
                SettingNames::routingKindKey(i),
            QStringLiteral("Routing ") + SettingNames::routingRangeText(i) + QStringLiteral(", ") +
                SettingNames::routingKindText(i),
            SettingTable::Routing, i, i, Kind::RoutingChoice, Report::Config, 14 + i / 2, (i % 2) * 4, 4);
        rows.back().logName = QStringLiteral("Routing[%1]").arg(i);
        rows.back().snapshotPlace = {QStringLiteral("routing"), SettingNames::routingRangeKey(i),
                                     SettingNames::routingKindKey(i)};
    }
    // GET_FADERS: the 32 steps from byte 10, the output channels first.
    for (int i = 0; i < SettingTable::FaderCount; ++i) {
        const bool input = SettingNames::isInputFader(i);
        add(QStringLiteral("fader.") + (input ? QStringLiteral("in.") : QStringLiteral("out.")) +
                QString::number(SettingNames::faderChannel(i)),
            SettingNames::faderText(i), SettingTable::Faders, i, i, Kind::Gain, Report::Faders, 10 + i, 0, 8);
        rows.back().snapshotPlace = {QStringLiteral("faders_db"),
                                     input ? QStringLiteral("input[]") : QStringLiteral("output[]")};
    }
    // Reported only.
    add(QStringLiteral("status_screen"), QStringLiteral("Status screen"), SettingTable::Reported, 0, 0,
        Kind::Number, Report::Config, 11, 4, 4);
    rows.back().logName = QStringLiteral("Status Screen");
    // GET_STATUS: byte 10 BNC and MADI rate, 11 ADAT A and B rate, 12 locked rate and a nibble
    // stored only, 13 the signal and lock flags.
    int slot = 1;
    for (int i = 0; i < int(std::size(InputPlaces)); ++i) {
        const InputPlace &p = InputPlaces[i];
        const QString key = QStringLiteral("input.") + QLatin1String(p.key) + QLatin1Char('.');
        const QString text = QStringLiteral("Digital input ") + QLatin1String(p.text);
        add(key + QStringLiteral("rate"), text + QStringLiteral(" rate"), SettingTable::Reported, slot++, i,
            Kind::InputRate, Report::Status, p.byte, p.shift, 4);
        add(key + QStringLiteral("signal"), text + QStringLiteral(" signal"), SettingTable::Reported, slot++,
            i, Kind::Flag, Report::Status, StatusFlagsByte, p.signalBit, 1);
        if (p.lockBit >= 0)
            add(key + QStringLiteral("lock"), text + QStringLiteral(" locked"), SettingTable::Reported,
                slot++, i, Kind::Flag, Report::Status, StatusFlagsByte, p.lockBit, 1);
        // Only a Tavik Neo has a MADI port.
        for (auto row = rows.rbegin(); i == 0 && row != rows.rend() && row->key.startsWith(key); ++row)
            row->neoOnly = true;
    }
    add(QStringLiteral("locked_rate"), QStringLiteral("Locked to"), SettingTable::Reported, slot++, 0,
        Kind::InputRate, Report::Status, 12, 0, 4);
    add(QStringLiteral("status_nibble"), QStringLiteral("Status nibble"), SettingTable::Reported, slot++, 0,
        Kind::Number, Report::Status, 12, 4, 4);
    return rows;
}

QString codeText(int value) {
    return QStringLiteral("code ") + QString::number(value);
}

QString khzText(double khz) {
    return QString::number(khz) + QStringLiteral(" kHz");
}

// "44.1k", "44.1 kHz", "44.1": kilohertz; 0 when it is none of these.
double khzOf(QString text) {
    text = text.trimmed().toLower();
    if (text.endsWith(QStringLiteral("khz")))
        text.chop(3);
    else if (text.endsWith(QLatin1Char('k')))
        text.chop(1);
    bool ok = false;
    const double khz = text.trimmed().toDouble(&ok);
    return ok ? khz : 0;
}

QString familyText(quint8 family) {
    const QString name = SettingNames::familyName(family);
    return name.isEmpty() ? QStringLiteral("a device of family ") + QString::number(family)
                          : QStringLiteral("a ") + name;
}

} // namespace

bool Setting::has(quint8 family) const {
    switch (group) {
    case SettingTable::Smux:
        return SettingNames::hasSmuxGroup(family, index);
    case SettingTable::Routing:
        return SettingNames::hasRouting(family);
    default:
        return !neoOnly || family == TavikSysEx::FamilyNeo;
    }
}

quint8 Setting::read(const quint8 *message) const {
    return quint8((message[byte] >> shift) & ((1u << bits) - 1));
}

int Setting::highestStored() const {
    switch (kind) {
    case Kind::Rate:
    case Kind::InputRate:
        return 6;
    case Kind::Sync:
        return 3;
    case Kind::Gain:
        return SettingNames::MaxFaderStep;
    default:
        return (1 << bits) - 1;
    }
}

QString Setting::absence(quint8 family) const {
    return familyText(family) + (group == SettingTable::Routing ? QStringLiteral(" has no routing")
                                                                : QStringLiteral(" has no MADI port"));
}

QString Setting::problem(quint8 family, int value) const {
    const QString code = codeText(value);
    if (!has(family))
        return value == 0
                   ? QString()
                   : code + QStringLiteral(": ") + absence(family) + QStringLiteral(" (the value is 0)");
    switch (kind) {
    case Kind::Rate:
        if (SettingNames::rateKhz(value) == 0)
            return code + QStringLiteral(" is no sample rate");
        if (!SettingNames::takesRate(family, value))
            return SettingNames::rateText(value) + QStringLiteral(": ") + familyText(family) +
                   QStringLiteral(" has no ") + SettingNames::rateText(value);
        return QString();
    case Kind::Sync:
        if (SettingNames::syncText(value).isEmpty())
            return code + QStringLiteral(" is no clock source");
        if (!SettingNames::takesSync(family, value))
            return SettingNames::syncText(value) + QStringLiteral(": ") + familyText(family) +
                   QStringLiteral(" has no MADI port");
        return QString();
    case Kind::OnOff:
        return value > 1 ? code + QStringLiteral(" is neither off (0) nor on (1)") : QString();
    case Kind::SmuxRate:
        if (value >= SettingNames::smuxChoices(index))
            return code + QStringLiteral(" is not a choice of ") + SettingNames::smuxText(index);
        if (!SettingNames::takesSmux(family, index, value))
            return khzText(SettingNames::smuxKhz(index, value)) + QStringLiteral(": ") + familyText(family) +
                   QStringLiteral(" reads no ADAT stream at this rate");
        return QString();
    case Kind::RoutingChoice:
        return value >= SettingNames::routingChoices(index)
                   ? code + QStringLiteral(" is not a routing choice")
                   : QString();
    case Kind::Gain:
        return value > SettingNames::MaxFaderStep
                   ? QStringLiteral("step ") + QString::number(value) + QStringLiteral(" is above 28")
                   : QString();
    default:
        return value > highestStored() ? code + QStringLiteral(" is out of range") : QString();
    }
}

QString Setting::text(int value) const {
    QString text;
    switch (kind) {
    case Kind::Rate:
        text = SettingNames::rateText(value);
        break;
    case Kind::Sync:
        text = SettingNames::syncText(value);
        break;
    case Kind::OnOff:
        text = value == 1 ? QStringLiteral("on") : value == 0 ? QStringLiteral("off") : QString();
        break;
    case Kind::SmuxRate: {
        const double khz = SettingNames::smuxKhz(index, value);
        if (khz > 0)
            text = khzText(khz);
        break;
    }
    case Kind::RoutingChoice:
        text = SettingNames::routingValueText(index, value);
        break;
    case Kind::Gain:
        if (value >= 0 && value <= SettingNames::MaxFaderStep)
            text = SettingNames::gainText(index, value) + QStringLiteral(" dB");
        break;
    case Kind::InputRate:
        text = TavikConfiguration::frequencyName(value);
        break;
    case Kind::Flag:
        text = value ? QStringLiteral("yes") : QStringLiteral("no");
        break;
    case Kind::Number:
        text = QString::number(value);
        break;
    }
    return text.isEmpty() ? codeText(value) : text;
}

QString Setting::format(int value) const {
    switch (kind) {
    case Kind::Rate:
    case Kind::InputRate: {
        const double khz = SettingNames::rateKhz(value);
        return khz > 0      ? QString::number(khz) + QLatin1Char('k')
               : value == 0 ? QStringLiteral("none")
                            : QString::number(value);
    }
    case Kind::Sync: {
        const QString key = SettingNames::syncKey(value);
        return key.isEmpty() ? QString::number(value) : key;
    }
    case Kind::SmuxRate: {
        const double khz = SettingNames::smuxKhz(index, value);
        return khz > 0 ? QString::number(khz) + QLatin1Char('k') : QString::number(value);
    }
    case Kind::RoutingChoice: {
        const QString choice = SettingNames::routingValueText(index, value);
        return choice.isEmpty() ? QString::number(value) : choice;
    }
    case Kind::Gain:
        return value >= 0 && value <= SettingNames::MaxFaderStep ? SettingNames::gainText(index, value)
                                                                 : QString::number(value);
    case Kind::OnOff:
        return value == 1   ? QStringLiteral("on")
               : value == 0 ? QStringLiteral("off")
                            : QString::number(value);
    case Kind::Flag:
        return value ? QStringLiteral("yes") : QStringLiteral("no");
    case Kind::Number:
        break;
    }
    return QString::number(value);
}

int Setting::parse(const QString &value) const {
    const QString text = value.trimmed();
    switch (kind) {
    case Kind::Rate:
    case Kind::InputRate: {
        if (kind == Kind::InputRate && text.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0)
            return 0;
        const int code = SettingNames::rateCode(khzOf(text));
        return code > 0 ? code : -1;
    }
    case Kind::Sync:
        return SettingNames::syncCode(text);
    case Kind::OnOff:
        return text.compare(QStringLiteral("on"), Qt::CaseInsensitive) == 0    ? 1
               : text.compare(QStringLiteral("off"), Qt::CaseInsensitive) == 0 ? 0
                                                                               : -1;
    case Kind::Flag:
        return text.compare(QStringLiteral("yes"), Qt::CaseInsensitive) == 0  ? 1
               : text.compare(QStringLiteral("no"), Qt::CaseInsensitive) == 0 ? 0
                                                                              : -1;
    case Kind::SmuxRate:
        return SettingNames::smuxValue(index, khzOf(text));
    case Kind::RoutingChoice:
        return SettingNames::routingValue(index, text);
    case Kind::Gain: {
        bool ok = false;
        const double db = text.toDouble(&ok);
        return ok ? SettingNames::gainStep(index, db) : -1;
    }
    case Kind::Number: {
        bool ok = false;
        const int number = text.toInt(&ok);
        return ok && number >= 0 && number <= highestStored() ? number : -1;
    }
    }
    return -1;
}

QJsonValue Setting::json(int value) const {
    if (kind == Kind::Gain && value >= 0 && value <= SettingNames::MaxFaderStep)
        return SettingNames::gainDb(index, value);
    if (kind == Kind::Number)
        return value;
    if (kind == Kind::Flag)
        return value != 0;
    return format(value);
}

const std::vector<Setting> &SettingTable::rows() {
    static const std::vector<Setting> table = buildRows();
    return table;
}

const Setting *SettingTable::find(const QString &key) {
    for (const Setting &s : rows())
        if (s.key.compare(key, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

const Setting &SettingTable::named(const char *key) {
    for (const Setting &s : rows())
        if (s.key == QLatin1String(key))
            return s;
    qFatal("no setting %s", key);
}

const Setting *SettingTable::at(Group group, int slot) {
    // The rows of a group stand together, in slot order.
    static const auto first = [] {
        std::map<unsigned, int> rowOf;
        for (const Setting &s : rows())
            rowOf.emplace(unsigned(s.group), s.row);
        return rowOf;
    }();
    const auto it = first.find(unsigned(group));
    if (it == first.end() || slot < 0 || slot >= count(group))
        return nullptr;
    return &rows()[size_t(it->second + slot)];
}

int SettingTable::count(Group group) {
    return TavikSysEx::groupMessage(group).count;
}

QList<SettingTable::Group> SettingTable::groups() {
    QList<Group> list;
    for (const TavikSysEx::GroupMessage &m : TavikSysEx::GroupMessages)
        list << m.group;
    return list;
}

SettingTable::Groups SettingTable::groupsOf(quint8 family) {
    Groups all = AllGroups;
    if (!SettingNames::hasRouting(family))
        all &= ~Groups(Routing);
    return all;
}

quint8 SettingTable::startIndex(Group group) {
    return TavikSysEx::groupMessage(group).start;
}

QList<const Setting *> SettingTable::reportRows(Report report) {
    QList<const Setting *> list;
    for (const Setting &row : rows())
        if (row.report == report)
            list << &row;
    std::stable_sort(list.begin(), list.end(), [](const Setting *a, const Setting *b) {
        return a->byte != b->byte ? a->byte < b->byte : a->shift < b->shift;
    });
    return list;
}

SettingTable::GroupLog SettingTable::configLog(Group group) {
    switch (group) {
    case Lock:
        return {QString(), true};
    case Smux:
        return {QStringLiteral("GET_CONFIG cmd: Setting SMUX values from Tavik to GUI:"), false};
    case Routing:
        return {QStringLiteral("GET_CONFIG cmd: Setting routing values from Tavik to GUI:"), false};
    default:
        return {};
    }
}

bool SettingTable::groupOfStart(quint8 start, Group *group) {
    for (const TavikSysEx::GroupMessage &m : TavikSysEx::GroupMessages)
        if (m.command == TavikSysEx::SET_VALUES && m.start == start) {
            *group = m.group;
            return true;
        }
    return false;
}

QList<SettingTable::Input> SettingTable::inputs(quint8 family) {
    QList<Input> list;
    for (const InputPlace &p : InputPlaces) {
        const QString key = QStringLiteral("input.") + QLatin1String(p.key) + QLatin1Char('.');
        const Setting *rate = find(key + QStringLiteral("rate"));
        if (rate->has(family))
            list.append({QLatin1String(p.key), QLatin1String(p.text), rate,
                         find(key + QStringLiteral("signal")), find(key + QStringLiteral("lock"))});
    }
    return list;
}

std::size_t SettingTable::reportSize(Report report) {
    switch (report) {
    case Report::Config:
        return 21;
    case Report::Status:
        return 15;
    default:
        return 43;
    }
}

QStringList SettingTable::settableKeyLines() {
    return {
        QStringLiteral("  rate                 32k, 44.1k, 48k, 88.2k, 96k, 192k (a Tavik Lux has no 192k)"),
        QStringLiteral("  sync                 master, madi, adat, bnc (a Tavik Lux has no madi)"),
        QStringLiteral("  lock                 on, off"),
        QStringLiteral(
            "  fader.in.N           input channel N (1 to 16): a gain in dB as the fader shows it,"),
        QStringLiteral("                       -4.0 to +10.0 in 0.5 dB steps"),
        QStringLiteral("  fader.out.N          output channel N: -10.0 to +4.0 in 0.5 dB steps"),
        QStringLiteral("  smux.madi_44.1       SMUX MADI 44.1: 44.1k, 88.2k (Tavik Neo only)"),
        QStringLiteral("  smux.madi_48         SMUX MADI 48: 48k, 96k, 192k (Tavik Neo only)"),
        QStringLiteral("  smux.adat_44.1       SMUX ADAT 44.1: 44.1k, 88.2k"),
        QStringLiteral("  smux.adat_48         SMUX ADAT 48: 48k, 96k, 192k (a Tavik Lux has no 192k)"),
        QStringLiteral(
            "  routing.R.K          routing (Tavik Neo only), R the rates of a routing page: 32-48k,"),
        QStringLiteral("                       88-96k, 192k; K analog_in, adat_in, analog_out, adat_out;"),
        QStringLiteral(
            "                       the value a source as the page names it: M1 to M4, off, ADAT, analog"),
    };
}
