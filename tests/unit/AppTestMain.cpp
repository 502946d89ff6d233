// Test entry for in-process tests: offscreen platform, private settings folder, fake MIDI ports, one
// MyApplication.
#include "AppTestMain.h"

#include "app/MyApplication.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

std::shared_ptr<FakeMidiState> fakeMidi;

MessageBoxWatcher::MessageBoxWatcher() : timer(new QTimer) {
    QObject::connect(timer, &QTimer::timeout, [this] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                texts << box->text();
                box->done(QMessageBox::Ok);
            }
        }
    });
    timer->start(10);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    delete timer;
}

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
