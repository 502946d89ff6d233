#include "ctl/DeviceCommands.h"

#include "ctl/CtlOutput.h"
#include "ctl/CtlSession.h"
#include "ctl/ExitCode.h"

#include "model/MessageDecoder.h"
#include "model/SettingNames.h"
#include "model/SettingTable.h"
#include "model/SnapshotFile.h"
#include "model/SnapshotSysEx.h"
#include "model/TavikConfiguration.h"
#include "protocol/DeviceControl.h"
#include "protocol/MIDI.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
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
// The value of a row as the record holds it.
int valueOf(const TavikConfiguration &cfg, const SettingTable::Setting &setting) {
    return cfg.value(setting);
}

// Each digital input the family has: rate as reported, signal, and lock (none on the word clock
// input).
QJsonArray inputsOf(const TavikConfiguration &cfg) {
    QJsonArray list;
    for (const SettingTable::Input &input : SettingTable::inputs(cfg.getDeviceType())) {
        QJsonObject entry{
            {QStringLiteral("input"), input.key},
            {QStringLiteral("text"), input.text},
            {QStringLiteral("rate"), TavikConfiguration::frequencyName(valueOf(cfg, *input.rate))},
            {QStringLiteral("signal"), valueOf(cfg, *input.signal) != 0}};
        if (input.lock)
            entry.insert(QStringLiteral("lock"), valueOf(cfg, *input.lock) != 0);
        list.append(entry);
    }
    return list;
}

// Every value the family has, under its key, as `set` takes it.
QJsonObject valuesOf(const TavikConfiguration &cfg, bool reportedStatus) {
    QJsonObject values;
    for (const SettingTable::Setting &s : SettingTable::rows())
        if (s.has(cfg.getDeviceType()) && (reportedStatus || s.report != SettingTable::Report::Status))
            values.insert(s.key, s.json(valueOf(cfg, s)));
    return values;
}
} // namespace

DeviceCommands::DeviceCommands(const CtlOptions &options) : options(options) {}

DeviceCommands::~DeviceCommands() = default;

TavikConfiguration *DeviceCommands::reportedDevice(const QString &wanted, int *code, int wantedReports) {
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
    if (!session->hasReported(cfg, wantedReports)) {
        session->forget(cfg->getSerialNo());
        session->getMIDI()->sendMsgSEND_INFO(cfg->getSerialNo());
        if (!session->waitForReports(cfg, timeoutMs(), wantedReports)) {
            *code = fail(ExitCode::NoAnswer, QStringLiteral("%1 sent no whole report in time")
                                                 .arg(MidiCodec::serialCode(cfg->getSerialNo())));
            return nullptr;
        }
    }
    return cfg;
}

std::optional<DeviceSnapshot> DeviceCommands::reportedSnapshot(const QString &wanted,
                                                               TavikConfiguration **cfg, int *code) {
    *cfg = reportedDevice(wanted, code, CtlSession::ConfigReport | CtlSession::FaderReport);
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
    // The device sends its status on its own schedule: the inputs are shown as unknown rather than
    // waited for long.
    const bool inputsKnown = session->waitForReports(cfg, StatusWaitMs, CtlSession::StatusReport);
    if (!inputsKnown)
        CtlOutput::note(QStringLiteral("note: %1 sent no status report within %2 ms; its inputs are unknown")
                            .arg(MidiCodec::serialCode(cfg->getSerialNo()))
                            .arg(StatusWaitMs));
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
        out.insert(QStringLiteral("inputs"), inputsKnown ? QJsonValue(inputsOf(*cfg)) : QJsonValue());
        out.insert(QStringLiteral("values"), valuesOf(*cfg, inputsKnown));
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
        if (!inputsKnown) {
            text += QStringLiteral("Digital input %1  unknown\n").arg(entry.value("text").toString(), -26);
            continue;
        }
        text += QStringLiteral("Digital input %1  %2, signal %3%4\n")
                    .arg(entry.value("text").toString(), -26)
                    .arg(entry.value("rate").toString(), entry.value("signal").toBool() ? "yes" : "no",
                         entry.contains("lock") ? (entry.value("lock").toBool() ? ", locked" : ", not locked")
                                                : "");
    }
    print(text);
    return ExitCode::Done;
}

int DeviceCommands::get(const QString &device, const QStringList &keys) {
    QList<const SettingTable::Setting *> wanted;
    for (const QString &key : keys) {
        const SettingTable::Setting *setting = SettingTable::find(key.trimmed());
        if (!setting)
            return fail(ExitCode::Usage,
                        QStringLiteral("unknown key \"%1\"; see tavikctl help get").arg(key));
        wanted << setting;
    }
    int reports = 0;
    for (const SettingTable::Setting *setting : wanted)
        reports |= setting->report == SettingTable::Report::Config   ? CtlSession::ConfigReport
                   : setting->report == SettingTable::Report::Status ? CtlSession::StatusReport
                                                                     : CtlSession::FaderReport;
    int code = ExitCode::Done;
    const TavikConfiguration *cfg = reportedDevice(device, &code, reports);
    if (!cfg)
        return code;
    const quint8 family = cfg->getDeviceType();
    for (const SettingTable::Setting *setting : wanted)
        if (!setting->has(family))
            return fail(
                ExitCode::Usage,
                QStringLiteral("a %1 has no %2").arg(SettingNames::familyName(family), setting->field));
    if (options.json) {
        QJsonObject out;
        for (const SettingTable::Setting *setting : wanted)
            out.insert(setting->key, setting->json(valueOf(*cfg, *setting)));
        print(QString::fromUtf8(QJsonDocument(out).toJson()));
        return ExitCode::Done;
    }
    QString text;
    for (const SettingTable::Setting *setting : wanted)
        text += setting->format(valueOf(*cfg, *setting)) + QLatin1Char('\n');
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
        const SettingTable::Setting *setting = SettingTable::find(key);
        if (!setting) {
            *error = QStringLiteral("unknown key \"%1\"; see tavikctl help set").arg(key);
            return false;
        }
        if (setting->readOnly()) {
            *error = QStringLiteral("%1 is reported by the device and cannot be set").arg(key);
            return false;
        }
        const Group group = setting->group;
        const int slot = setting->slot;
        const int code = setting->parse(value);
        const QString problem =
            code < 0 ? QStringLiteral("not a value of this key")
            : !setting->has(family)
                ? QStringLiteral("a %1 has no %2").arg(SettingNames::familyName(family), setting->field)
                : setting->problem(family, code);
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
    const QString code = MidiCodec::serialCode(serial);
    DeviceControl control(session->getMIDI(), session->getRegistry());
    std::optional<DeviceControl::Outcome> outcome;
    QObject::connect(&control, &DeviceControl::finished, &control,
                     [&outcome](int, const DeviceControl::Outcome &o) { outcome = o; });
    if (!control.apply(serial, target, groups,
                       verify ? DeviceControl::Check::AskForReports : DeviceControl::Check::Acknowledgements,
                       timeoutMs()))
        return fail(ExitCode::NoAnswer, QStringLiteral("%1 is not connected").arg(code));
    // The change ends by its own deadlines.
    session->waitFor([&outcome] { return outcome.has_value(); },
                     timeoutMs() + qMax(timeoutMs(), 3000) + 1000);
    if (!outcome)
        return fail(ExitCode::NoAnswer, QStringLiteral("%1 did not answer").arg(code));
    switch (outcome->result) {
    case DeviceControl::Outcome::Confirmed:
        return ExitCode::Done;
    case DeviceControl::Outcome::Gone:
        return fail(ExitCode::NoAnswer, QStringLiteral("%1 went away").arg(code));
    case DeviceControl::Outcome::NotAcknowledged:
        return fail(ExitCode::NoAnswer, code + QLatin1Char(' ') + outcome->acknowledgementText());
    case DeviceControl::Outcome::NoReport:
        return fail(ExitCode::NoAnswer, QStringLiteral("%1 sent no whole report after the load").arg(code));
    case DeviceControl::Outcome::Differs:
        break;
    }
    QString text = QStringLiteral("the device reports other values than were sent (device -> sent):\n");
    for (const DeviceSnapshot::Difference &d : outcome->differences)
        text += QStringLiteral("  ") + d.text() + QLatin1Char('\n');
    return fail(ExitCode::NoAnswer, text);
}

int DeviceCommands::set(const QString &device, const QStringList &assignments) {
    // The touched groups go out with their other values as reported: the configuration report,
    // and the fader report for a fader.
    int reports = CtlSession::ConfigReport;
    for (const QString &assignment : assignments)
        if (const SettingTable::Setting *s =
                SettingTable::find(assignment.section(QLatin1Char('='), 0, 0).trimmed()))
            reports |= s->group == SettingTable::Faders ? CtlSession::FaderReport : 0;
    int code = ExitCode::Done;
    TavikConfiguration *cfg = reportedDevice(device, &code, reports);
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
    TavikConfiguration *cfg =
        reportedDevice(device, &code, CtlSession::ConfigReport | CtlSession::FaderReport);
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
