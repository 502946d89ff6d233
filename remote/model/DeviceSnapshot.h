// A snapshot of one device's whole setup: who the device is and every value it reports and takes
// (sample rate, clock source, lock, SMUX, routing, faders). Built from a device record, written
// to and read from a JSON file (docs/SNAPSHOTS.md), checked, compared with a record, carried over
// to a device of the other family, and applied to a record group by group.
#pragma once

#include "model/SettingTable.h"

#include <QByteArray>
#include <QDateTime>
#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

class TavikConfiguration;

class DeviceSnapshot {
public:
    using Group = SettingTable::Group;
    using Groups = SettingTable::Groups;

    static constexpr int FormatVersion = 1;
    static QString formatName() { return QStringLiteral("tavik-snapshot"); }

    // The values as the record holds them, one a row of the settings groups: codes, SMUX and
    // routing choices and fader steps; 48 kHz and all else 0 until set.
    struct Values {
        std::array<quint8, SettingTable::SettableCount> codes = initial();

        quint8 &operator[](const SettingTable::Setting &setting) { return codes[size_t(setting.row)]; }
        quint8 operator[](const SettingTable::Setting &setting) const { return codes[size_t(setting.row)]; }
        quint8 &operator[](const char *key) { return (*this)[SettingTable::named(key)]; }
        quint8 operator[](const char *key) const { return (*this)[SettingTable::named(key)]; }
        bool operator==(const Values &other) const { return codes == other.codes; }
        // The values of one group, in message order.
        std::vector<quint8> of(SettingTable::Group group) const {
            std::vector<quint8> values;
            for (int slot = 0; slot < SettingTable::count(group); ++slot)
                values.push_back((*this)[*SettingTable::at(group, slot)]);
            return values;
        }

    private:
        static std::array<quint8, SettingTable::SettableCount> initial() {
            std::array<quint8, SettingTable::SettableCount> codes = {};
            codes[0] = 3; // the rate, the table's first row: 48 kHz
            return codes;
        }
    };

    // One value that differs, in the pages' words: field "SMUX MADI 48", from "48 kHz", to "96 kHz".
    struct Difference {
        Group group;
        QString field;
        QString from; // the other side (the device, or the first file)
        QString to;   // this snapshot
        QString text() const { return field + QStringLiteral(": ") + from + QStringLiteral(" -> ") + to; }
    };

    DeviceSnapshot() = default;
    DeviceSnapshot(quint8 family, qint32 serial, const Values &values);

    quint8 family() const { return deviceFamily; }
    qint32 serial() const { return serialNo; }
    const Values &values() const { return settings; }
    QString name() const { return deviceName; }
    void setName(const QString &name) { deviceName = name; }
    quint8 version1() const { return firmware[0]; }
    quint8 version2() const { return firmware[1]; }
    void setVersion(quint8 first, quint8 second) { firmware = {first, second}; }
    QDateTime saved() const { return savedAt; }
    // Kept in UTC and to the second, as the file holds it.
    void setSaved(const QDateTime &time) {
        savedAt = time.toUTC();
        savedAt = savedAt.addMSecs(-savedAt.time().msec());
    }

    // The groups in message order; the number of values of a group; whether a family has a value.
    static QList<Group> groupList();
    static int slotCount(Group group);
    static bool hasSlot(quint8 family, Group group, int slot);
    // One value of a set, read or written by group and position.
    static quint8 valueAt(const Values &values, Group group, int slot);
    static void setValueAt(Values &values, Group group, int slot, quint8 value);
    // A value in the pages' words: "44.1 kHz", "Master", "M1", "+1.5 dB" ("code 9" outside them).
    static QString valueName(Group group, int slot, quint8 value);

    // The groups this snapshot's family has: all but Routing on a Lux.
    Groups groups() const;

    // The values of a record as they are, unchecked.
    static Values valuesOf(const TavikConfiguration &cfg);
    // A snapshot of the record's identity and values, saved at the given time; on a Lux the
    // MADI SMUX slots and the routing are left 0, and a lock other than 1 is taken as off. Null,
    // with the problems, when a value is one the family does not take (a record not yet reported
    // holds rate code 0).
    static std::optional<DeviceSnapshot> fromConfiguration(const TavikConfiguration &cfg,
                                                           const QDateTime &saved, QStringList *errors);
    // Every value the family does not take, each naming its field and value; empty when none.
    QStringList check() const;
    // The problem of one value of a group for a family ("192 kHz: a Tavik Lux has no 192 kHz"),
    // empty when the family takes it. slot is the position within the group.
    static QString valueProblem(quint8 family, Group group, int slot, quint8 value);
    // A value's name in the pages' words: "Sample rate", "SMUX MADI 48", "Input channel 3".
    static QString fieldName(Group group, int slot);

    // The file text, indented; meant for a snapshot whose check() is empty.
    QByteArray toJson() const;
    // Reads a file; null, with every problem found (each naming field and value), when it is not a
    // valid snapshot.
    static std::optional<DeviceSnapshot> fromJson(const QByteArray &json, QStringList *errors);

    // This snapshot for the target's family and serial number: the values the target's family
    // shares with this one, and the target's own values for the rest; each value not carried over
    // is listed in skipped.
    DeviceSnapshot adaptedTo(const TavikConfiguration &target, QStringList *skipped) const;

    // The groups whose values (those the family has) differ from the given ones, which are those
    // of a record of the same family (adaptedTo() first for another family).
    Groups differingGroups(const Values &other) const;
    // The differing values, field by field, in group order.
    QList<Difference> differences(const Values &other) const;
    // Stores the values of the given groups (those the family has) in the record.
    void applyTo(TavikConfiguration &cfg, Groups which = SettingTable::AllGroups) const;
    // The bytes a message of the group carries after its start index, in the record's order.
    QByteArray groupValues(Group group) const;

private:
    quint8 deviceFamily = 0;
    qint32 serialNo = 0;
    QString deviceName;
    std::array<quint8, 2> firmware = {};
    QDateTime savedAt;
    Values settings;
};
