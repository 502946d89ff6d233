// The JACK server dies while TavikRemote is connected, and comes back.
#include "RemoteRig.h"

#include "LogCapture.h"
#include "MIDI.h"
#include "MessageBoxCloser.h"
#include "MyApplication.h"
#include "TavikConfiguration.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {
std::unique_ptr<SimProcess> connectedSim() {
    auto sim = RemoteRig::startSim({"--device", "neo:12345:Studio"});
    if (!sim || !RemoteRig::connectToSim() || !RemoteRig::waitForDevice(12345))
        return nullptr;
    return sim;
}
} // namespace

// Tests run in this order: the second needs the server back that the first stopped.
TEST(JackServerDeath, ServerDiesWhileConnectedTheProgramGoesOnAndDisconnects) {
    auto sim = connectedSim();
    ASSERT_TRUE(sim);
    LogCapture log;
    MessageBoxCloser boxes;
    RemoteRig::jack().stop();
    // No replies come any more: the device is dropped after the liveness limit, nothing crashes.
    EXPECT_TRUE(
        RemoteRig::waitUntil([] { return RemoteRig::app()->getConfiguration(12345) == nullptr; }, 6000));
    EXPECT_TRUE(RemoteRig::midi()->isConnected());
    RemoteRig::disconnect();
    EXPECT_FALSE(RemoteRig::midi()->isConnected());
    // RtMidi 5 reports nothing when the server goes away: the program sees silence, no error.
    for (const QString &warning : log.warnings)
        ADD_FAILURE() << "unexpected warning: " << warning.toStdString();
    EXPECT_TRUE(boxes.texts.isEmpty());
    sim->stop();
}

TEST(JackServerDeath, ConnectingAgainAfterTheServerIsBackReachesTheDevice) {
    RemoteRig::disconnect();
    ASSERT_TRUE(RemoteRig::jack().start()) << RemoteRig::jack().diagnostics().toStdString();
    // The server may come back under another name of the test pool; clients follow it.
    RemoteRig::jack().applyToThisProcess();
    auto sim = RemoteRig::startSim({"--device", "neo:12345:Studio"});
    ASSERT_TRUE(sim);
    MessageBoxCloser boxes;
    LogCapture log;
    // The user pressed Disconnect while the server was gone (previous case) and now Connect!.
    EXPECT_TRUE(RemoteRig::connectToSim()) << "message boxes: " << boxes.texts.join(" | ").toStdString();
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_NE(RemoteRig::waitForDevice(12345, 4000), nullptr);
    sim->stop();
}
