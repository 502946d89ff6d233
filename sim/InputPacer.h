// Paces received messages as a MIDI cable of a given baud rate would deliver them.
#pragma once

#include <cstddef>
#include <cstdint>

class InputPacer {
public:
    // baud 0 disables pacing: every message may be handled when it arrives.
    explicit InputPacer(int baud = 0) : m_baud(baud) {}

    // For a message of `length` bytes that arrived at `arrivalNs`: the time at which it has
    // fully come through the cable, no earlier than length * 10 / baud seconds after the
    // previous message finished. Times are in nanoseconds of one monotonic clock.
    int64_t finishTime(int64_t arrivalNs, size_t length);
    void reset() { m_lastFinishNs = INT64_MIN; }

private:
    int m_baud;
    int64_t m_lastFinishNs = INT64_MIN;
};
