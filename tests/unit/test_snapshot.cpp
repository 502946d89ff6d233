// Device snapshots: JSON and .syx round trips, the reader's verdict on broken files, carrying a
// snapshot over to the other family, and the group comparison a loader sends by; and the monitor's
// decoder, which names values in the same words.
#include "FakeMidiPorts.h"
#include "HeadlessHost.h"
#include "model/DeviceSnapshot.h"
#include "model/MessageDecoder.h"
#include "model/SnapshotSysEx.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "sysex/TavikSysEx.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <gtest/gtest.h>

using namespace TavikSysEx;
using Values = DeviceSnapshot::Values;

namespace {
const QDateTime Saved = QDateTime::fromString(QStringLiteral("2026-12-09T01:02:03Z"), Qt::ISODate);

// A record with a value off the defaults in every group: the highest choices and varied faders.
void fill(TavikConfiguration &cfg, quint8 family) {
    const bool neo = family == FamilyNeo;
    cfg.setDeviceType(family);
    cfg.setDeviceName("Studio A\0\0\0\0\0\0\0\0");
    cfg.setVersion1(1);
    cfg.setVersion2(12);
    cfg.setFrequency(neo ? 6 : 5);
    cfg.setSync(neo ? 1 : 3);
    cfg.setLock(neo ? 1 : 0);
    const quint8 smux[4] = {1, 2, 1, 1};
    for (quint8 i = 0; i < 4; ++i)
        cfg.setSMUX(i, neo || i >= 2 ? smux[i] : 0);
    const quint8 routing[12] = {4, 2, 1, 3, 0, 1, 4, 2, 0, 4, 1, 1};
    for (quint8 i = 0; neo && i < 12; ++i)
        cfg.setRouting(i, routing[i]);
    for (quint32 i = 0; i < 32; ++i)
        cfg.setFaderValue(i, (i * 7) % 29);
}

DeviceSnapshot snapshotOf(quint8 family, qint32 serial = 12345) {
    TavikConfiguration cfg(serial);
    fill(cfg, family);
    QStringList errors;
    const auto snapshot = DeviceSnapshot::fromConfiguration(cfg, Saved, &errors);
    EXPECT_TRUE(snapshot) << errors.join('\n').toStdString();
    return *snapshot;
}

// The object with the value at the dotted path replaced (removed when value is undefined).
QJsonObject edited(QJsonObject object, const QStringList &path, const QJsonValue &value) {
    if (path.size() == 1) {
        if (value.isUndefined())
            object.remove(path[0]);
        else
            object[path[0]] = value;
        return object;
    }
    object[path[0]] = edited(object[path[0]].toObject(), path.mid(1), value);
    return object;
}

QJsonObject jsonOf(const DeviceSnapshot &snapshot) {
    return QJsonDocument::fromJson(snapshot.toJson()).object();
}
} // namespace

TEST(Snapshot, JsonRoundTripKeepsIdentityAndEveryValueOfBothFamilies) {
    for (quint8 family : {FamilyNeo, FamilyLux}) {
        const DeviceSnapshot written = snapshotOf(family);
        QStringList errors;
        const auto read = DeviceSnapshot::fromJson(written.toJson(), &errors);
        ASSERT_TRUE(read) << errors.join('\n').toStdString();
        EXPECT_TRUE(read->values() == written.values());
        EXPECT_EQ(read->family(), family);
        EXPECT_EQ(read->serial(), 12345);
        EXPECT_EQ(read->name(), QStringLiteral("Studio A"));
        EXPECT_EQ(read->version2(), 12);
        EXPECT_EQ(read->saved(), Saved);
        TavikConfiguration applied(12345);
        applied.setDeviceType(family);
        read->applyTo(applied);
        EXPECT_EQ(read->differingGroups(DeviceSnapshot::valuesOf(applied)), DeviceSnapshot::Groups());
    }
    // The values as a person reads them.
    const QJsonObject neo = jsonOf(snapshotOf(FamilyNeo));
    EXPECT_EQ(neo["device"]["serial_text"].toString(), QStringLiteral("141-202-380"));
    EXPECT_EQ(neo["settings"]["sample_rate_khz"].toDouble(), 192.0);
    EXPECT_EQ(neo["settings"]["sync"].toString(), QStringLiteral("madi"));
    EXPECT_EQ(neo["smux"]["madi_48"].toDouble(), 192.0);
    EXPECT_EQ(neo["routing"]["32-48k"]["analog_in"].toString(), QStringLiteral("off"));
    EXPECT_EQ(neo["routing"]["32-48k"]["analog_out"].toString(), QStringLiteral("ADAT"));
    EXPECT_EQ(neo["routing"]["32-48k"]["adat_out"].toString(), QStringLiteral("analog"));
    EXPECT_EQ(neo["faders_db"]["output"][1].toDouble(), -6.5); // step 7
    EXPECT_EQ(neo["faders_db"]["input"][0].toDouble(), -4.0 + 0.5 * ((16 * 7) % 29));
    // A time without offset is UTC, one with an offset is converted, a fraction of a second dropped.
    for (const char *time : {"2026-12-09T01:02:03", "2026-12-09T03:02:03+02:00", "2026-12-09T01:02:03.9"}) {
        const QJsonObject edit = edited(neo, {"saved"}, time);
        EXPECT_EQ(DeviceSnapshot::fromJson(QJsonDocument(edit).toJson(), nullptr)
                      .value_or(DeviceSnapshot())
                      .saved(),
                  Saved)
            << time;
    }
    // A record the device has not reported to yet gives no snapshot.
    TavikConfiguration fresh(12345);
    fresh.setDeviceType(FamilyNeo);
    QStringList errors;
    EXPECT_FALSE(DeviceSnapshot::fromConfiguration(fresh, Saved, &errors));
    EXPECT_EQ(errors, QStringList{"Sample rate: code 0 is no sample rate"});
    const QJsonObject lux = jsonOf(snapshotOf(FamilyLux));
    EXPECT_FALSE(lux.contains("routing"));
    EXPECT_EQ(lux["smux"].toObject().keys(), (QStringList{"adat_44.1", "adat_48"}));
}

TEST(Snapshot, ReaderNamesFieldAndValueOfEveryClassOfBadFile) {
    struct Case {
        const char *what;
        quint8 family;
        QStringList path;
        QJsonValue value;
        const char *error;
    };
    const Case cases[] = {
        {"format",
         FamilyNeo,
         {"format"},
         "tavik-preset",
         "format: \"tavik-preset\" is not \"tavik-snapshot\""},
        {"version", FamilyNeo, {"version"}, 2, "version: 2 is not a version this program reads (1)"},
        {"missing", FamilyNeo, {"settings", "sync"}, QJsonValue::Undefined, "settings.sync: missing"},
        {"mistyped", FamilyNeo, {"settings", "sync"}, 3, "settings.sync: 3 is not a text"},
        {"unknown field", FamilyNeo, {"settings", "snyc"}, "adat", "settings.snyc: unknown field"},
        {"rate",
         FamilyNeo,
         {"settings", "sample_rate_khz"},
         22.05,
         "sample_rate_khz: 22.05 is not a sample rate"},
        {"lock", FamilyNeo, {"settings", "lock"}, "yes", "settings.lock: \"yes\" is neither"},
        {"sync name",
         FamilyNeo,
         {"settings", "sync"},
         "spdif",
         "settings.sync: \"spdif\" is not a clock source"},
        {"smux",
         FamilyNeo,
         {"smux", "madi_44.1"},
         192,
         "smux.madi_44.1: 192 is not a rate of MADI 44.1 (44.1, 88.2)"},
        {"routing",
         FamilyNeo,
         {"routing", "88-96k", "analog_in"},
         "M3",
         "routing.88-96k.analog_in: \"M3\" is not a choice of the 88.2/96 kHz analog inputs (M1, M2, off)"},
        {"gain range",
         FamilyNeo,
         {"faders_db", "input"},
         QJsonArray{12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         "faders_db.input[0]: 12 dB is outside -4.0 to +10.0 dB"},
        {"gain step",
         FamilyNeo,
         {"faders_db", "output"},
         QJsonArray{0, 0, 0, 1.25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         "faders_db.output[3]: 1.25 dB is off the 0.5 dB steps"},
        {"gain count",
         FamilyNeo,
         {"faders_db", "output"},
         QJsonArray{0, 0},
         "faders_db.output: 2 gains, not 16"},
        {"serial text",
         FamilyNeo,
         {"device", "serial_text"},
         "141-202-381",
         "device.serial_text: \"141-202-381\" is not serial number 12345 (141-202-380)"},
        {"serial", FamilyNeo, {"device", "serial"}, 1, "device.serial: 1 is not a device's serial number"},
        {"family", FamilyNeo, {"device", "family"}, "max", "device.family: \"max\" is not a family"},
        {"saved", FamilyNeo, {"saved"}, "yesterday", "saved: \"yesterday\" is not an ISO 8601 time"},
        {"saved in 10000", FamilyNeo, {"saved"}, "9999-12-31T23:59:59-14:00", "year 10000 in UTC, outside"},
        {"lux 192k",
         FamilyLux,
         {"settings", "sample_rate_khz"},
         192,
         "sample_rate_khz: 192: a Tavik Lux has no 192 kHz"},
        {"lux madi sync",
         FamilyLux,
         {"settings", "sync"},
         "madi",
         "settings.sync: \"madi\": a Tavik Lux has no MADI port"},
        {"lux madi smux", FamilyLux, {"smux", "madi_48"}, 48, "smux.madi_48: a Tavik Lux has no MADI port"},
        {"lux adat 192k",
         FamilyLux,
         {"smux", "adat_48"},
         192,
         "smux.adat_48: 192: a Tavik Lux reads no ADAT"},
        {"lux routing", FamilyLux, {"routing"}, QJsonObject(), "routing: a Tavik Lux has no routing"},
    };
    for (const Case &c : cases) {
        const QJsonObject broken = edited(jsonOf(snapshotOf(c.family)), c.path, c.value);
        QStringList errors;
        EXPECT_FALSE(DeviceSnapshot::fromJson(QJsonDocument(broken).toJson(), &errors)) << c.what;
        ASSERT_EQ(errors.size(), 1) << c.what << ": " << errors.join('\n').toStdString();
        EXPECT_TRUE(errors[0].contains(QLatin1String(c.error))) << c.what << ": " << errors[0].toStdString();
    }
    // The whole file is checked: every problem is reported, not the first alone.
    QJsonObject twice = edited(jsonOf(snapshotOf(FamilyNeo)), {"settings", "lock"}, "yes");
    twice = edited(twice, {"smux"}, QJsonValue::Undefined);
    QStringList errors;
    EXPECT_FALSE(DeviceSnapshot::fromJson(QJsonDocument(twice).toJson(), &errors));
    EXPECT_EQ(errors.size(), 2) << errors.join('\n').toStdString();
    EXPECT_FALSE(DeviceSnapshot::fromJson("{\"format\": ", &errors));
    EXPECT_TRUE(errors.value(0).startsWith("file: not JSON"));
}

// Every problem of a file in the order its fields are read: the settings, the SMUX values, the
// routing range by range, the input gains before the output gains, unknown fields of an object last.
TEST(Snapshot, ReaderReportsProblemsInTheOrderItReadsTheFile) {
    const QJsonObject neo = jsonOf(snapshotOf(FamilyNeo));
    QJsonArray inputs = neo["faders_db"]["input"].toArray();
    QJsonArray outputs = neo["faders_db"]["output"].toArray();
    inputs[15] = "0";
    outputs[3] = 1.25;
    const std::pair<QStringList, QJsonValue> edits[] = {
        {{"faders_db", "output"}, outputs},
        {{"faders_db", "input"}, inputs},
        {{"routing", "192k", "adat_out"}, "M2"},
        {{"routing", "32-48k", "analog_in"}, "ADAT"},
        {{"smux", "madi_48"}, 44.1},
        {{"settings", "snyc"}, "adat"},
        {{"settings", "lock"}, "yes"},
        {{"routing", "88-96k"}, QJsonValue::Undefined},
        {{"notes"}, ""},
    };
    QJsonObject broken = neo;
    for (const auto &[path, value] : edits)
        broken = edited(broken, path, value);
    QStringList errors;
    EXPECT_FALSE(DeviceSnapshot::fromJson(QJsonDocument(broken).toJson(), &errors));
    EXPECT_EQ(
        errors,
        (QStringList{
            "settings.lock: \"yes\" is neither \"on\" nor \"off\"",
            "settings.snyc: unknown field",
            "smux.madi_48: 44.1 is not a rate of MADI 48 (48, 96, 192)",
            "routing.32-48k.analog_in: \"ADAT\" is not a choice of the 32/44.1/48 kHz analog inputs (M1, M2, "
            "M3, M4, off)",
            "routing.88-96k: missing",
            "routing.192k.adat_out: \"M2\" is not a choice of the 192 kHz ADAT outputs (M1, analog)",
            "faders_db.input[15]: \"0\" is not a number",
            "faders_db.output[3]: 1.25 dB is off the 0.5 dB steps",
            "notes: unknown field",
        }))
        << errors.join('\n').toStdString();
}

TEST(Snapshot, CarriesOverToTheOtherFamilyAsFarAsBothShareValues) {
    TavikConfiguration lux(777);
    lux.setDeviceType(FamilyLux);
    lux.setFrequency(2);
    lux.setSync(2);
    QStringList skipped;
    const DeviceSnapshot toLux = snapshotOf(FamilyNeo).adaptedTo(lux, &skipped);
    EXPECT_EQ(toLux.family(), FamilyLux);
    EXPECT_EQ(toLux.serial(), 777);
    EXPECT_EQ(
        skipped,
        (QStringList{"Sample rate 192 kHz: a Tavik Lux has no 192 kHz; the device keeps 44.1 kHz",
                     "Synchronization MADI: a Tavik Lux has no MADI port; the device keeps ADAT",
                     "SMUX MADI 44.1: a Tavik Lux has no MADI port",
                     "SMUX MADI 48: a Tavik Lux has no MADI port", "Routing: a Tavik Lux has no routing"}));
    const Values neo = snapshotOf(FamilyNeo).values();
    EXPECT_EQ(toLux.values()["rate"], 2);
    EXPECT_EQ(toLux.values()["lock"], 1);
    EXPECT_EQ(toLux.values().of(SettingTable::Smux),
              (std::vector<quint8>{0, 0, neo["smux.adat_44.1"], neo["smux.adat_48"]}));
    EXPECT_EQ(toLux.values().of(SettingTable::Faders), neo.of(SettingTable::Faders));
    EXPECT_TRUE(toLux.check().isEmpty());

    TavikConfiguration target(888);
    fill(target, FamilyNeo);
    target.setSMUX(0, 0);
    const DeviceSnapshot toNeo = snapshotOf(FamilyLux).adaptedTo(target, &skipped);
    EXPECT_EQ(skipped,
              (QStringList{"SMUX MADI 44.1: not in the snapshot of a Tavik Lux; the device keeps 44.1 kHz",
                           "SMUX MADI 48: not in the snapshot of a Tavik Lux; the device keeps 192 kHz",
                           "Routing: not in the snapshot of a Tavik Lux; the device keeps its own"}));
    EXPECT_EQ(toNeo.values()["rate"], 5);
    EXPECT_EQ(toNeo.values().of(SettingTable::Routing),
              DeviceSnapshot::valuesOf(target).of(SettingTable::Routing));
}

TEST(Snapshot, ComparesGroupByGroupInThePagesWords) {
    const DeviceSnapshot snapshot = snapshotOf(FamilyNeo);
    Values device = snapshot.values();
    EXPECT_EQ(snapshot.differingGroups(device), DeviceSnapshot::Groups());
    device["lock"] = 0;
    device["fader.in.3"] = 8;
    device[*SettingTable::at(SettingTable::Routing, 10)] = 0;
    EXPECT_EQ(snapshot.differingGroups(device),
              SettingTable::Lock | SettingTable::Routing | SettingTable::Faders);
    QStringList texts;
    for (const DeviceSnapshot::Difference &d : snapshot.differences(device))
        texts << d.text();
    EXPECT_EQ(texts, (QStringList{"Locked: off -> on", "Routing 88.2/96 kHz, ADAT outputs: M1 -> M2",
                                  "Input channel 3: 0.0 dB -> +1.0 dB"}));
    // A Lux snapshot does not compare what a Lux lacks.
    const DeviceSnapshot lux = snapshotOf(FamilyLux);
    Values luxDevice = lux.values();
    luxDevice["smux.madi_44.1"] = 1;
    luxDevice[*SettingTable::at(SettingTable::Routing, 3)] = 2;
    EXPECT_EQ(lux.differingGroups(luxDevice), DeviceSnapshot::Groups());
}

TEST(Snapshot, SysExIsWhatTheLinkSendsAndReadsBack) {
    static int argc = 1;
    static char name[] = "test_snapshot";
    static char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const std::shared_ptr<FakeMidiState> ports = installFakeMidi();
    HeadlessHost host;
    MIDI midi(host);
    host.midi = &midi;
    midi.enumeratePorts();
    midi.setPortNumberIn(0);
    midi.setPortNumberOut(0);
    midi.toggleConnectedStatus();
    ASSERT_TRUE(midi.isConnected());
    // The messages the link builds from a record the snapshot was applied to.
    for (quint8 family : {FamilyNeo, FamilyLux}) {
        const qint32 serial = family == FamilyNeo ? 268435455 : 4242;
        const DeviceSnapshot snapshot = snapshotOf(family, serial);
        auto *cfg = new TavikConfiguration(serial);
        cfg->setDeviceType(family);
        snapshot.applyTo(*cfg);
        host.registry.addConfiguration(serial, cfg);
        ports->sent.clear();
        for (quint8 start : {StartRateAndSync, StartLock, StartSmux, StartRouting})
            if (family == FamilyNeo || start != StartRouting)
                midi.sendMsgSET_VALUES(serial, start);
        midi.sendMsgSET_FADERS(serial);
        EXPECT_EQ(SnapshotSysEx::messages(snapshot), ports->sent);

        QStringList errors;
        const auto read = SnapshotSysEx::fromBytes(SnapshotSysEx::toBytes(snapshot), &errors);
        ASSERT_TRUE(read) << errors.join('\n').toStdString();
        EXPECT_EQ(read->family(), family);
        EXPECT_EQ(read->serial(), serial);
        EXPECT_TRUE(read->values() == snapshot.values());
    }
}

TEST(Snapshot, SysExReaderNamesMessageAndByteOfWhatIsWrong) {
    // Messages of a Neo file: 1 rate and sync, 2 lock, 3 SMUX, 4 routing, 5 faders.
    struct Case {
        const char *what;
        std::function<void(std::vector<MidiMessage> &)> breakIt;
        const char *error;
    };
    const Case cases[] = {
        {"start index", [](auto &m) { m[1][10] = 7; }, "message 2, byte 10: start index 7 is unknown"},
        {"command", [](auto &m) { m[0][9] = GET_CONFIG; }, "message 1, byte 9: 0x40 is neither SET_VALUES"},
        {"manufacturer", [](auto &m) { m[3][2] = 0x12; }, "message 4, byte 2: 0x12 is not the manufacturer"},
        {"family", [](auto &m) { m[2][4] = FamilyLux; }, "message 3, byte 4: family 0x05 differs"},
        {"serial", [](auto &m) { m[4][5] ^= 1; }, "message 5, byte 5: serial number 12344 differs"},
        {"rate", [](auto &m) { m[0][11] = 7; }, "message 1, byte 11: Sample rate: code 7 is no sample rate"},
        {"fader", [](auto &m) { m[4][14] = 29; },
         "message 5, byte 14: Output channel 4: step 29 is above 28"},
        {"length", [](auto &m) { m[2].insert(m[2].begin() + 12, 0); }, "message 3, byte 16: the end byte"},
        {"twice", [](auto &m) { m[3] = m[1]; },
         "message 4, byte 10: SET_VALUES of start index 2 a second time"},
        {"missing", [](auto &m) { m.erase(m.begin() + 3); }, "file: no SET_VALUES of start index 32"},
        {"no end", [](auto &m) { m[4].pop_back(); }, "message 5: no end byte"},
        {"stray", [](auto &m) { m[1].insert(m[1].begin(), 0x00); },
         "message 2, byte 0: 0x00 where a message starts"},
    };
    for (const Case &c : cases) {
        std::vector<MidiMessage> messages = SnapshotSysEx::messages(snapshotOf(FamilyNeo));
        c.breakIt(messages);
        QByteArray bytes;
        for (const MidiMessage &m : messages)
            bytes.append(reinterpret_cast<const char *>(m.data()), qsizetype(m.size()));
        QStringList errors;
        EXPECT_FALSE(SnapshotSysEx::fromBytes(bytes, &errors)) << c.what;
        ASSERT_EQ(errors.size(), 1) << c.what << ": " << errors.join('\n').toStdString();
        EXPECT_TRUE(errors[0].startsWith(QLatin1String(c.error)))
            << c.what << ": " << errors[0].toStdString();
    }
    // A Lux file takes no routing message.
    std::vector<MidiMessage> lux = SnapshotSysEx::messages(snapshotOf(FamilyLux));
    lux.push_back(SnapshotSysEx::messages(snapshotOf(FamilyNeo))[3]);
    lux.back()[4] = FamilyLux;
    QByteArray bytes;
    for (const MidiMessage &m : lux)
        bytes.append(reinterpret_cast<const char *>(m.data()), qsizetype(m.size()));
    QStringList errors;
    EXPECT_FALSE(SnapshotSysEx::fromBytes(bytes, &errors));
    EXPECT_EQ(errors, QStringList{"message 5, byte 10: start index 32: a Tavik Lux has no routing"});
}

TEST(MessageDecoder, NamesKnownMessagesAndSaysWhatIsWrongWithOthers) {
    struct Case {
        const char *bytes;
        bool wellFormed;
        const char *command;
        const char *fields; // the start of them
    };
    const Case cases[] = {
        {"F0 00 11 22 01 00 00 00 00 00 F7", true, "SEND_VERSION", ""},
        {"F0 00 11 22 01 39 60 00 00 20 01 07 53 74 75 64 69 6F 00 00 00 00 00 00 00 00 00 00 F7", true,
         "GET_VERSION", "Studio, version 1.7"},
        {"F0 00 11 22 01 39 60 00 00 01 00 05 02 F7", true, "SET_VALUES",
         "Sample rate 96 kHz, Synchronization ADAT"},
        {"F0 00 11 22 05 09 06 00 00 41 00 00 03 00 F7", true, "GET_STATUS", "ADAT A --- no signal unlocked"},
        {"F0 00 11 22 01 39 60 00 00 22 F7", true, "ACK_FADERS", ""},
        {"F0 00 11 22 01 39 60 00 00 01 09 05 F7", false, "SET_VALUES", "unknown start index 9"},
        {"F0 00 11 22 01 39 60 00 00 42 00 F7", false, "GET_FADERS", "12 bytes (expected 43)"},
        {"F0 00 11 22 01 39 60 00 00 7E F7", false, "", "unknown command 0x7e"},
        {"F0 00 11 22 01 39 60 F7", false, "", "8 bytes, shorter than a Tavik header"},
        {"F0 00 11 22 01 39 E0 00 00 00 F7", false, "", "byte 6 is 0xe0"},
        {"F0 7E 7F 06 01 F7", false, "", "SysEx, not for a Tavik device"},
        {"90 40 7F", false, "", "not a SysEx message of 3 bytes"},
    };
    for (const Case &c : cases) {
        MidiMessage message;
        for (const QString &byte : QString::fromLatin1(c.bytes).split(QLatin1Char(' ')))
            message.push_back(quint8(byte.toUInt(nullptr, 16)));
        const MessageDecoder::Decoded d = MessageDecoder::decode(message);
        EXPECT_EQ(d.wellFormed, c.wellFormed) << c.bytes;
        EXPECT_EQ(d.command, QLatin1String(c.command)) << c.bytes;
        EXPECT_EQ(d.fields.left(qsizetype(strlen(c.fields))), QLatin1String(c.fields))
            << c.bytes << ": " << d.fields.toStdString();
        EXPECT_EQ(MessageDecoder::hex(message), QLatin1String(c.bytes));
    }
    // A fader report: every channel in dB as the faders show it, outputs first as the record holds them.
    MidiMessage faders{0xF0, 0x00, 0x11, 0x22, 0x01, 0x39, 0x60, 0x00, 0x00, 0x42};
    for (int i = 0; i < 32; ++i)
        faders.push_back(quint8(i < 16 ? 0 : 28));
    faders.push_back(0xF7);
    const QString fields = MessageDecoder::decode(faders).fields;
    EXPECT_TRUE(fields.startsWith(QStringLiteral("out1 -10.0 out2 -10.0"))) << fields.toStdString();
    EXPECT_TRUE(fields.endsWith(QStringLiteral("in16 +10.0 dB"))) << fields.toStdString();
}
