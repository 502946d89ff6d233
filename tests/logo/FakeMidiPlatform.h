#pragma once

#include "logo/MidiInputThread.h"
#include "logo/MidiPlatform.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// An in-memory MIDI platform layer for unit tests: given device lists, recorded sends, injected input.
class FakeMidiPlatform : public MidiPlatform {
public:
    using Responder = std::function<void(const std::vector<uint8_t> &sent)>;

    FakeMidiPlatform(std::vector<std::string> inNames, std::vector<std::string> outNames);
    ~FakeMidiPlatform() override;

    // Configuration; set before the port uses the fake.
    bool failInOpen = false;
    bool failOutOpen = false;
    bool failOutLongMsg = false;
    bool deferDone = false; // hold done notifications until CompleteSends()

    // Called on the sending thread with each message the port sends.
    void SetResponder(Responder responder);
    // Delivers one received message through the open input (from any thread).
    void Inject(const std::vector<uint8_t> &bytes);
    void CompleteSends();

    std::vector<std::vector<uint8_t>> Sent() const;
    void ClearSent();
    size_t QueuedBuffers() const;
    int InOpens() const { return m_inOpens; }
    int OutOpens() const { return m_outOpens; }
    int LastInIndex() const { return m_lastIn; }
    int LastOutIndex() const { return m_lastOut; }
    bool InIsOpen() const { return m_input != nullptr; }
    bool OutIsOpen() const { return m_outOpen; }
    int ResetsWithOpenInput() const { return m_resets; }
    // Input buffers added and unprepared so far; their difference is the number still held.
    int BuffersAdded() const { return m_added; }
    int BuffersUnprepared() const { return m_unprepared; }
    // Times the input callback was entered by the input thread.
    int CallbacksEntered() const { return m_callbacksEntered; }
    // True when every buffer added had 1024 zero bytes at the time it was added.
    bool AllAddedBuffersZeroFilled() const { return m_allZero; }

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
    static constexpr Handle kInHandle = 0x1111;
    static constexpr Handle kOutHandle = 0x2222;

    std::vector<std::string> m_inNames;
    std::vector<std::string> m_outNames;
    std::unique_ptr<MidiInputThread> m_input;
    std::mutex m_inputMutex;
    OutCallback m_outCallback;
    bool m_outOpen = false;
    Responder m_responder;
    mutable std::mutex m_mutex;
    std::vector<std::vector<uint8_t>> m_sent;
    std::vector<MidiBuffer *> m_heldDone;
    std::atomic<int> m_inOpens{0};
    std::atomic<int> m_outOpens{0};
    std::atomic<int> m_lastIn{-1};
    std::atomic<int> m_lastOut{-1};
    std::atomic<int> m_resets{0};
    std::atomic<int> m_added{0};
    std::atomic<int> m_unprepared{0};
    std::atomic<int> m_callbacksEntered{0};
    std::atomic<bool> m_allZero{true};
};
