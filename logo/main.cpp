// Entry point of TavikLogo: answers --help and --version, otherwise runs the uploader dialog.
#include "logo/CGlimmerlyApp.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstring>

namespace {
const char *const HelpText =
    "Usage: TavikLogo [OPTION]...\n"
    "Upload a start-up logo and a device name to a Tavik Neo over MIDI.\n"
    "\n"
    "Choose the MIDI output and input port of the Tavik Neo and press Connect. Pick\n"
    "the device under \"Tavik info\", load a picture with \"...\", edit the name if you\n"
    "like and press Send. The ports are remembered for the next start.\n"
    "\n"
    "      --help      display this help and exit\n"
    "      --version   output version information and exit\n"
    "\n"
    "Settings are kept in ~/.config/Kalvenso/TavikLogo.conf.\n"
    "Without hardware, try it with the simulator: tavik-sim --help\n";

const char *const VersionText = "TavikLogo (Tavik Neo Logo Uploader) " TAVIK_LOGO_VERSION "\n"
                                "Copyright (C) 2026 Kalvenso.\n"
                                "License MIT: <https://opensource.org/licenses/MIT>.\n"
                                "This is free software: you are free to change and redistribute it.\n"
                                "There is NO WARRANTY, to the extent permitted by law.\n";
} // namespace

int main(int argc, char **argv) {
    // Answered before any window or MIDI port exists, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(HelpText, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(VersionText, stdout);
            return 0;
        }
    }
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kalvenso.TavikLogo"));
    CGlimmerlyApp app(argc, argv);
    return app.Run();
}
