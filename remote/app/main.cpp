// Entry point of TavikRemote: identity, application, main window, event loop, orderly shutdown.
#include "Revision.h"
#include "app/MyApplication.h"
#include "app/TerminationSignals.h"
#include "protocol/RevisionInfo.h"
#include "windows/DeviceActions.h"
#include "windows/MainDialog.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

TAVIK_REVISION("main.cpp");

namespace {
const char *const HelpText =
    "Usage: TavikRemote [OPTION]...\n"
    "Remote control for Tavik Neo and Tavik Lux converters over MIDI.\n"
    "\n"
    "Pick the MIDI input and output port in the lower left panel and press Connect!;\n"
    "every device that answers is listed and gets its own window. The ports are\n"
    "remembered and connected again at the next start.\n"
    "\n"
    "      --debug     write a detailed log of every MIDI message to log_messages.txt\n"
    "                  in the working directory (the previous one is kept as\n"
    "                  log_messages_old.txt)\n"
    "      --help      display this help and exit\n"
    "      --version   output version information and exit\n"
    "\n"
    "Settings are kept in ~/.config/Kalvenso/Kalvenso Remote.conf.\n"
    "Without hardware, try it with the simulator: tavik-sim --help\n";

const char *const VersionText = "TavikRemote (Kalvenso Remote) " TAVIK_VERSION_STRING "\n"
                                "Copyright (C) 2026 Kalvenso.\n"
                                "License MIT: <https://opensource.org/licenses/MIT>.\n"
                                "This is free software: you are free to change and redistribute it.\n"
                                "There is NO WARRANTY, to the extent permitted by law.\n";

// "--help" and "--version" answer at once, before any window or MIDI port exists.
bool answeredInformationRequest(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(HelpText, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(VersionText, stdout);
            return true;
        }
    }
    return false;
}
} // namespace

int main(int argc, char *argv[]) {
    if (answeredInformationRequest(argc, argv))
        return 0;
    // Before any thread exists, so that none of them takes the signals instead of the GUI thread.
    TerminationSignals::block();

    QCoreApplication::setOrganizationName(QStringLiteral("Kalvenso"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("kalvenso.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Kalvenso Remote"));
    // Lets desktop shells match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kalvenso.TavikRemote"));

    auto *application = new MyApplication(argc, argv);
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.kalvenso.TavikRemote")));
    auto *mainDialog = new MainDialog(*application);
    mainDialog->setWindowTitle(QStringLiteral("Kalvenso Remote"));
    // Snapshots, the sync marks and the MIDI monitor; owned by the window.
    new DeviceActions(mainDialog, application);
    // SIGINT and SIGTERM close the window (and any message box over it) as the user would.
    auto *termination = new TerminationSignals(application);
    QObject::connect(termination, &TerminationSignals::received, mainDialog, [mainDialog] {
        mainDialog->reject();
        QCoreApplication::exit(0);
    });
    const int result = mainDialog->exec();
    delete mainDialog;
    application->setMainDialog(nullptr);
    delete application;
    return result;
}
