// Test entry for in-process tests: offscreen platform, private settings folder, fake MIDI ports, one
// MyApplication.
#include "AppTestMain.h"

#include "MyApplication.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

std::shared_ptr<FakeMidiState> fakeMidi;

std::shared_ptr<QStringList> watchMessageBoxes() {
    auto texts = std::make_shared<QStringList>();
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [texts] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                *texts << box->text();
                box->done(QMessageBox::Ok);
            }
        }
    });
    timer->start(10);
    return texts;
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
