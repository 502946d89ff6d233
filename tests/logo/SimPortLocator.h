#pragma once

#include <QString>

// Finds the simulator's ports in the uploader's port lists and stores them as the remembered
// ports, so a dialog created afterwards connects to the simulator at once.
class SimPortLocator {
public:
    // Index of the first port of a "tavik-sim" client whose name ends in suffix, or -1. The
    // simulator's input and output may sit on two clients ("tavik-sim" and "tavik-sim-01").
    static int Find(bool input, const QString &suffix);
    // Writes "MIDI_IN" and "MIDI_OUT" for the simulator's ports; false when they are not listed.
    static bool StoreAsProfile();
};
