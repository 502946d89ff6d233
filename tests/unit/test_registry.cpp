// Device registry without a main window: admission bookkeeping, liveness with a set clock, clean-up.
#include "AppTestMain.h"

#include "LogCapture.h"
#include "app/MyApplication.h"
#include "model/DeviceClock.h"
#include "model/TavikConfiguration.h"
#include "protocol/LogSwitch.h"

#include <gtest/gtest.h>

namespace {
class Registry : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        app->removeAllDevices();
        app->removeConfiguration(1);
    }
    void TearDown() override {
        app->removeAllDevices();
        app->removeConfiguration(1);
        AppFixture::TearDown();
    }
    TavikConfiguration *add(qint32 serial, qint64 lastHeard) {
        auto *cfg = new TavikConfiguration(serial);
        cfg->setLastResponseTime(QDateTime::fromMSecsSinceEpoch(lastHeard));
        app->addConfiguration(serial, cfg);
        return cfg;
    }
};
} // namespace

TEST_F(Registry, LookupAddReplaceRemove) {
    EXPECT_EQ(app->getConfiguration(7), nullptr);
    auto *first = add(7, clockNow);
    EXPECT_EQ(app->getConfiguration(7), first);
    auto *second = new TavikConfiguration(7);
    app->addConfiguration(7, second);
    EXPECT_EQ(app->getConfiguration(7), second);
    delete first;

    LogSwitch::setOn(true);
    LogCapture log;
    app->removeConfiguration(8);
    EXPECT_TRUE(log.all.isEmpty());
    app->removeConfiguration(7);
    EXPECT_EQ(app->getConfiguration(7), nullptr);
    EXPECT_EQ(log.debugs, QStringList{"Removing Tavik device 7 from collection."});
    EXPECT_EQ(app->getConfigurationDialog(7), nullptr);
}

TEST_F(Registry, LivenessLimitIsStrictlyGreaterThan2000ms) {
    add(10, clockNow - 2000);
    app->removeSilentDevices();
    EXPECT_NE(app->getConfiguration(10), nullptr);
    clockNow += 1;
    LogSwitch::setOn(true);
    LogCapture log;
    app->removeSilentDevices();
    EXPECT_EQ(app->getConfiguration(10), nullptr);
    EXPECT_TRUE(log.hasDebug("Removing device with serialno 10 since we did not hear from it in 2 seconds."));
}

TEST_F(Registry, OneDropPerCheckInSerialOrderPlaceholderNeverDropped) {
    add(1, clockNow - 100000);
    add(300, clockNow - 5000);
    add(20, clockNow - 5000);
    add(50, clockNow + 60000); // clock set back: negative age counts as fresh
    app->removeSilentDevices();
    EXPECT_EQ(app->getConfiguration(20), nullptr);
    EXPECT_NE(app->getConfiguration(300), nullptr);
    app->removeSilentDevices();
    EXPECT_EQ(app->getConfiguration(300), nullptr);
    app->removeSilentDevices();
    EXPECT_NE(app->getConfiguration(1), nullptr);
    EXPECT_NE(app->getConfiguration(50), nullptr);
    EXPECT_EQ(app->getDevices().size(), 2);
}

TEST_F(Registry, ResetGivesEveryDeviceTheSameFreshTime) {
    add(1, 0);
    add(2, 5);
    add(3, clockNow - 10000);
    app->resetResponseTimes();
    for (TavikConfiguration *cfg : app->getDevices())
        EXPECT_EQ(cfg->getLastResponseTime().toMSecsSinceEpoch(), clockNow);
    app->removeSilentDevices();
    EXPECT_EQ(app->getDevices().size(), 3);
}

TEST_F(Registry, RemoveAllKeepsOnlyThePlaceholder) {
    add(1, clockNow);
    add(2, clockNow);
    add(99, clockNow);
    LogSwitch::setOn(true);
    LogCapture log;
    app->removeAllDevices();
    EXPECT_EQ(app->getDevices().keys(), QList<qint32>{1});
    EXPECT_EQ(log.debugs, (QStringList{"Removing device with serialno 2 since we no like it.",
                                       "Removing Tavik device 2 from collection.",
                                       "Removing device with serialno 99 since we no like it.",
                                       "Removing Tavik device 99 from collection."}));
}
