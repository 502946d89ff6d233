// Entry point of TavikRemote: identity, application, main window, event loop, orderly shutdown.
#include "MainDialog.h"
#include "MyApplication.h"
#include "RevisionInfo.h"

#include <QCoreApplication>

TAVIK_REVISION("main.cpp");

int main(int argc, char *argv[]) {
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvenso"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("kalvenso.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Kalvenso Remote"));

    auto *application = new MyApplication(argc, argv);
    auto *mainDialog = new MainDialog;
    mainDialog->setWindowTitle(QStringLiteral("Kalvenso Remote"));
    const int result = mainDialog->exec();
    delete mainDialog;
    application->setMainDialog(nullptr);
    delete application;
    return result;
}
