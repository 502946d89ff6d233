// Every value a Tavik device reports or takes, one row each: the group whose message sets it and
// its place there, where its report carries it, which values each family takes, the key every
// front end knows it by, and the words the pages show for it. The record, the messages, the
// decoder, snapshots and tavikctl read their device knowledge from here.
#pragma once

#include "sysex/TavikSysEx.h"

#include <QFlags>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstddef>
#include <vector>

class SettingTable {
public:
    // The settings groups, each sent to a device as one message (TavikSysEx::GroupMessages); the
    // reported values (digital inputs, status) belong to none of them.
    using Group = TavikSysEx::SettingsGroup;
    static constexpr Group RateAndSync = TavikSysEx::GroupRateAndSync;
    static constexpr Group Lock = TavikSysEx::GroupLock;
    static constexpr Group Smux = TavikSysEx::GroupSmux;
    static constexpr Group Routing = TavikSysEx::GroupRouting;
    static constexpr Group Faders = TavikSysEx::GroupFaders;
    static constexpr Group AllGroups = Group(TavikSysEx::allGroups());
    static constexpr Group Reported = TavikSysEx::GroupReported;
    Q_DECLARE_FLAGS(Groups, Group)

    // The report that carries a value, and the size of the whole message.
    enum class Report { Config, Status, Faders };
    // How a value's codes are named, written and read.
    enum class Kind { Rate, Sync, OnOff, SmuxRate, RoutingChoice, Gain, InputRate, Flag, Number };

    struct Setting {
        QString key;   // "rate", "smux.madi_48", "fader.in.3", "input.madi.lock"
        QString field; // in the pages' words: "Sample rate", "SMUX MADI 48", "Input channel 3"
        Group group;
        int slot;  // place in the group's message
        int index; // the kind's own index: SMUX group, routing value, fader, input
        Kind kind;
        Report report;
        int byte;     // in the report
        int shift;    // of the value within that byte
        int bits;     // 4 (a nibble), 8 (a byte) or 1 (a flag)
        int row;      // place in the table
        bool neoOnly; // a reported value of the MADI port
        // Its name in the debug log's lines of the configuration report: "Frequency", "Smux[2]".
        QString logName;
        // Its place in a snapshot file, field by field: {"settings", "sample_rate_khz"},
        // {"routing", "32-48k", "analog_in"}, {"faders_db", "input[]"} (an array of the rows there,
        // in table order); none for a reported value.
        QStringList snapshotPlace = {};

        bool readOnly() const { return group == Reported; }
        // Whether a device of the family has this value at all.
        bool has(quint8 family) const;
        // The value as its report carries it; the report is whole (reportSize(report) bytes).
        quint8 read(const quint8 *message) const;
        // The highest code the record keeps; a higher one leaves the stored value as it is.
        int highestStored() const;

        // Why a family does not have this value at all: "a Tavik Lux has no routing".
        QString absence(quint8 family) const;
        // Why the family does not take this code ("code 9 is no sample rate"); empty when it does.
        QString problem(quint8 family, int code) const;
        // The code in the pages' words: "44.1 kHz", "Master", "M1", "+1.5 dB" ("code 9" outside).
        QString text(int code) const;
        // The code as `tavikctl set` takes it: "44.1k", "master", "on", "M1", "+1.5", "yes".
        QString format(int code) const;
        // The code for such a text (case and the "kHz" spelling do not matter), or -1.
        int parse(const QString &value) const;
        // The code as a JSON value: gains and numbers as numbers, flags as true or false, the
        // others as format() writes them.
        QJsonValue json(int code) const;
    };

    // A digital input of the status report, with its rows (lock null for the word clock input).
    struct Input {
        QString key;  // "madi", "adat_a", "adat_b", "bnc"
        QString text; // "MADI", "ADAT A", "ADAT B", "BNC"
        const Setting *rate;
        const Setting *signal;
        const Setting *lock;
    };

    static constexpr int SmuxCount = TavikSysEx::groupMessage(Smux).count;
    static constexpr int RoutingCount = TavikSysEx::groupMessage(Routing).count;
    static constexpr int FaderCount = TavikSysEx::groupMessage(Faders).count;
    // The rows of the settings groups, the first of the table, in message order.
    static constexpr int SettableCount = TavikSysEx::settableCount();

    // Every row, settings groups first in message order, then the reported values.
    static const std::vector<Setting> &rows();
    // The row of a key (case does not matter), or null.
    static const Setting *find(const QString &key);
    // The row of a key the program itself names (exactly as the table spells it).
    static const Setting &named(const char *key);
    // The row at a place of a group, or null.
    static const Setting *at(Group group, int slot);
    static int count(Group group);
    // The settings groups in message order.
    static QList<Group> groups();
    // The groups a family has: all but Routing on a Lux.
    static Groups groupsOf(quint8 family);
    // The start index of a group's message (that of SET_FADERS for the faders), and the group of
    // a SET_VALUES start index (false for one no device knows).
    static quint8 startIndex(Group group);
    static bool groupOfStart(quint8 start, Group *group);
    // The digital inputs a family has, in the order the pages and tavikctl show them.
    static QList<Input> inputs(quint8 family);
    static std::size_t reportSize(Report report);
    // The rows a report carries, in the order they sit in it (byte, then bit).
    static QList<const Setting *> reportRows(Report report);
    // How the configuration report's handler logs a group: a line of its own before the group is
    // announced, and whether the lines of its values come after the announcement.
    struct GroupLog {
        QString line;
        bool valuesAfter = false;
    };
    static GroupLog configLog(Group group);
    // The keys a command line can set, for its help, grouped one line a group.
    static QStringList settableKeyLines();
};

Q_DECLARE_OPERATORS_FOR_FLAGS(SettingTable::Groups)
