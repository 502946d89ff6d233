// Fixture pieces for end-to-end tests of the MIDI link: a private JACK server, tavik-sim, and a MIDI object.
#pragma once

#include "JackServer.h"
#include "SimProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <functional>

// Runs the event loop until pred holds or timeoutMs passed; returns pred's last value.
inline bool waitUntil(const std::function<bool()> &pred, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs)
            return pred();
        QTest::qWait(5);
    }
    return true;
}

// Index of the first port whose name contains part, or -1.
int portIndex(const QStringList &names, const QString &part);
// Names of the JACK MIDI ports RtMidi offers for input and for output in this process.
QStringList rtMidiInputNames();
QStringList rtMidiOutputNames();
// Count of simulator log lines that are exactly this text.
int countLines(const QStringList &lines, const QString &line);
