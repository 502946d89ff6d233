// A JACK client of its own that sends itself a MIDI message every 10 ms and keeps the longest
// wait between two arrivals: a stalled JACK graph shows up as a long wait.
#pragma once

#include <atomic>
#include <cstdint>

struct _jack_client;
struct _jack_port;

class LoopbackProbe {
public:
    LoopbackProbe() = default;
    ~LoopbackProbe();
    LoopbackProbe(const LoopbackProbe &) = delete;
    LoopbackProbe &operator=(const LoopbackProbe &) = delete;

    // Opens the client on the server JACK_DEFAULT_SERVER names and connects its output to its input.
    bool start();
    void stop();
    // Messages received so far, and the longest wait in milliseconds between two of them (or since
    // the last one, while none comes).
    int received() const { return m_received.load(); }
    double longestWaitMs() const;

private:
    static int process(uint32_t frames, void *self);
    static double now();

    _jack_client *m_client = nullptr;
    _jack_port *m_in = nullptr;
    _jack_port *m_out = nullptr;
    uint32_t m_framesSinceSend = 0;
    uint32_t m_sendEvery = 480;
    std::atomic<int> m_received{0};
    std::atomic<double> m_last{0};
    std::atomic<double> m_longest{0};
};
