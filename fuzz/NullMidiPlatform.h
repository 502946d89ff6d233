// A MIDI platform layer with no devices: every call fails, so nothing is ever opened or sent.
#pragma once

#include "logo/MidiPlatform.h"

class NullMidiPlatform : public MidiPlatform {
public:
    std::optional<std::string> InDeviceName(unsigned) override { return std::nullopt; }
    std::optional<std::string> OutDeviceName(unsigned) override { return std::nullopt; }
    int InOpen(Handle &handle, unsigned, InCallback) override { return noHandle(handle); }
    int InPrepareHeader(Handle, MidiBuffer *) override { return Failed; }
    int InAddBuffer(Handle, MidiBuffer *) override { return Failed; }
    int InStart(Handle) override { return Failed; }
    int InStop(Handle) override { return Failed; }
    int InReset(Handle) override { return Failed; }
    int InClose(Handle) override { return Failed; }
    int InUnprepareHeader(Handle, MidiBuffer *) override { return Failed; }
    int OutOpen(Handle &handle, unsigned, OutCallback) override { return noHandle(handle); }
    int OutPrepareHeader(Handle, MidiBuffer *) override { return Failed; }
    int OutLongMsg(Handle, MidiBuffer *) override { return Failed; }
    int OutUnprepareHeader(Handle, MidiBuffer *) override { return Failed; }
    int OutReset(Handle) override { return Failed; }
    int OutClose(Handle) override { return Failed; }

private:
    static constexpr int Failed = 1;
    // An open that fails leaves no handle behind.
    static int noHandle(Handle &handle) {
        handle = 0;
        return Failed;
    }
};
