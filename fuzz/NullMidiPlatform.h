// A MIDI platform layer with no devices: every call fails, so nothing is ever opened or sent.
#pragma once

#include "logo/MidiPlatform.h"

class NullMidiPlatform : public MidiPlatform {
public:
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
};
