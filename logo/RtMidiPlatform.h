#pragma once

#include "MidiPlatform.h"

#include <memory>
#include <rtmidi/RtMidi.h>
#include <string>

class MidiInputThread;

// The MIDI platform layer over RtMidi, trying the default API and then each other compiled one.
class RtMidiPlatform : public MidiPlatform {
public:
    explicit RtMidiPlatform(std::string clientName = "TavikLogo");
    ~RtMidiPlatform() override;

    std::optional<std::string> InDeviceName(unsigned index) override;
    std::optional<std::string> OutDeviceName(unsigned index) override;

    int InOpen(Handle &handle, unsigned index, InCallback callback) override;
    int InPrepareHeader(Handle handle, MidiBuffer *buffer) override;
    int InAddBuffer(Handle handle, MidiBuffer *buffer) override;
    int InStart(Handle handle) override;
    int InStop(Handle handle) override;
    int InReset(Handle handle) override;
    int InClose(Handle handle) override;
    int InUnprepareHeader(Handle handle, MidiBuffer *buffer) override;

    int OutOpen(Handle &handle, unsigned index, OutCallback callback) override;
    int OutPrepareHeader(Handle handle, MidiBuffer *buffer) override;
    int OutLongMsg(Handle handle, MidiBuffer *buffer) override;
    int OutUnprepareHeader(Handle handle, MidiBuffer *buffer) override;
    int OutReset(Handle handle) override;
    int OutClose(Handle handle) override;

private:
    struct Input;
    struct Output;

    bool ResolveApi();
    static void OnRtMidiInput(double stamp, std::vector<unsigned char> *message, void *user);

    std::string m_clientName;
    bool m_apiResolved = false;
    RtMidi::Api m_api = RtMidi::UNSPECIFIED;
    std::unique_ptr<RtMidiIn> m_probeIn;
    std::unique_ptr<RtMidiOut> m_probeOut;
};
