// Creates the link's ports over RtMidi, falling back from the default API to every other compiled one.
#pragma once

#include "protocol/MidiPort.h"

class RtMidiPortFactory : public MidiPortFactory {
public:
    std::unique_ptr<MidiInputPort> createInput(const std::string &clientName,
                                               unsigned int queueLimit) override;
    std::unique_ptr<MidiOutputPort> createOutput(const std::string &clientName) override;
};
