// tavik-sim: simulated Tavik devices on virtual MIDI ports, for trying and testing the software.
#include "sim/SimOptions.h"
#include "sim/SimRunner.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: the event loop reads the pipe and quits.
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tavik-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVIK_SIM_VERSION));

    SimOptions options;
    QString error;
    if (!options.parse(app.arguments().mid(1), &error)) {
        std::fprintf(stderr, "tavik-sim: %s\nTry 'tavik-sim --help' for more information.\n",
                     qPrintable(error));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(SimOptions::helpText()), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tavik-sim %s\n", TAVIK_SIM_VERSION);
        return 0;
    }

    if (::pipe(signalPipe) != 0) {
        std::perror("tavik-sim: pipe");
        return 1;
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // A reader that went away must not kill the simulator through a write to its output.
    std::signal(SIGPIPE, SIG_IGN);
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&app] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &byte, 1);
        app.quit();
    });

    int result = 0;
    {
        SimRunner runner(options);
        QObject::connect(&runner, &SimRunner::quitRequested, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        if (!runner.start(&error)) {
            std::fprintf(stderr, "tavik-sim: %s\n", qPrintable(error));
            return 1;
        }
        runner.watchStandardInput();
        std::printf("ready\n");
        std::fflush(stdout);
        result = app.exec();
    }
    return result;
}
