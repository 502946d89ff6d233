// Creates the link's ports over RtMidi, falling back from the default API to every other compiled one.
#pragma once

#include "protocol/MidiPort.h"

class RtMidiPortFactory : public MidiPortFactory {
public:
    // Always: the default API (ALSA) is tried first, as TavikRemote does. OnlyWithSequencer: where
    // the ALSA sequencer's device node is missing, ALSA is not tried at all, so none of its failure
    // lines reach standard error, and the other APIs (JACK) are tried straight away.
    enum class AlsaProbe { Always, OnlyWithSequencer };

    explicit RtMidiPortFactory(AlsaProbe alsa = AlsaProbe::Always) : m_alsaProbe(alsa) {}

    std::unique_ptr<MidiInputPort> createInput(const std::string &clientName,
                                               unsigned int queueLimit) override;
    std::unique_ptr<MidiOutputPort> createOutput(const std::string &clientName) override;

private:
    bool skipAlsa() const;

    AlsaProbe m_alsaProbe;
};
