// tavik-monitorshot: a picture of the MIDI monitor with real traffic. Runs TavikRemote's application
// object and main window (with settings in a scratch folder, so the user's stay as they are), connects
// to the first port pair of tavik-sim, opens the monitor, lets it run and writes the window as a PNG.
//   tavik-monitorshot OUT.png [SECONDS] [SERIAL]
// SERIAL (a number) shows that device only. scripts/screenshot-monitor.sh runs it against tavik-sim.
#include "app/MyApplication.h"
#include "protocol/MIDI.h"
#include "windows/MainDialog.h"
#include "windows/MidiMonitorWindow.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {
int findSimPort(const QStringList &names, const QString &suffix) {
    for (int i = 0; i < names.size(); ++i)
        if (names[i].startsWith(QLatin1String("tavik-sim")) && names[i].contains(suffix))
            return i;
    return -1;
}
} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fputs("usage: tavik-monitorshot OUT.png [SECONDS] [SERIAL]\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const double seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 4.0;
    bool isNumber = false;
    const qint32 given = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt(&isNumber) : -1;
    const qint32 serial = isNumber ? given : -1;

    QTemporaryDir scratch;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Kalvenso"));
    QCoreApplication::setApplicationName(QStringLiteral("Kalvenso Remote"));
    MyApplication app(argc, argv);
    MainDialog mainDialog(app);
    mainDialog.setWindowTitle(QStringLiteral("Kalvenso Remote"));
    mainDialog.show();

    MIDI *midi = app.getMIDI();
    const int in = findSimPort(midi->inputPortNames(), QStringLiteral(":out"));
    const int outPort = findSimPort(midi->outputPortNames(), QStringLiteral(":in"));
    if (in < 0 || outPort < 0) {
        std::fputs("tavik-monitorshot: no tavik-sim ports found\n", stderr);
        return 1;
    }
    // With one port each way the main window has connected already.
    if (!midi->isConnected() || midi->getPortNumberIn() != in || midi->getPortNumberOut() != outPort) {
        if (midi->isConnected())
            midi->toggleConnectedStatus();
        midi->setPortNumberIn(in);
        midi->setPortNumberOut(outPort);
        midi->toggleConnectedStatus();
    }
    if (!midi->isConnected()) {
        std::fputs("tavik-monitorshot: could not connect to tavik-sim\n", stderr);
        return 1;
    }

    MidiMonitorWindow monitor(&app, &mainDialog);
    monitor.open(serial);
    int result = 0;
    QTimer::singleShot(int(seconds * 1000), &app, [&] {
        monitor.takeUp();
        if (!monitor.grab().save(out)) {
            std::fprintf(stderr, "tavik-monitorshot: could not write %s\n", qPrintable(out));
            result = 1;
        }
        app.quit();
    });
    app.exec();
    return result;
}
