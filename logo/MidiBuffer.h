#pragma once

#include <cstddef>
#include <cstdint>

// One buffer of long (SysEx) MIDI data as the MIDI platform layer hands it around.
struct MidiBuffer {
    uint8_t *data = nullptr;    // start of the data area
    uint32_t bufferLength = 0;  // size of the data area
    uint32_t bytesRecorded = 0; // bytes actually filled (input) or to send (output)
    uintptr_t user = 0;         // free for the owner of the buffer
    bool prepared = false;      // set by the layer's prepare call, cleared by unprepare
};
