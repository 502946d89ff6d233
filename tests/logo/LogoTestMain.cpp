// Runs the GoogleTest cases of one test program inside an application object, so Qt events,
// widgets and settings work as in the uploader.
#include "logo/CGlimmerlyApp.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    CGlimmerlyApp app(argc, argv);
    // Keep the tests' profile away from the user's.
    QTemporaryDir profileDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profileDir.path());
    return RUN_ALL_TESTS();
}
