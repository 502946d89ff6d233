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

DeviceCommands::DeviceCommands(const CtlOptions &options, QObject *parent)
    : QObject(parent), options(options) {
    changeBound.setSingleShot(true);
    changeBound.setTimerType(Qt::PreciseTimer);
    QObject::connect(&changeBound, &QTimer::timeout, this,
                     [this] { fail(ExitCode::NoAnswer, QStringLiteral("%1 did not answer").arg(changed)); });
}

DeviceCommands::~DeviceCommands() = default;

void DeviceCommands::fail(int code, const QString &text) {
    finish(CtlOutput::fail(code, text));
}

void DeviceCommands::finish(int code) {
    emit finished(code);
}

void DeviceCommands::reportedDevice(const QString &wanted, int reports, const DeviceStep &next) {
    if (!session) {
        session = std::make_unique<CtlSession>(QString::fromStdString(options.in),
                                               QString::fromStdString(options.out));
        QString error;
        if (!session->connect(&error))
            return fail(ExitCode::MidiError, error);
    }
    session->awaitDevice(
        wanted, timeoutMs(), [this, reports, next](TavikConfiguration *cfg, const QString &error) {
            if (!cfg)
                return fail(ExitCode::NotFound, error);
            // Reports that came with the admission count; else ask for them.
            if (session->hasReported(cfg, reports))
                return next(cfg);
            session->forget(cfg->getSerialNo());
            session->getMIDI()->sendMsgSEND_INFO(cfg->getSerialNo());
            session->awaitReports(cfg, reports, timeoutMs(), [this, cfg, next](bool reported) {
                if (!reported)
                    return fail(ExitCode::NoAnswer, QStringLiteral("%1 sent no whole report in time")
                                                        .arg(MidiCodec::serialCode(cfg->getSerialNo())));
                next(cfg);
            });
        });
}

void DeviceCommands::reportedSnapshot(const QString &wanted, const SnapshotStep &next) {
    reportedDevice(wanted, CtlSession::ConfigReport | CtlSession::FaderReport,
                   [this, wanted, next](TavikConfiguration *cfg) {
                       QStringList errors;
                       const std::optional<DeviceSnapshot> snapshot =
                           DeviceSnapshot::fromConfiguration(*cfg, QDateTime::currentDateTimeUtc(), &errors);
                       if (!snapshot)
                           return fail(ExitCode::NoAnswer,
                                       QStringLiteral("%1 reported values it cannot have:\n  ").arg(wanted) +
                                           errors.join(QStringLiteral("\n  ")));
                       next(cfg, *snapshot);
                   });
}

void DeviceCommands::show(const QString &device) {
    reportedSnapshot(device, [this](TavikConfiguration *cfg, const DeviceSnapshot &snapshot) {
        // The device sends its status on its own schedule: the inputs are shown as unknown rather
        // than waited for long.
        session->awaitReports(
            cfg, CtlSession::StatusReport, StatusWaitMs,
            [this, cfg, snapshot](bool inputsKnown) { printDevice(*cfg, snapshot, inputsKnown); });
    });
}

void DeviceCommands::printDevice(const TavikConfiguration &cfg, const DeviceSnapshot &snapshot,
                                 bool inputsKnown) {
    if (!inputsKnown)
        CtlOutput::note(QStringLiteral("note: %1 sent no status report within %2 ms; its inputs are unknown")
                            .arg(MidiCodec::serialCode(cfg.getSerialNo()))
                            .arg(StatusWaitMs));
    if (options.json) {
        // The snapshot's fields, with the device's identity on top and its digital inputs added.
        QJsonObject file = QJsonDocument::fromJson(snapshot.toJson()).object();
        QJsonObject out = file.value(QStringLiteral("device")).toObject();
        QJsonObject settings = file.value(QStringLiteral("settings")).toObject();
        settings.insert(QStringLiteral("rate"), settings.take(QStringLiteral("sample_rate_khz")));
        out.insert(QStringLiteral("settings"), settings);
        out.insert(QStringLiteral("smux"), file.value(QStringLiteral("smux")));
        if (file.contains(QStringLiteral("routing")))
            out.insert(QStringLiteral("routing"), file.value(QStringLiteral("routing")));
        out.insert(QStringLiteral("faders"), file.value(QStringLiteral("faders_db")));
        out.insert(QStringLiteral("inputs"), inputsKnown ? QJsonValue(inputsOf(cfg)) : QJsonValue());
        out.insert(QStringLiteral("values"), valuesOf(cfg, inputsKnown));
        print(QString::fromUtf8(QJsonDocument(out).toJson()));
        return finish(ExitCode::Done);
    }
    QString text = CtlSession::describe(&cfg) + QLatin1Char('\n');
    for (Group group : DeviceSnapshot::groupList()) {
        for (int slot = 0; slot < DeviceSnapshot::slotCount(group); ++slot) {
            if (!DeviceSnapshot::hasSlot(snapshot.family(), group, slot))
                continue;
            text += QStringLiteral("%1  %2\n")
                        .arg(DeviceSnapshot::fieldName(group, slot), -40)
                        .arg(DeviceSnapshot::valueName(
                            group, slot, DeviceSnapshot::valueAt(snapshot.values(), group, slot)));
        }
    }
    for (const QJsonValue &input : inputsOf(cfg)) {
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
    finish(ExitCode::Done);
}

void DeviceCommands::get(const QString &device, const QStringList &keys) {
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
    reportedDevice(device, reports, [this, wanted](const TavikConfiguration *cfg) {
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
            return finish(ExitCode::Done);
        }
        QString text;
        for (const SettingTable::Setting *setting : wanted)
            text += setting->format(valueOf(*cfg, *setting)) + QLatin1Char('\n');
        print(text);
        finish(ExitCode::Done);
    });
}

void DeviceCommands::save(const QString &device, const QString &file) {
    reportedSnapshot(device, [this, file](TavikConfiguration *, const DeviceSnapshot &snapshot) {
        QString error;
        if (!SnapshotFile::write(snapshot, file, &error))
            return fail(ExitCode::BadFile, error);
        finish(ExitCode::Done);
    });
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

void DeviceCommands::send(TavikConfiguration *cfg, const DeviceSnapshot &target,
                          DeviceSnapshot::Groups groups, bool verify) {
    changed = MidiCodec::serialCode(cfg->getSerialNo());
    control = std::make_unique<DeviceControl>(session->getMIDI(), session->getRegistry());
    QObject::connect(control.get(), &DeviceControl::finished, this,
                     [this](int, const DeviceControl::Outcome &outcome) { sent(outcome); });
    if (!control->apply(cfg->getSerialNo(), target, groups,
                        verify ? DeviceControl::Check::AskForReports : DeviceControl::Check::Acknowledgements,
                        timeoutMs()))
        return fail(ExitCode::NoAnswer, QStringLiteral("%1 is not connected").arg(changed));
    // The change ends by its own deadlines.
    changeBound.start(timeoutMs() + qMax(timeoutMs(), 3000) + 1000);
}

void DeviceCommands::sent(const DeviceControl::Outcome &outcome) {
    changeBound.stop();
    switch (outcome.result) {
    case DeviceControl::Outcome::Confirmed:
        return finish(ExitCode::Done);
    case DeviceControl::Outcome::Gone:
        return fail(ExitCode::NoAnswer, QStringLiteral("%1 went away").arg(changed));
    case DeviceControl::Outcome::NotAcknowledged:
        return fail(ExitCode::NoAnswer, changed + QLatin1Char(' ') + outcome.acknowledgementText());
    case DeviceControl::Outcome::NoReport:
        return fail(ExitCode::NoAnswer,
                    QStringLiteral("%1 sent no whole report after the load").arg(changed));
    case DeviceControl::Outcome::Differs:
        break;
    }
    QString text = QStringLiteral("the device reports other values than were sent (device -> sent):\n");
    for (const DeviceSnapshot::Difference &d : outcome.differences)
        text += QStringLiteral("  ") + d.text() + QLatin1Char('\n');
    fail(ExitCode::NoAnswer, text);
}

void DeviceCommands::set(const QString &device, const QStringList &assignments) {
    // The touched groups go out with their other values as reported: the configuration report,
    // and the fader report for a fader.
    int reports = CtlSession::ConfigReport;
    for (const QString &assignment : assignments)
        if (const SettingTable::Setting *s =
                SettingTable::find(assignment.section(QLatin1Char('='), 0, 0).trimmed()))
            reports |= s->group == SettingTable::Faders ? CtlSession::FaderReport : 0;
    reportedDevice(device, reports, [this, assignments](TavikConfiguration *cfg) {
        DeviceSnapshot::Values values = DeviceSnapshot::valuesOf(*cfg);
        DeviceSnapshot::Groups touched;
        QString error;
        if (!assign(cfg->getDeviceType(), assignments, &values, &touched, &error))
            return fail(ExitCode::Usage, error);
        send(cfg, DeviceSnapshot(cfg->getDeviceType(), cfg->getSerialNo(), values), touched, false);
    });
}

void DeviceCommands::load(const QString &device, const QString &file, bool dryRun, bool all) {
    QStringList errors;
    const std::optional<DeviceSnapshot> read = SnapshotFile::read(file, &errors);
    if (!read)
        return fail(ExitCode::BadFile,
                    file + QStringLiteral(" is not a snapshot:\n  ") + errors.join(QStringLiteral("\n  ")));
    reportedDevice(device, CtlSession::ConfigReport | CtlSession::FaderReport,
                   [this, read = *read, dryRun, all](TavikConfiguration *cfg) {
                       QStringList skipped;
                       const DeviceSnapshot target = read.adaptedTo(*cfg, &skipped);
                       if (!skipped.isEmpty())
                           CtlOutput::note(QStringLiteral("warning: the snapshot is of a ") +
                                           SettingNames::familyName(read.family()) +
                                           QStringLiteral("; not carried over:\n  ") +
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
                           return finish(ExitCode::Done);
                       }
                       if (!groups)
                           return finish(ExitCode::Done);
                       send(cfg, target, groups, true);
                   });
}

void DeviceCommands::diff(const QString &first, const QString &second) {
    diffWanted[0] = first;
    diffWanted[1] = second;
    diffSide(0);
}

void DeviceCommands::diffSide(int side) {
    if (side == 2)
        return compare();
    const QString &wanted = diffWanted[side];
    if (QFileInfo(wanted).isFile()) {
        QStringList errors;
        diffSides[side] = SnapshotFile::read(wanted, &errors);
        if (!diffSides[side])
            return fail(ExitCode::BadFile, wanted + QStringLiteral(" is not a snapshot:\n  ") +
                                               errors.join(QStringLiteral("\n  ")));
        return diffSide(side + 1);
    }
    reportedSnapshot(wanted, [this, side](TavikConfiguration *, const DeviceSnapshot &snapshot) {
        diffSides[side] = snapshot;
        diffSide(side + 1);
    });
}

void DeviceCommands::compare() {
    // A snapshot of the other family is compared as far as the families share values.
    const DeviceSnapshot &a = *diffSides[0];
    DeviceSnapshot b = *diffSides[1];
    QStringList skipped;
    if (a.family() != b.family()) {
        TavikConfiguration as(a.serial());
        as.setDeviceType(a.family());
        a.applyTo(as);
        b = b.adaptedTo(as, &skipped);
    }
    const QList<DeviceSnapshot::Difference> differences = b.differences(a.values());
    QString text;
    for (const DeviceSnapshot::Difference &d : differences)
        text += d.text() + QLatin1Char('\n');
    print(text);
    // Values one family lacks are not compared; saying so is a note, not a difference.
    for (const QString &line : skipped)
        CtlOutput::note(QStringLiteral("not compared: ") + line);
    finish(differences.isEmpty() ? ExitCode::Done : ExitCode::NotFound);
}
