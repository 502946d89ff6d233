// Echo peer for the transfer floor: answers every message it receives with one short message, optionally
// paced like a MIDI cable of a given baud rate (the simulator's own pacing rule).
#include "sim/InputPacer.h"
#include "sysex/TavikSysEx.h"

#include <RtMidi.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

int64_t monotonicNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// The MIDI library calls the input callback on the MIDI system's realtime thread, which must never
// wait; the replies, paced or not, go out from a thread of their own.
struct Peer {
    std::unique_ptr<RtMidiOut> out;
    InputPacer pacer;
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<int64_t> due; // when each received message has fully come through the cable
    bool quit = false;
    bool paced = false;
    static const std::vector<unsigned char> reply;

    void replyLoop() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            arrived.wait(lock, [this] { return quit || !due.empty(); });
            if (quit)
                return;
            const int64_t at = due.front();
            due.pop_front();
            lock.unlock();
            const int64_t wait = at - monotonicNs();
            if (wait > 0)
                std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
            out->sendMessage(&Peer::reply);
            lock.lock();
        }
    }
};

void onMessage(double, std::vector<unsigned char> *message, void *user) {
    auto *peer = static_cast<Peer *>(user);
    if (message->empty())
        return;
    if (!peer->paced) {
        // Unpaced, the reply goes out at once: the fastest round trip the server allows.
        peer->out->sendMessage(&Peer::reply);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(peer->mutex);
        peer->due.push_back(peer->pacer.finishTime(monotonicNs(), message->size()));
    }
    peer->arrived.notify_one();
}

const std::vector<unsigned char> Peer::reply = [] {
    std::vector<unsigned char> msg;
    TavikSysEx::appendHeader(msg, TavikSysEx::FamilyNeo, 0, TavikSysEx::ACK_PIC);
    msg.push_back(TavikSysEx::SysExEnd);
    return msg;
}();

} // namespace

int main(int argc, char **argv) {
    int baud = 0;
    std::string client = "tavik-bench-echo";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--pace-baud") == 0)
            baud = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--client") == 0)
            client = argv[++i];
    }
    try {
        Peer peer;
        peer.out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, client);
        peer.pacer = InputPacer(baud);
        peer.paced = baud > 0;
        std::thread replies([&peer] { peer.replyLoop(); });
        RtMidiIn in(RtMidi::UNIX_JACK, client, 100);
        in.ignoreTypes(false, false, false);
        in.setCallback(onMessage, &peer);
        in.openVirtualPort("in");
        peer.out->openVirtualPort("out");
        std::printf("ready\n");
        std::fflush(stdout);
        // Runs until standard input ends or says "quit".
        char line[256];
        while (std::fgets(line, sizeof line, stdin) && std::strncmp(line, "quit", 4) != 0) {
        }
        in.closePort();
        {
            std::lock_guard<std::mutex> lock(peer.mutex);
            peer.quit = true;
        }
        peer.arrived.notify_one();
        replies.join();
    } catch (const RtMidiError &e) {
        std::fprintf(stderr, "bench_echo: %s\n", e.what());
        return 1;
    }
    return 0;
}
