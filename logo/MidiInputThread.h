#pragma once

#include "logo/MidiPlatform.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// The callback thread of one open MIDI input: fills the queued buffers and returns them to the owner.
class MidiInputThread {
public:
    using Deliver = std::function<void(MidiPlatform::InEvent, MidiBuffer *)>;

    // Messages received while no buffer is queued wait here; beyond this many the newest is dropped.
    static constexpr size_t kMaxPending = 256;

    explicit MidiInputThread(Deliver deliver);
    ~MidiInputThread();

    MidiInputThread(const MidiInputThread &) = delete;
    MidiInputThread &operator=(const MidiInputThread &) = delete;

    // Takes a copy of one received SysEx message; safe to call from a realtime thread, as it
    // holds the lock only for the copy and never while the owner handles a buffer.
    void Push(const uint8_t *bytes, size_t length);
    void AddBuffer(MidiBuffer *buffer);
    void Start();
    void Stop();
    // Drops pending data and returns every queued buffer with no bytes recorded; waits until the
    // callback thread has returned them, which includes finishing a delivery in progress.
    void Reset();
    size_t QueuedCount() const;

private:
    void Run();

    Deliver m_deliver;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_resetDone;
    std::deque<MidiBuffer *> m_queued;
    std::deque<std::vector<uint8_t>> m_pending;
    size_t m_pendingOffset = 0; // bytes of the front message already delivered
    bool m_started = false;
    bool m_resetRequested = false;
    bool m_quit = false;
    std::thread m_thread;
};
