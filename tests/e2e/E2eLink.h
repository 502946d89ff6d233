// Fixture pieces for end-to-end tests of the MIDI link: a private JACK server, tavik-sim, and a MIDI object.
#pragma once

#include "JackServer.h"
#include "SimProcess.h"

#include <QStringList>

// Index of the first port whose name contains part, or -1.
int portIndex(const QStringList &names, const QString &part);
// Names of the JACK MIDI ports RtMidi offers for input and for output in this process.
QStringList rtMidiInputNames();
QStringList rtMidiOutputNames();
