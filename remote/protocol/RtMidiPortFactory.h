// Creates the link's ports over RtMidi, falling back from the default API to every other compiled one.
// Where the ALSA sequencer's device node is missing, ALSA is not tried at all, so none of its
// failure lines reach standard error, and JACK serves straight away (jackd2, or PipeWire's JACK).
#pragma once

#include "protocol/MidiPort.h"

class RtMidiPortFactory : public MidiPortFactory {
public:
    std::unique_ptr<MidiInputPort> createInput(const std::string &clientName,
                                               unsigned int queueLimit) override;
    std::unique_ptr<MidiOutputPort> createOutput(const std::string &clientName) override;

private:
    static bool skipAlsa();
};
