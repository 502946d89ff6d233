// DeviceControl with no window, on in-memory ports: a change confirmed by a simulated device, a
// lost acknowledgement, and reports that disagree with what was asked.
#include "LinkFixture.h"
#include "model/TavikConfiguration.h"
#include "protocol/DeviceControl.h"
#include "sim/SimDevice.h"

#include <QTest>
#include <gtest/gtest.h>

#include <optional>

using Outcome = DeviceControl::Outcome;
using Check = DeviceControl::Check;

namespace {
class DeviceControlTest : public LinkFixture {
protected:
    void SetUp() override {
        LinkFixture::SetUp();
        feed(device.versionReport());
        feed(device.configReport());
        feed(device.fadersReport());
        QObject::connect(&control, &DeviceControl::finished, [this](int, const Outcome &o) { outcome = o; });
    }
    // Hands what the link sent to the device; with answer, what the device says back to the link.
    void deliver(bool answer) {
        const std::vector<MidiMessage> sent = state->sent;
        state->sent.clear();
        for (const MidiMessage &m : sent)
            for (const auto &reply : device.handle(std::vector<quint8>(m.begin(), m.end())).messages)
                if (answer)
                    feed(reply);
    }
    bool finished() {
        return QTest::qWaitFor([this] { return outcome.has_value(); }, 5000);
    }
    static DeviceControl::Assignment value(const char *key, const char *text) {
        const SettingTable::Setting &s = SettingTable::named(key);
        return {&s, quint8(s.parse(QLatin1String(text)))};
    }

    DeviceControl control{&midi, &host.registry};
    SimDevice device{SimDevice::Neo, 300, QStringLiteral("Studio")};
    std::optional<Outcome> outcome;
};
} // namespace

TEST_F(DeviceControlTest, AChangeTheDeviceTakesIsConfirmedByItsReports) {
    ASSERT_NE(
        control.set(300, {value("rate", "96k"), value("fader.in.3", "+1.5")}, Check::AskForReports, 1000), 0);
    deliver(true); // SET_VALUES and SET_FADERS; then the request for reports
    ASSERT_TRUE(QTest::qWaitFor([this] { return !state->sent.empty(); }, 2000));
    deliver(true);
    feed(device.fadersReport());
    feed(device.statusReport());
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->result, Outcome::Confirmed);
    EXPECT_EQ(device.config().frequency, 5);
    EXPECT_EQ(outcome->valueMessages, 1);
    EXPECT_TRUE(outcome->faders);
}

TEST_F(DeviceControlTest, ALostAcknowledgementFailsTheGroupsItLeftUnconfirmed) {
    ASSERT_NE(control.set(300, {value("smux.adat_48", "96k")}, Check::AskForReports, 300), 0);
    deliver(false);
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->result, Outcome::NotAcknowledged);
    EXPECT_EQ(outcome->acknowledgementText(),
              QStringLiteral("acknowledged 0 of 1 SET_VALUES and 0 of 0 SET_FADERS"));
    EXPECT_EQ(outcome->failedKeys,
              QStringList({"smux.madi_44.1", "smux.madi_48", "smux.adat_44.1", "smux.adat_48"}));
}

TEST_F(DeviceControlTest, ReportsThatDisagreeNameTheKeysAndBothValues) {
    ASSERT_NE(control.set(300, {value("rate", "96k"), value("sync", "adat")}, Check::AskForReports, 1000), 0);
    state->sent.clear(); // the device never hears it, but acknowledges and reports what it has
    feed(device.ack(SimDevice::ACK_VALUES));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !state->sent.empty(); }, 2000));
    feed(device.configReport());
    feed(device.fadersReport());
    feed(device.statusReport());
    ASSERT_TRUE(finished());
    EXPECT_EQ(outcome->result, Outcome::Differs);
    EXPECT_EQ(outcome->failedKeys, QStringList({"rate", "sync"}));
    ASSERT_EQ(outcome->differences.size(), 2);
    EXPECT_EQ(outcome->differences[0].text(), QStringLiteral("Sample rate: 48 kHz -> 96 kHz"));
}
