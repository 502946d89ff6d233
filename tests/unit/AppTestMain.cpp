// Test entry for in-process tests: offscreen platform, private settings folder, fake MIDI ports, one
// MyApplication.
#include "AppTestMain.h"

#include "app/MyApplication.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

std::shared_ptr<FakeMidiState> fakeMidi;

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvenso"));
    QCoreApplication::setApplicationName(QStringLiteral("Kalvenso Remote Tests"));
    fakeMidi = installFakeMidi();
    ::testing::InitGoogleTest(&argc, argv);
    MyApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
