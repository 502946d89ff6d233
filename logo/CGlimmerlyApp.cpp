#include "CGlimmerlyApp.h"

#include "CGlimmerlyDlg.h"
#include "RtMidiPlatform.h"

CGlimmerlyApp::CGlimmerlyApp(int &argc, char **argv) : QApplication(argc, argv) {
    // The profile lives under this key word and the executable's base name.
    setOrganizationName(QStringLiteral("Kalvenso"));
}

int CGlimmerlyApp::Run() {
    CGlimmerlyDlg dialog(std::make_unique<RtMidiPlatform>());
    dialog.exec();
    return 0;
}
