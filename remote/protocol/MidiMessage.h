// One complete SysEx message, 0xF0 to 0xF7 inclusive, as the MIDI library takes and delivers it.
#pragma once

#include <vector>

typedef std::vector<unsigned char> MidiMessage;
