#include "model/DeviceSnapshot.h"

#include "model/SettingNames.h"
#include "model/TavikConfiguration.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

TAVIK_REVISION("DeviceSnapshot.cpp");

using Group = DeviceSnapshot::Group;
using Kind = SettingTable::Kind;
using Setting = SettingTable::Setting;

namespace {
quint8 &slotOf(DeviceSnapshot::Values &values, Group group, int slot) {
    return values[*SettingTable::at(group, slot)];
}

quint8 slotOf(const DeviceSnapshot::Values &values, Group group, int slot) {
    return values[*SettingTable::at(group, slot)];
}

int slotCount(Group group) {
    return SettingTable::count(group);
}

bool hasSlot(quint8 family, Group group, int slot) {
    const SettingTable::Setting *setting = SettingTable::at(group, slot);
    return setting && setting->has(family);
}

QString fieldText(Group group, int slot) {
    return SettingTable::at(group, slot)->field;
}

QString valueText(Group group, int slot, quint8 value) {
    return SettingTable::at(group, slot)->text(value);
}

QString khzText(double khz) {
    return QString::number(khz) + QStringLiteral(" kHz");
}

QString familyText(quint8 family) {
    const QString name = SettingNames::familyName(family);
    return name.isEmpty() ? QStringLiteral("a device of family ") + QString::number(family)
                          : QStringLiteral("a ") + name;
}

// A value of a file as the error messages quote it.
QString shown(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::String:
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    case QJsonValue::Double:
        return QString::number(value.toDouble());
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    default:
        return QStringLiteral("null");
    }
}

QString typeName(QJsonValue::Type type) {
    switch (type) {
    case QJsonValue::String:
        return QStringLiteral("a text");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    default:
        return QStringLiteral("an object");
    }
}

QString listOf(const QStringList &choices) {
    return QStringLiteral(" (") + choices.join(QStringLiteral(", ")) + QLatin1Char(')');
}

// A value as a snapshot file holds it: rates and gains as numbers, the others as texts.
QJsonValue fileValue(const Setting &row, int code) {
    switch (row.kind) {
    case Kind::Rate:
        return SettingNames::rateKhz(code);
    case Kind::SmuxRate:
        return SettingNames::smuxKhz(row.index, code);
    case Kind::Gain:
        return SettingNames::gainDb(row.index, code);
    case Kind::Sync:
        return SettingNames::syncKey(code);
    case Kind::OnOff:
        return code == 1 ? QStringLiteral("on") : QStringLiteral("off");
    case Kind::RoutingChoice:
        return SettingNames::routingValueText(row.index, code);
    default:
        return row.json(code);
    }
}

// A field of a snapshot file that holds values of the table: an object of further fields, an
// array of the rows that share its place ("input[]"), in table order, or one row's value.
struct FileField {
    QString key;
    QString path; // "routing.32-48k", "faders_db.input"
    bool array = false;
    std::vector<FileField> fields;     // of an object
    std::vector<const Setting *> rows; // every row within

    bool has(quint8 family) const {
        return std::any_of(rows.begin(), rows.end(), [family](const Setting *s) { return s->has(family); });
    }
    QJsonValue::Type type() const {
        return array            ? QJsonValue::Array
               : fields.empty() ? fileValue(*rows.front(), 0).type()
                                : QJsonValue::Object;
    }
    // The values the field holds for the family, as the file writes them.
    QJsonValue written(const DeviceSnapshot::Values &values, quint8 family) const {
        if (array) {
            QJsonArray list;
            for (const Setting *row : rows)
                list.append(fileValue(*row, values[*row]));
            return list;
        }
        if (fields.empty())
            return fileValue(*rows.front(), values[*rows.front()]);
        QJsonObject object;
        for (const FileField &field : fields)
            if (field.has(family))
                object[field.key] = field.written(values, family);
        return object;
    }
};

// The fields of a snapshot file that hold the table's values, from the rows' places: the fields of
// an object in the order the table first names them, which is the order they are read in, but
// its arrays in the order of their keys (the inputs' gains first).
const FileField &fileFields() {
    static const FileField root = [] {
        FileField root;
        for (const Setting &row : SettingTable::rows()) {
            FileField *field = &root;
            for (const QString &item : row.snapshotPlace) {
                field->rows.push_back(&row);
                const bool array = item.endsWith(QStringLiteral("[]"));
                const QString key = array ? item.chopped(2) : item;
                std::vector<FileField> &fields = field->fields;
                auto it = std::find_if(fields.begin(), fields.end(),
                                       [&key](const FileField &f) { return f.key == key; });
                if (it == fields.end()) {
                    const QString path = field->path.isEmpty() ? key : field->path + QLatin1Char('.') + key;
                    it = fields.insert(
                        std::find_if(fields.begin(), fields.end(),
                                     [&](const FileField &f) { return array && f.array && key < f.key; }),
                        {key, path, array, {}, {}});
                }
                field = &*it;
            }
            if (field != &root)
                field->rows.push_back(&row);
        }
        return root;
    }();
    return root;
}

// Reads a snapshot file field by field, collecting every problem with the field's path.
struct FileReader {
    QStringList errors;

    void fail(const QString &path, const QString &problem) {
        errors << path + QStringLiteral(": ") + problem;
    }

    // The field of the given type; false (with the problem noted) when missing or mistyped.
    bool take(const QJsonObject &object, const QString &path, const QString &key, QJsonValue::Type type,
              QJsonValue *out) {
        const QString field = path.isEmpty() ? key : path + QLatin1Char('.') + key;
        if (!object.contains(key)) {
            fail(field, QStringLiteral("missing"));
            return false;
        }
        *out = object.value(key);
        return typed(*out, field, type);
    }

    // Whether the value is of the given type; false (with the problem noted) when not.
    bool typed(const QJsonValue &value, const QString &path, QJsonValue::Type type) {
        if (value.type() == type)
            return true;
        fail(path, shown(value) + QStringLiteral(" is not ") + typeName(type));
        return false;
    }

    void unknownFields(const QJsonObject &object, const QString &path, const QStringList &known) {
        for (auto it = object.begin(); it != object.end(); ++it)
            if (!known.contains(it.key()))
                fail(path.isEmpty() ? it.key() : path + QLatin1Char('.') + it.key(),
                     QStringLiteral("unknown field"));
    }

    void readDevice(const QJsonObject &device, DeviceSnapshot &out, quint8 *family, qint32 *serial,
                    QString *name) {
        QJsonValue v;
        const QString path = QStringLiteral("device");
        if (take(device, path, QStringLiteral("family"), QJsonValue::String, &v)) {
            *family = SettingNames::familyFromKey(v.toString());
            if (*family == 0)
                fail(QStringLiteral("device.family"),
                     shown(v) + QStringLiteral(" is not a family (neo, lux)"));
        }
        if (take(device, path, QStringLiteral("serial"), QJsonValue::Double, &v)) {
            const double d = v.toDouble();
            if (d != std::floor(d) || d < TavikSysEx::PlaceholderSerial + 1 || d > TavikSysEx::MaxSerial)
                fail(QStringLiteral("device.serial"),
                     shown(v) + QStringLiteral(" is not a device's serial number (2 to ") +
                         QString::number(TavikSysEx::MaxSerial) + QLatin1Char(')'));
            else
                *serial = qint32(d);
        }
        if (take(device, path, QStringLiteral("serial_text"), QJsonValue::String, &v) && *serial != 0 &&
            v.toString() != MidiCodec::serialCode(*serial))
            fail(QStringLiteral("device.serial_text"), shown(v) + QStringLiteral(" is not serial number ") +
                                                           QString::number(*serial) + QStringLiteral(" (") +
                                                           MidiCodec::serialCode(*serial) + QLatin1Char(')'));
        if (take(device, path, QStringLiteral("name"), QJsonValue::String, &v)) {
            static const QRegularExpression printable(QStringLiteral("^[ -~]{0,16}$"));
            if (!printable.match(v.toString()).hasMatch())
                fail(QStringLiteral("device.name"),
                     shown(v) + QStringLiteral(" is not up to 16 printable ASCII characters"));
            else
                *name = v.toString();
        }
        if (take(device, path, QStringLiteral("version"), QJsonValue::String, &v)) {
            static const QRegularExpression pattern(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})$"));
            const QRegularExpressionMatch m = pattern.match(v.toString());
            if (!m.hasMatch() || m.captured(1).toInt() > 255 || m.captured(2).toInt() > 255)
                fail(QStringLiteral("device.version"),
                     shown(v) + QStringLiteral(" is not two numbers 0..255 with a dot between"));
            else
                out.setVersion(quint8(m.captured(1).toInt()), quint8(m.captured(2).toInt()));
        }
        unknownFields(device, path,
                      {QStringLiteral("family"), QStringLiteral("serial"), QStringLiteral("serial_text"),
                       QStringLiteral("name"), QStringLiteral("version")});
    }

    // The fields of an object that hold values of the table, then its unknown fields (others are
    // those the caller reads).
    void readObject(const FileField &object, const QJsonObject &json, quint8 family,
                    DeviceSnapshot::Values &values, QStringList others = {}) {
        for (const FileField &field : object.fields) {
            others << field.key;
            if (!field.has(family)) {
                if (json.contains(field.key))
                    fail(field.path, field.rows.front()->absence(family));
                continue;
            }
            QJsonValue v;
            if (!take(json, object.path, field.key, field.type(), &v))
                continue;
            if (field.array)
                readArray(field, v.toArray(), family, values);
            else if (field.fields.empty())
                readValue(*field.rows.front(), field.path, v, family, values);
            else
                readObject(field, v.toObject(), family, values);
        }
        unknownFields(json, object.path, others);
    }

    // The arrays hold the faders' gains.
    void readArray(const FileField &field, const QJsonArray &array, quint8 family,
                   DeviceSnapshot::Values &values) {
        if (array.size() != qsizetype(field.rows.size())) {
            fail(field.path, QString::number(array.size()) + QStringLiteral(" gains, not ") +
                                 QString::number(field.rows.size()));
            return;
        }
        for (qsizetype k = 0; k < array.size(); ++k) {
            const Setting &row = *field.rows[size_t(k)];
            const QString path = field.path + QLatin1Char('[') + QString::number(k) + QLatin1Char(']');
            if (typed(array.at(k), path, fileValue(row, 0).type()))
                readValue(row, path, array.at(k), family, values);
        }
    }

    // Stores the value of the row's field, or notes why it is none the family takes.
    void readValue(const Setting &row, const QString &path, const QJsonValue &v, quint8 family,
                   DeviceSnapshot::Values &values) {
        const int i = row.index;
        int code = -1;
        QString problem;
        switch (row.kind) {
        case Kind::Rate:
            code = SettingNames::rateCode(v.toDouble());
            if (code == 0)
                problem = QStringLiteral(" is not a sample rate (32, 44.1, 48, 88.2, 96, 192)");
            else if (!SettingNames::takesRate(family, code))
                problem = QStringLiteral(": ") + familyText(family) + QStringLiteral(" has no ") +
                          SettingNames::rateText(code);
            break;
        case Kind::Sync:
            code = SettingNames::syncCode(v.toString());
            if (code < 0)
                problem = QStringLiteral(" is not a clock source (master, madi, adat, bnc)");
            else if (!SettingNames::takesSync(family, code))
                problem = QStringLiteral(": ") + familyText(family) + QStringLiteral(" has no MADI port");
            break;
        case Kind::OnOff:
            code = v.toString() == QLatin1String("on") ? 1 : v.toString() == QLatin1String("off") ? 0 : -1;
            if (code < 0)
                problem = QStringLiteral(" is neither \"on\" nor \"off\"");
            break;
        case Kind::SmuxRate: {
            code = SettingNames::smuxValue(i, v.toDouble());
            QStringList rates;
            for (int k = 0; k < SettingNames::smuxChoices(i); ++k)
                rates << QString::number(SettingNames::smuxKhz(i, k));
            if (code < 0)
                problem = QStringLiteral(" is not a rate of ") + SettingNames::smuxText(i) + listOf(rates);
            else if (!SettingNames::takesSmux(family, i, code))
                problem = QStringLiteral(": ") + familyText(family) +
                          QStringLiteral(" reads no ADAT stream at ") + khzText(v.toDouble());
            break;
        }
        case Kind::RoutingChoice: {
            code = SettingNames::routingValue(i, v.toString());
            QStringList choices;
            for (int c = 0; c < SettingNames::routingChoices(i); ++c)
                choices << SettingNames::routingValueText(i, c);
            if (code < 0)
                problem = QStringLiteral(" is not a choice of the ") + SettingNames::routingRangeText(i) +
                          QStringLiteral(" ") + SettingNames::routingKindText(i) + listOf(choices);
            break;
        }
        case Kind::Gain: {
            const double db = v.toDouble();
            code = SettingNames::gainStep(i, db);
            if (db < SettingNames::gainDb(i, 0) - 1e-6 ||
                db > SettingNames::gainDb(i, SettingNames::MaxFaderStep) + 1e-6)
                problem = QStringLiteral(" dB is outside ") + SettingNames::gainText(i, 0) +
                          QStringLiteral(" to ") + SettingNames::gainText(i, SettingNames::MaxFaderStep) +
                          QStringLiteral(" dB");
            else if (code < 0)
                problem = QStringLiteral(" dB is off the 0.5 dB steps");
            break;
        }
        default: // a reported value, which no file holds
            return;
        }
        if (problem.isEmpty())
            values[row] = quint8(code);
        else
            fail(path, shown(v) + problem);
    }
};
} // namespace

QList<Group> DeviceSnapshot::groupList() {
    return SettingTable::groups();
}

int DeviceSnapshot::slotCount(Group group) {
    return ::slotCount(group);
}

bool DeviceSnapshot::hasSlot(quint8 family, Group group, int slot) {
    return ::hasSlot(family, group, slot);
}

quint8 DeviceSnapshot::valueAt(const Values &values, Group group, int slot) {
    return slotOf(values, group, slot);
}

void DeviceSnapshot::setValueAt(Values &values, Group group, int slot, quint8 value) {
    slotOf(values, group, slot) = value;
}

QString DeviceSnapshot::valueName(Group group, int slot, quint8 value) {
    return valueText(group, slot, value);
}

QString DeviceSnapshot::fieldName(Group group, int slot) {
    return fieldText(group, slot);
}

DeviceSnapshot::DeviceSnapshot(quint8 family, qint32 serial, const Values &values)
    : deviceFamily(family), serialNo(serial), settings(values) {}

DeviceSnapshot::Groups DeviceSnapshot::groups() const {
    return SettingTable::groupsOf(deviceFamily);
}

DeviceSnapshot::Values DeviceSnapshot::valuesOf(const TavikConfiguration &cfg) {
    Values values;
    for (Group group : SettingTable::groups())
        for (int slot = 0; slot < slotCount(group); ++slot)
            slotOf(values, group, slot) = cfg.value(*SettingTable::at(group, slot));
    return values;
}

std::optional<DeviceSnapshot> DeviceSnapshot::fromConfiguration(const TavikConfiguration &cfg,
                                                                const QDateTime &saved, QStringList *errors) {
    Values values = valuesOf(cfg);
    // Locked is 1 alone, as the lock page shows it; the field has four bits on the wire.
    values["lock"] = values["lock"] == 1 ? 1 : 0;
    for (Group group : SettingTable::groups())
        for (int slot = 0; slot < slotCount(group); ++slot)
            if (!hasSlot(cfg.getDeviceType(), group, slot))
                slotOf(values, group, slot) = 0;
    DeviceSnapshot snapshot(cfg.getDeviceType(), cfg.getSerialNo(), values);
    snapshot.setName(QString::fromLatin1(cfg.getDeviceName()));
    snapshot.setVersion(quint8(cfg.getVersion1()), quint8(cfg.getVersion2()));
    snapshot.setSaved(saved);
    const QStringList problems = snapshot.check();
    if (errors)
        *errors = problems;
    if (!problems.isEmpty())
        return std::nullopt;
    return snapshot;
}

QString DeviceSnapshot::valueProblem(quint8 family, Group group, int slot, quint8 value) {
    return SettingTable::at(group, slot)->problem(family, value);
}

QStringList DeviceSnapshot::check() const {
    QStringList problems;
    if (SettingNames::familyKey(deviceFamily).isEmpty()) {
        problems << QStringLiteral("Family: ") + QString::number(deviceFamily) +
                        QStringLiteral(" is neither a Tavik Neo nor a Tavik Lux");
        return problems;
    }
    if (!TavikSysEx::isDeviceSerial(serialNo) || quint32(serialNo) > TavikSysEx::MaxSerial)
        problems << QStringLiteral("Serial number: ") + QString::number(serialNo) +
                        QStringLiteral(" is not a device's serial number");
    for (Group group : SettingTable::groups())
        for (int slot = 0; slot < slotCount(group); ++slot) {
            const QString problem = valueProblem(deviceFamily, group, slot, slotOf(settings, group, slot));
            if (!problem.isEmpty())
                problems << fieldText(group, slot) + QStringLiteral(": ") + problem;
        }
    return problems;
}

QByteArray DeviceSnapshot::toJson() const {
    QJsonObject device;
    device[QStringLiteral("family")] = SettingNames::familyKey(deviceFamily);
    device[QStringLiteral("serial")] = serialNo;
    device[QStringLiteral("serial_text")] = MidiCodec::serialCode(serialNo);
    device[QStringLiteral("name")] = deviceName;
    device[QStringLiteral("version")] =
        QString::number(firmware[0]) + QLatin1Char('.') + QString::number(firmware[1]);

    QJsonObject root = fileFields().written(settings, deviceFamily).toObject();
    root[QStringLiteral("format")] = formatName();
    root[QStringLiteral("version")] = FormatVersion;
    root[QStringLiteral("saved")] = savedAt.toUTC().toString(Qt::ISODate);
    root[QStringLiteral("device")] = device;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<DeviceSnapshot> DeviceSnapshot::fromJson(const QByteArray &json, QStringList *errors) {
    FileReader reader;
    auto finish = [&](std::optional<DeviceSnapshot> result) {
        if (errors)
            *errors = reader.errors;
        return reader.errors.isEmpty() ? result : std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        reader.fail(QStringLiteral("file"), QStringLiteral("not JSON (") + parseError.errorString() +
                                                QStringLiteral(" at offset ") +
                                                QString::number(parseError.offset) + QLatin1Char(')'));
        return finish(std::nullopt);
    }
    if (!document.isObject()) {
        reader.fail(QStringLiteral("file"), QStringLiteral("not a JSON object"));
        return finish(std::nullopt);
    }
    const QJsonObject root = document.object();
    QJsonValue v;
    if (reader.take(root, QString(), QStringLiteral("format"), QJsonValue::String, &v) &&
        v.toString() != formatName())
        reader.fail(QStringLiteral("format"),
                    shown(v) + QStringLiteral(" is not \"") + formatName() + QLatin1Char('"'));
    if (reader.take(root, QString(), QStringLiteral("version"), QJsonValue::Double, &v) &&
        v.toDouble() != FormatVersion)
        reader.fail(QStringLiteral("version"), shown(v) +
                                                   QStringLiteral(" is not a version this program reads (") +
                                                   QString::number(FormatVersion) + QLatin1Char(')'));
    // Another format or version says nothing about the fields that follow.
    if (!reader.errors.isEmpty())
        return finish(std::nullopt);

    DeviceSnapshot snapshot;
    quint8 family = 0;
    qint32 serial = 0;
    QString name;
    if (reader.take(root, QString(), QStringLiteral("saved"), QJsonValue::String, &v)) {
        QDateTime saved = QDateTime::fromString(v.toString(), Qt::ISODate);
        static const QRegularExpression offset(QStringLiteral("T.*(Z|[+-]\\d\\d(:?\\d\\d)?)$"));
        if (saved.isValid() && !offset.match(v.toString()).hasMatch())
            saved = QDateTime(saved.date(), saved.time(), Qt::UTC); // a time without offset is UTC
        const int utcYear = saved.toUTC().date().year();
        if (!saved.isValid())
            reader.fail(QStringLiteral("saved"), shown(v) + QStringLiteral(" is not an ISO 8601 time"));
        else if (utcYear < 1 || utcYear > 9999) // the file could not hold it again
            reader.fail(QStringLiteral("saved"), shown(v) + QStringLiteral(" is in the year ") +
                                                     QString::number(utcYear) +
                                                     QStringLiteral(" in UTC, outside 1 to 9999"));
        snapshot.setSaved(saved);
    }
    if (reader.take(root, QString(), QStringLiteral("device"), QJsonValue::Object, &v))
        reader.readDevice(v.toObject(), snapshot, &family, &serial, &name);
    // The values are checked for the file's family; of an unknown family, as far as they go.
    const quint8 checkedFamily = family ? family : TavikSysEx::FamilyNeo;
    Values values;
    reader.readObject(fileFields(), root, checkedFamily, values,
                      {QStringLiteral("format"), QStringLiteral("version"), QStringLiteral("saved"),
                       QStringLiteral("device")});

    DeviceSnapshot result(family, serial, values);
    result.setName(name);
    result.setVersion(snapshot.version1(), snapshot.version2());
    result.setSaved(snapshot.saved());
    return finish(result);
}

DeviceSnapshot DeviceSnapshot::adaptedTo(const TavikConfiguration &target, QStringList *skipped) const {
    const quint8 family = target.getDeviceType();
    DeviceSnapshot out(family, target.getSerialNo(), valuesOf(target));
    out.setName(QString::fromLatin1(target.getDeviceName()));
    out.setVersion(quint8(target.getVersion1()), quint8(target.getVersion2()));
    out.setSaved(savedAt);
    QStringList notes;
    for (Group group : SettingTable::groups()) {
        // A group one side lacks entirely is noted once.
        if (group == SettingTable::Routing &&
            SettingNames::hasRouting(family) != SettingNames::hasRouting(deviceFamily)) {
            notes << (SettingNames::hasRouting(family)
                          ? QStringLiteral("Routing: not in the snapshot of ") + familyText(deviceFamily) +
                                QStringLiteral("; the device keeps its own")
                          : QStringLiteral("Routing: ") + familyText(family) +
                                QStringLiteral(" has no routing"));
            continue;
        }
        for (int slot = 0; slot < slotCount(group); ++slot) {
            const QString field = fieldText(group, slot);
            quint8 &kept = slotOf(out.settings, group, slot);
            if (!hasSlot(family, group, slot)) {
                kept = 0;
                if (hasSlot(deviceFamily, group, slot))
                    notes << field + QStringLiteral(": ") + familyText(family) +
                                 QStringLiteral(" has no MADI port");
                continue;
            }
            if (!hasSlot(deviceFamily, group, slot)) {
                notes << field + QStringLiteral(": not in the snapshot of ") + familyText(deviceFamily) +
                             QStringLiteral("; the device keeps ") + valueText(group, slot, kept);
                continue;
            }
            const quint8 value = slotOf(settings, group, slot);
            const QString problem = valueProblem(family, group, slot, value);
            if (!problem.isEmpty()) {
                notes << field + QStringLiteral(" ") + problem + QStringLiteral("; the device keeps ") +
                             valueText(group, slot, kept);
                continue;
            }
            kept = value;
        }
    }
    if (skipped)
        *skipped = notes;
    return out;
}

DeviceSnapshot::Groups DeviceSnapshot::differingGroups(const Values &other) const {
    Groups differing;
    for (Group group : SettingTable::groups())
        for (int slot = 0; slot < slotCount(group); ++slot)
            if (hasSlot(deviceFamily, group, slot) &&
                slotOf(settings, group, slot) != slotOf(other, group, slot))
                differing |= group;
    return differing;
}

QList<DeviceSnapshot::Difference> DeviceSnapshot::differences(const Values &other) const {
    QList<Difference> found;
    for (Group group : SettingTable::groups())
        for (int slot = 0; slot < slotCount(group); ++slot) {
            const quint8 ours = slotOf(settings, group, slot);
            const quint8 theirs = slotOf(other, group, slot);
            if (hasSlot(deviceFamily, group, slot) && ours != theirs)
                found.append({group, fieldText(group, slot), valueText(group, slot, theirs),
                              valueText(group, slot, ours)});
        }
    return found;
}

void DeviceSnapshot::applyTo(TavikConfiguration &cfg, Groups which) const {
    for (Group group : SettingTable::groups())
        for (int slot = 0; (which & group) && slot < slotCount(group); ++slot)
            if (hasSlot(deviceFamily, group, slot))
                cfg.setValue(*SettingTable::at(group, slot), slotOf(settings, group, slot));
}

QByteArray DeviceSnapshot::groupValues(Group group) const {
    QByteArray bytes;
    if (!(groups() & group))
        return bytes;
    for (int slot = 0; slot < slotCount(group); ++slot)
        bytes.append(char(slotOf(settings, group, slot)));
    return bytes;
}
