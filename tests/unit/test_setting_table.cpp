// Every row of the settings table, for both families, through every path that reads or writes a
// device's values: the device's report into the record, the SET_VALUES or SET_FADERS the link
// builds from the record, the decoder's words, both snapshot forms, and tavikctl's keys.
#include "LinkFixture.h"
#include "SysExMessages.h"
#include "ctl/DeviceCommands.h"
#include "model/MessageDecoder.h"
#include "model/SettingTable.h"
#include "model/SnapshotSysEx.h"
#include "model/TavikConfiguration.h"
#include "sim/SimDevice.h"

#include <gtest/gtest.h>

using Setting = SettingTable::Setting;
using namespace TavikSysEx;

namespace {
// A report of the row's kind whose payload holds code at the row's place, 48 kHz as the sample
// rate and zeros elsewhere.
MidiMessage reportWith(quint8 family, const Setting &s, int code) {
    const quint8 command = s.report == SettingTable::Report::Config   ? GET_CONFIG
                           : s.report == SettingTable::Report::Status ? GET_STATUS
                                                                      : GET_FADERS;
    std::vector<quint8> payload(SettingTable::reportSize(s.report) - size_t(MinimumSize), 0);
    if (s.report == SettingTable::Report::Config)
        payload[0] = 3;
    quint8 &byte = payload[size_t(s.byte - PayloadIndex)];
    byte = quint8((byte & ~(((1 << s.bits) - 1) << s.shift)) | code << s.shift);
    return TestSysEx::message<MidiMessage>(family, 300, command, payload);
}

using SettingTableWalk = LinkFixture;
} // namespace

// The settable values go to a simulated device in the message the link builds, and come back in
// the device's own report: the simulator knows the layout without the table.
TEST_F(SettingTableWalk, EveryKeyOfBothFamiliesRoundTripsThroughEveryPath) {
    for (const quint8 family : {FamilyNeo, FamilyLux}) {
        SimDevice device(family, 300, QStringLiteral("Walk"));
        host.registry.removeAllDevices();
        feed(device.versionReport());
        TavikConfiguration *cfg = host.registry.getConfiguration(300);
        ASSERT_NE(cfg, nullptr);
        feed(device.configReport());
        for (const Setting &s : SettingTable::rows()) {
            SCOPED_TRACE(s.key.toStdString() + (family == FamilyNeo ? " on a Neo" : " on a Lux"));
            EXPECT_EQ(SettingTable::find(s.key.toUpper()), &s);
            EXPECT_EQ(s.row < SettingTable::SettableCount, !s.readOnly()); // a snapshot keeps these
            for (int code = 0; code <= s.highestStored(); ++code) {
                if (!s.has(family) || !s.problem(family, code).isEmpty())
                    continue;
                SCOPED_TRACE(code);
                EXPECT_EQ(s.parse(s.format(code)), code) << s.format(code).toStdString();
                if (s.readOnly()) {
                    const MidiMessage report = reportWith(family, s, code);
                    feed(report);
                    EXPECT_EQ(cfg->value(s), code);
                    QString error;
                    DeviceSnapshot::Values values;
                    DeviceSnapshot::Groups touched;
                    EXPECT_FALSE(DeviceCommands::assign(family, {s.key + "=" + s.format(code)}, &values,
                                                        &touched, &error));
                    continue;
                }
                // The record's value, in the message the link builds, to the device and back;
                // no other value of the record moves with it.
                std::vector<int> before;
                for (const Setting &other : SettingTable::rows())
                    before.push_back(cfg->value(other));
                ASSERT_TRUE(cfg->setValue(s, quint32(code)));
                for (const Setting &other : SettingTable::rows()) {
                    if (other.row != s.row) {
                        ASSERT_EQ(cfg->value(other), before[size_t(other.row)]) << other.key.toStdString();
                    }
                }
                state->sent.clear();
                if (s.group == SettingTable::Faders)
                    midi.sendMsgSET_FADERS(300);
                else
                    midi.sendMsgSET_VALUES(300, SettingTable::startIndex(s.group));
                ASSERT_EQ(state->sent.size(), 1u);
                const MidiMessage sent = state->sent.front();
                EXPECT_EQ(sent[PayloadIndex], SettingTable::startIndex(s.group));
                device.handle(std::vector<quint8>(sent.begin(), sent.end()));
                cfg->setValue(s, code == 0 ? 1 : 0);
                const MidiMessage report(s.group == SettingTable::Faders ? device.fadersReport()
                                                                         : device.configReport());
                feed(report);
                ASSERT_EQ(cfg->value(s), code);
                const QString words = s.field + QLatin1Char(' ') + s.text(code);
                if (s.group != SettingTable::Faders) {
                    EXPECT_TRUE(MessageDecoder::decode(report).fields.contains(words));
                    EXPECT_TRUE(MessageDecoder::decode(sent).fields.contains(words));
                }
                // Both snapshot forms.
                QStringList errors;
                const auto snapshot =
                    DeviceSnapshot::fromConfiguration(*cfg, QDateTime::currentDateTimeUtc(), &errors);
                ASSERT_TRUE(snapshot) << errors.join(' ').toStdString();
                const auto json = DeviceSnapshot::fromJson(snapshot->toJson(), &errors);
                ASSERT_TRUE(json) << errors.join(' ').toStdString();
                EXPECT_EQ(DeviceSnapshot::valueAt(json->values(), s.group, s.slot), code);
                const auto syx = SnapshotSysEx::fromBytes(SnapshotSysEx::toBytes(*snapshot), &errors);
                ASSERT_TRUE(syx) << errors.join(' ').toStdString();
                EXPECT_EQ(DeviceSnapshot::valueAt(syx->values(), s.group, s.slot), code);
                // tavikctl set's assignment of the value as get prints it.
                DeviceSnapshot::Values values;
                DeviceSnapshot::Groups touched;
                QString error;
                ASSERT_TRUE(
                    DeviceCommands::assign(family, {s.key + "=" + s.format(code)}, &values, &touched, &error))
                    << error.toStdString();
                EXPECT_EQ(DeviceSnapshot::valueAt(values, s.group, s.slot), code);
                EXPECT_EQ(touched, DeviceSnapshot::Groups(s.group));
            }
        }
    }
}
