#include "ctl/DeviceCommands.h"

#include "ctl/CtlOutput.h"
#include "ctl/CtlSession.h"
#include "ctl/ExitCode.h"

#include "model/MessageDecoder.h"
#include "model/SettingNames.h"
#include "model/SnapshotFile.h"
#include "model/SnapshotSysEx.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "protocol/SnapshotSender.h"
#include "sysex/TavikSysEx.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

TAVIK_REVISION("DeviceCommands.cpp");

using CtlOutput::fail;
using CtlOutput::print;
using Group = DeviceSnapshot::Group;

namespace {
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

// The position of the value a key names in its group, or -1.
int slotOfKey(Group group, const QString &key) {
    for (int slot = 0; slot < DeviceSnapshot::slotCount(group); ++slot) {
        QString name;
        switch (group) {
        case DeviceSnapshot::Smux:
            name = QStringLiteral("smux.") + SettingNames::smuxKey(slot);
            break;
        case DeviceSnapshot::Routing:
            name = QStringLiteral("routing.") + SettingNames::routingRangeKey(slot) + QLatin1Char('.') +
                   SettingNames::routingKindKey(slot);
            break;
        case DeviceSnapshot::Faders:
            name = QStringLiteral("fader.") +
                   (SettingNames::isInputFader(slot) ? QStringLiteral("in.") : QStringLiteral("out.")) +
                   QString::number(SettingNames::faderChannel(slot));
            break;
        default:
            break;
        }
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return slot;
    }
    return -1;
}

// The code of a value for a key, or -1 when the key does not take it.
int codeOf(Group group, int slot, const QString &value) {
    switch (group) {
    case DeviceSnapshot::RateAndSync:
        if (slot == 0) {
            const int rate = SettingNames::rateCode(khzOf(value));
            return rate > 0 ? rate : -1;
        }
        return SettingNames::syncCode(value);
    case DeviceSnapshot::Lock:
        return value.compare(QStringLiteral("on"), Qt::CaseInsensitive) == 0    ? 1
               : value.compare(QStringLiteral("off"), Qt::CaseInsensitive) == 0 ? 0
                                                                                : -1;
    case DeviceSnapshot::Smux:
        return SettingNames::smuxValue(slot, khzOf(value));
    case DeviceSnapshot::Routing:
        return SettingNames::routingValue(slot, value);
    default: {
        bool ok = false;
        const double db = value.toDouble(&ok);
        return ok ? SettingNames::gainStep(slot, db) : -1;
    }
    }
}

QJsonArray inputsOf(const TavikConfiguration &cfg) {
    // Rate as reported, and the status flags' signal and lock bits of each input (the word clock
    // input has no lock lamp).
    struct Input {
        const char *name;
        const char *text;
        quint8 rate;
        int signalBit;
        int lockBit;
    };
    const quint8 flags = cfg.getStatusFlags();
    const Input inputs[] = {{"madi", "MADI", cfg.getMadiRate(), 0, 4},
                            {"adat_a", "ADAT A", cfg.getAdatARate(), 1, 5},
                            {"adat_b", "ADAT B", cfg.getAdatBRate(), 2, 6},
                            {"bnc", "BNC", cfg.getBncRate(), 3, -1}};
    QJsonArray list;
    for (const Input &input : inputs) {
        if (input.name == QLatin1String("madi") && cfg.getDeviceType() != TavikSysEx::FamilyNeo)
            continue;
        QJsonObject entry{{QStringLiteral("input"), QLatin1String(input.name)},
                          {QStringLiteral("text"), QLatin1String(input.text)},
                          {QStringLiteral("rate"), TavikConfiguration::frequencyName(input.rate)},
                          {QStringLiteral("signal"), bool((flags >> input.signalBit) & 1)}};
        if (input.lockBit >= 0)
            entry.insert(QStringLiteral("lock"), bool((flags >> input.lockBit) & 1));
        list.append(entry);
    }
    return list;
}
} // namespace

DeviceCommands::DeviceCommands(const CtlOptions &options) : options(options) {}

DeviceCommands::~DeviceCommands() = default;

TavikConfiguration *DeviceCommands::reportedDevice(const QString &wanted, int *code) {
    if (!session) {
        session = std::make_unique<CtlSession>(QString::fromStdString(options.in),
                                               QString::fromStdString(options.out));
        QString error;
        if (!session->connect(&error)) {
            *code = fail(ExitCode::MidiError, error);
            return nullptr;
        }
    }
    QString error;
    TavikConfiguration *cfg = session->waitForDevice(wanted, timeoutMs(), &error);
    if (!cfg) {
        *code = fail(ExitCode::NotFound, error);
        return nullptr;
    }
    // Reports that came with the admission count; else ask for them.
    if (!session->waitForReports(cfg, 0)) {
        session->forget(cfg->getSerialNo());
        session->getMIDI()->sendMsgSEND_INFO(cfg->getSerialNo());
        if (!session->waitForReports(cfg, timeoutMs())) {
            *code = fail(ExitCode::NoAnswer, QStringLiteral("%1 sent no whole report in time")
                                                 .arg(MidiCodec::serialCode(cfg->getSerialNo())));
            return nullptr;
        }
    }
    return cfg;
}

std::optional<DeviceSnapshot> DeviceCommands::reportedSnapshot(const QString &wanted,
                                                               TavikConfiguration **cfg, int *code) {
    *cfg = reportedDevice(wanted, code);
    if (!*cfg)
        return std::nullopt;
    QStringList errors;
    std::optional<DeviceSnapshot> snapshot =
        DeviceSnapshot::fromConfiguration(**cfg, QDateTime::currentDateTimeUtc(), &errors);
    if (!snapshot)
        *code =
            fail(ExitCode::NoAnswer, QStringLiteral("%1 reported values it cannot have:\n  ").arg(wanted) +
                                         errors.join(QStringLiteral("\n  ")));
    return snapshot;
}

int DeviceCommands::show(const QString &device) {
    int code = ExitCode::Done;
    TavikConfiguration *cfg = nullptr;
    const std::optional<DeviceSnapshot> snapshot = reportedSnapshot(device, &cfg, &code);
    if (!snapshot)
        return code;
    if (options.json) {
        // The snapshot's fields, with the device's identity on top and its digital inputs added.
        QJsonObject file = QJsonDocument::fromJson(snapshot->toJson()).object();
        QJsonObject out = file.value(QStringLiteral("device")).toObject();
        QJsonObject settings = file.value(QStringLiteral("settings")).toObject();
        settings.insert(QStringLiteral("rate"), settings.take(QStringLiteral("sample_rate_khz")));
        out.insert(QStringLiteral("settings"), settings);
        out.insert(QStringLiteral("smux"), file.value(QStringLiteral("smux")));
        if (file.contains(QStringLiteral("routing")))
            out.insert(QStringLiteral("routing"), file.value(QStringLiteral("routing")));
        out.insert(QStringLiteral("faders"), file.value(QStringLiteral("faders_db")));
        out.insert(QStringLiteral("inputs"), inputsOf(*cfg));
        print(QString::fromUtf8(QJsonDocument(out).toJson()));
        return ExitCode::Done;
    }
    QString text = CtlSession::describe(cfg) + QLatin1Char('\n');
    for (Group group : DeviceSnapshot::groupList()) {
        for (int slot = 0; slot < DeviceSnapshot::slotCount(group); ++slot) {
            if (!DeviceSnapshot::hasSlot(snapshot->family(), group, slot))
                continue;
            text += QStringLiteral("%1  %2\n")
                        .arg(DeviceSnapshot::fieldName(group, slot), -40)
                        .arg(DeviceSnapshot::valueName(
                            group, slot, DeviceSnapshot::valueAt(snapshot->values(), group, slot)));
        }
    }
    for (const QJsonValue &input : inputsOf(*cfg)) {
        const QJsonObject entry = input.toObject();
        text += QStringLiteral("Digital input %1  %2, signal %3%4\n")
                    .arg(entry.value("text").toString(), -26)
                    .arg(entry.value("rate").toString(), entry.value("signal").toBool() ? "yes" : "no",
                         entry.contains("lock") ? (entry.value("lock").toBool() ? ", locked" : ", not locked")
                                                : "");
    }
    print(text);
    return ExitCode::Done;
}

int DeviceCommands::save(const QString &device, const QString &file) {
    int code = ExitCode::Done;
    TavikConfiguration *cfg = nullptr;
    const std::optional<DeviceSnapshot> snapshot = reportedSnapshot(device, &cfg, &code);
    if (!snapshot)
        return code;
    QString error;
    if (!SnapshotFile::write(*snapshot, file, &error))
        return fail(ExitCode::BadFile, error);
    return ExitCode::Done;
}

bool DeviceCommands::assign(quint8 family, const QStringList &assignments, DeviceSnapshot::Values *values,
                            DeviceSnapshot::Groups *touched, QString *error) {
    for (const QString &assignment : assignments) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        const QString key = assignment.left(equals).trimmed();
        const QString value = equals < 0 ? QString() : assignment.mid(equals + 1).trimmed();
        if (equals < 0 || key.isEmpty() || value.isEmpty()) {
            *error = QStringLiteral("\"%1\" is not KEY=VALUE; see tavikctl help set").arg(assignment);
            return false;
        }
        Group group = DeviceSnapshot::RateAndSync;
        int slot = -1;
        if (key.compare(QStringLiteral("rate"), Qt::CaseInsensitive) == 0)
            slot = 0;
        else if (key.compare(QStringLiteral("sync"), Qt::CaseInsensitive) == 0)
            slot = 1;
        else if (key.compare(QStringLiteral("lock"), Qt::CaseInsensitive) == 0)
            group = DeviceSnapshot::Lock, slot = 0;
        else
            for (Group candidate : {DeviceSnapshot::Smux, DeviceSnapshot::Routing, DeviceSnapshot::Faders})
                if ((slot = slotOfKey(candidate, key)) >= 0) {
                    group = candidate;
                    break;
                }
        if (slot < 0) {
            *error = QStringLiteral("unknown key \"%1\"; see tavikctl help set").arg(key);
            return false;
        }
        const int code = codeOf(group, slot, value);
        const QString problem =
            code < 0 ? QStringLiteral("not a value of this key")
            : !DeviceSnapshot::hasSlot(family, group, slot)
                ? QStringLiteral("a %1 has no %2")
                      .arg(SettingNames::familyName(family), DeviceSnapshot::fieldName(group, slot))
                : DeviceSnapshot::valueProblem(family, group, slot, quint8(code));
        if (!problem.isEmpty()) {
            *error = QStringLiteral("%1=%2: %3").arg(key, value, problem);
            return false;
        }
        DeviceSnapshot::setValueAt(*values, group, slot, quint8(code));
        *touched |= group;
    }
    return true;
}

int DeviceCommands::send(TavikConfiguration *cfg, const DeviceSnapshot &target, DeviceSnapshot::Groups groups,
                         bool verify) {
    const qint32 serial = cfg->getSerialNo();
    MIDI *link = session->getMIDI();
    session->forget(serial);
    const SnapshotSender::Sent sent = SnapshotSender::send(*link, *cfg, target, groups);
    const int valueMessages = sent.valueMessages;
    const bool fadersSent = sent.faders;
    const bool acknowledged = session->waitFor(
        [&] {
            const CtlSession::Heard &h = session->heard(serial);
            return h.valueAcks >= valueMessages && (!fadersSent || h.faderAcks >= 1);
        },
        timeoutMs());
    if (!acknowledged) {
        const CtlSession::Heard &h = session->heard(serial);
        return fail(ExitCode::NoAnswer,
                    QStringLiteral("%1 acknowledged %2 of %3 SET_VALUES and %4 of %5 SET_FADERS")
                        .arg(MidiCodec::serialCode(serial))
                        .arg(h.valueAcks)
                        .arg(valueMessages)
                        .arg(qMin(h.faderAcks, 1))
                        .arg(fadersSent ? 1 : 0));
    }
    if (!verify)
        return ExitCode::Done;
    // What the device holds now, from fresh reports.
    session->forget(serial);
    link->sendMsgSEND_INFO(serial);
    if (!session->waitForReports(cfg, qMax(timeoutMs(), 3000)))
        return fail(
            ExitCode::NoAnswer,
            QStringLiteral("%1 sent no whole report after the load").arg(MidiCodec::serialCode(serial)));
    const QList<DeviceSnapshot::Difference> left = target.differences(DeviceSnapshot::valuesOf(*cfg));
    if (!left.isEmpty()) {
        QString text = QStringLiteral("the device reports other values than were sent (device -> sent):\n");
        for (const DeviceSnapshot::Difference &d : left)
            text += QStringLiteral("  ") + d.text() + QLatin1Char('\n');
        return fail(ExitCode::NoAnswer, text);
    }
    return ExitCode::Done;
}

int DeviceCommands::set(const QString &device, const QStringList &assignments) {
    int code = ExitCode::Done;
    TavikConfiguration *cfg = reportedDevice(device, &code);
    if (!cfg)
        return code;
    DeviceSnapshot::Values values = DeviceSnapshot::valuesOf(*cfg);
    DeviceSnapshot::Groups touched;
    QString error;
    if (!assign(cfg->getDeviceType(), assignments, &values, &touched, &error))
        return fail(ExitCode::Usage, error);
    return send(cfg, DeviceSnapshot(cfg->getDeviceType(), cfg->getSerialNo(), values), touched, false);
}

int DeviceCommands::load(const QString &device, const QString &file, bool dryRun, bool all) {
    QStringList errors;
    const std::optional<DeviceSnapshot> read = SnapshotFile::read(file, &errors);
    if (!read)
        return fail(ExitCode::BadFile,
                    file + QStringLiteral(" is not a snapshot:\n  ") + errors.join(QStringLiteral("\n  ")));
    int code = ExitCode::Done;
    TavikConfiguration *cfg = reportedDevice(device, &code);
    if (!cfg)
        return code;
    QStringList skipped;
    const DeviceSnapshot target = read->adaptedTo(*cfg, &skipped);
    if (!skipped.isEmpty())
        CtlOutput::note(QStringLiteral("warning: the snapshot is of a ") +
                        SettingNames::familyName(read->family()) + QStringLiteral("; not carried over:\n  ") +
                        skipped.join(QStringLiteral("\n  ")));
    const DeviceSnapshot::Groups groups =
        all ? target.groups() : target.differingGroups(DeviceSnapshot::valuesOf(*cfg));
    if (dryRun) {
        // One message for each group of the family, in group order.
        const std::vector<MidiMessage> messages = SnapshotSysEx::messages(target);
        size_t next = 0;
        for (Group group : DeviceSnapshot::groupList()) {
            if (!target.groups().testFlag(group))
                continue;
            if (groups.testFlag(group) && next < messages.size())
                print(MessageDecoder::hex(messages[next]) + QLatin1Char('\n'));
            ++next;
        }
        return ExitCode::Done;
    }
    if (!groups)
        return ExitCode::Done;
    return send(cfg, target, groups, true);
}

int DeviceCommands::diff(const QString &first, const QString &second) {
    std::optional<DeviceSnapshot> sides[2];
    const QString wanted[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        if (QFileInfo(wanted[i]).isFile()) {
            QStringList errors;
            sides[i] = SnapshotFile::read(wanted[i], &errors);
            if (!sides[i])
                return fail(ExitCode::BadFile, wanted[i] + QStringLiteral(" is not a snapshot:\n  ") +
                                                   errors.join(QStringLiteral("\n  ")));
            continue;
        }
        int code = ExitCode::Done;
        TavikConfiguration *cfg = nullptr;
        sides[i] = reportedSnapshot(wanted[i], &cfg, &code);
        if (!sides[i])
            return code;
    }
    // A snapshot of the other family is compared as far as the families share values.
    DeviceSnapshot b = *sides[1];
    QStringList skipped;
    if (sides[0]->family() != b.family()) {
        TavikConfiguration as(sides[0]->serial());
        as.setDeviceType(sides[0]->family());
        sides[0]->applyTo(as);
        b = b.adaptedTo(as, &skipped);
    }
    const QList<DeviceSnapshot::Difference> differences = b.differences(sides[0]->values());
    QString text;
    for (const DeviceSnapshot::Difference &d : differences)
        text += d.text() + QLatin1Char('\n');
    print(text);
    // Values one family lacks are not compared; saying so is a note, not a difference.
    for (const QString &line : skipped)
        CtlOutput::note(QStringLiteral("not compared: ") + line);
    return differences.isEmpty() ? ExitCode::Done : ExitCode::NotFound;
}
