// Test entry of the in-process reliability tests: JACK server, application and main window first.
#include "RemoteRig.h"

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!RemoteRig::setUp(argc, argv))
        return 1;
    const int result = RUN_ALL_TESTS();
    RemoteRig::tearDown();
    return result;
}
