// Test entry for in-process tests: offscreen platform, private settings folder, fake MIDI ports, one
// MyApplication.
#include "AppTestMain.h"

#include "TestAppEnvironment.h"
#include "app/MyApplication.h"

#include <gtest/gtest.h>

std::shared_ptr<FakeMidiState> fakeMidi;

int main(int argc, char **argv) {
    TestAppEnvironment environment("Kalvenso Remote Tests");
    fakeMidi = installFakeMidi();
    ::testing::InitGoogleTest(&argc, argv);
    MyApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
