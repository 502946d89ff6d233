// Waiting in a benchmark by running the event loop: never sleeping (unlike QTest's waits), so the
// program under measurement keeps answering while the harness waits.
#pragma once

#include <functional>

class EventLoopWait {
public:
    // Runs the event loop until pred holds, checking every millisecond; false on time-out.
    static bool until(const std::function<bool()> &pred, int timeoutMs);
    // Runs the event loop for ms milliseconds with nothing of the harness's own waking it.
    static void runFor(int ms);
};
