#pragma once

#include <QString>

// Finds tavik-sim's ports in the port lists and stores them as the remembered ports.
class SimPortLocator {
public:
    // Index of the first port of a "tavik-sim" client whose name ends in suffix, or -1. The
    // simulator's input and output may sit on two clients ("tavik-sim" and "tavik-sim-01").
    static int Find(bool input, const QString &suffix);
    // Writes "MIDI_IN" and "MIDI_OUT" and their names for the simulator's ports; false when they
    // are not listed.
    static bool StoreAsProfile();
};
