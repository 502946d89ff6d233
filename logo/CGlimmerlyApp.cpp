#include "logo/CGlimmerlyApp.h"

#include "logo/CGlimmerlyDlg.h"
#include "logo/QuitOnSignal.h"
#include "logo/RtMidiPlatform.h"

CGlimmerlyApp::CGlimmerlyApp(int &argc, char **argv) : QApplication(argc, argv) {
    // The profile lives under this key word and the executable's base name.
    setOrganizationName(QStringLiteral("Kalvenso"));
}

int CGlimmerlyApp::Run() {
    CGlimmerlyDlg dialog(std::make_unique<RtMidiPlatform>());
    // SIGINT and SIGTERM end every event loop, a message box's too; the dialog then closes as
    // for the window's close button: its destructor closes the ports, then the MIDI clients go.
    QuitOnSignal quit;
    connect(&quit, &QuitOnSignal::Requested, &dialog, [&dialog] {
        dialog.reject();
        QCoreApplication::exit(0);
    });
    dialog.exec();
    return 0;
}
