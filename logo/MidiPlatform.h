#pragma once

#include "logo/MidiBuffer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The platform MIDI service the uploader's transport is written against (devices, buffers, long messages).
class MidiPlatform {
public:
    using Handle = uintptr_t; // 0 means no handle

    enum class InEvent { LongData, LongError, Data };
    enum class OutEvent { Done };

    // Input notifications run on the layer's callback thread, never on the caller's thread of
    // InOpen and never on a realtime thread of the MIDI system. LongData returns a queued buffer.
    using InCallback = std::function<void(Handle, InEvent, MidiBuffer *)>;
    // The done notification hands a sent buffer back; it may run before OutLongMsg returns.
    using OutCallback = std::function<void(Handle, OutEvent, MidiBuffer *)>;

    // Every int result is 0 for success and non-zero for failure.
    virtual ~MidiPlatform();

    virtual std::optional<std::string> InDeviceName(unsigned index) = 0;
    virtual std::optional<std::string> OutDeviceName(unsigned index) = 0;
    // Every name of the current list, in list order; at most max entries.
    virtual std::vector<std::string> InDeviceNames(unsigned max);
    virtual std::vector<std::string> OutDeviceNames(unsigned max);

    virtual int InOpen(Handle &handle, unsigned index, InCallback callback) = 0;
    // Opens the port of that name wherever it stands in the list at the time of the call.
    virtual int InOpenNamed(Handle &handle, const std::string &name, InCallback callback);
    virtual int InPrepareHeader(Handle handle, MidiBuffer *buffer) = 0;
    virtual int InAddBuffer(Handle handle, MidiBuffer *buffer) = 0;
    virtual int InStart(Handle handle) = 0;
    virtual int InStop(Handle handle) = 0;
    // Returns every queued buffer through the callback as LongData with no bytes recorded and
    // waits until the callback thread has done so.
    virtual int InReset(Handle handle) = 0;
    virtual int InClose(Handle handle) = 0;
    virtual int InUnprepareHeader(Handle handle, MidiBuffer *buffer) = 0;

    virtual int OutOpen(Handle &handle, unsigned index, OutCallback callback) = 0;
    virtual int OutOpenNamed(Handle &handle, const std::string &name, OutCallback callback);
    virtual int OutPrepareHeader(Handle handle, MidiBuffer *buffer) = 0;
    virtual int OutLongMsg(Handle handle, MidiBuffer *buffer) = 0;
    virtual int OutUnprepareHeader(Handle handle, MidiBuffer *buffer) = 0;
    virtual int OutReset(Handle handle) = 0;
    virtual int OutClose(Handle handle) = 0;
};
