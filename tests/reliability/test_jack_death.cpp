// The JACK server dies while TavikRemote is connected, and comes back.
#include "RemoteRig.h"

#include "LogCapture.h"
#include "MessageBoxCloser.h"
#include "app/MyApplication.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDI.h"
#include "windows/MIDIConnectDialog.h"
#include "windows/MainDialog.h"
#include "windows/StackedTavikDialog.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QString buttonText() {
    return RemoteRig::mainDialog()->getStackedDialog()->getMIDIConnectDialog()->getConnectButton()->text();
}
} // namespace

TEST(JackServerDeath, TheLinkDisconnectsWhenTheServerDiesAndConnectsByItselfWhenItIsBack) {
    auto sim = RemoteRig::startSim({"--device", "neo:12345:Studio"});
    ASSERT_TRUE(sim);
    ASSERT_TRUE(RemoteRig::connectToSim());
    ASSERT_NE(RemoteRig::waitForDevice(12345), nullptr);
    LogCapture log;
    MessageBoxCloser boxes;
    RemoteRig::jack().stop();
    // The port objects of the dead server are replaced; its ports are gone, so the link disconnects.
    EXPECT_TRUE(QTest::qWaitFor([] { return !RemoteRig::midi()->isConnected(); }, 10000));
    EXPECT_EQ(RemoteRig::app()->getConfiguration(12345), nullptr);
    EXPECT_EQ(buttonText(), QStringLiteral("Connect!"));
    sim->stop();

    ASSERT_TRUE(RemoteRig::jack().start()) << RemoteRig::jack().diagnostics().toStdString();
    // The server may come back under another name of the test pool; clients follow it.
    RemoteRig::jack().applyToThisProcess();
    sim = RemoteRig::startSim({"--device", "neo:12345:Studio"});
    ASSERT_TRUE(sim);
    // No click: the link connects by itself once the remembered ports are there again.
    EXPECT_NE(RemoteRig::waitForDevice(12345, 15000), nullptr);
    EXPECT_TRUE(RemoteRig::midi()->isConnected());
    EXPECT_EQ(buttonText(), QStringLiteral("Disconnect!"));
    EXPECT_EQ(log.warnings.filter(QStringLiteral("is not available")).size(), 1)
        << log.warnings.join('\n').toStdString();
    ASSERT_EQ(boxes.texts.size(), 1) << boxes.texts.join(" | ").toStdString();
    EXPECT_TRUE(boxes.texts.first().startsWith(QStringLiteral("MIDI port \"tavik-sim")));
    sim->stop();
}
