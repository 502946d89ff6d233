// Shared pieces of the in-process tests: the fake port state, and the base of their fixtures.
#pragma once

#include "FakeMidiPorts.h"
#include "app/MyApplication.h"
#include "model/DeviceClock.h"
#include "protocol/LogSwitch.h"

#include <gtest/gtest.h>
#include <memory>

extern std::shared_ptr<FakeMidiState> fakeMidi;

// A fixture on the process's application object whose device clock stands at clockNow until the test
// moves it; debug logging is off again after each test.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        DeviceClock::setSource([this] { return clockNow; });
        app = MyApplication::instance();
        ASSERT_NE(app, nullptr);
    }
    void TearDown() override {
        DeviceClock::setSource({});
        LogSwitch::setOn(false);
    }

    qint64 clockNow = 1'700'000'000'000;
    MyApplication *app = nullptr;
};
