// A JACK client of its own that sends itself a MIDI message every 10 ms and keeps the longest
// wait between two arrivals.
#include "LoopbackProbe.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <ctime>
#include <string>

LoopbackProbe::~LoopbackProbe() {
    stop();
}

double LoopbackProbe::now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

bool LoopbackProbe::start() {
    m_client = jack_client_open("tavik-loopback", JackNoStartServer, nullptr);
    if (!m_client)
        return false;
    m_sendEvery = jack_get_sample_rate(m_client) / 100;
    m_in = jack_port_register(m_client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    m_out = jack_port_register(m_client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (!m_in || !m_out || jack_set_process_callback(m_client, &LoopbackProbe::process, this) != 0 ||
        jack_activate(m_client) != 0) {
        stop();
        return false;
    }
    const std::string client = jack_get_client_name(m_client);
    return jack_connect(m_client, (client + ":out").c_str(), (client + ":in").c_str()) == 0;
}

void LoopbackProbe::stop() {
    if (!m_client)
        return;
    jack_deactivate(m_client);
    jack_client_close(m_client);
    m_client = nullptr;
}

double LoopbackProbe::longestWaitMs() const {
    const double last = m_last.load();
    return last > 0 ? std::max(m_longest.load(), now() - last) : 0.0;
}

int LoopbackProbe::process(uint32_t frames, void *self) {
    auto *probe = static_cast<LoopbackProbe *>(self);
    void *out = jack_port_get_buffer(probe->m_out, frames);
    jack_midi_clear_buffer(out);
    probe->m_framesSinceSend += frames;
    if (probe->m_framesSinceSend >= probe->m_sendEvery) {
        probe->m_framesSinceSend = 0;
        if (jack_midi_data_t *event = jack_midi_event_reserve(out, 0, 3)) {
            event[0] = 0x90;
            event[1] = 60;
            event[2] = 1;
        }
    }
    void *in = jack_port_get_buffer(probe->m_in, frames);
    if (jack_midi_get_event_count(in) > 0) {
        const double t = now();
        const double last = probe->m_last.load();
        if (last > 0 && t - last > probe->m_longest.load())
            probe->m_longest = t - last;
        probe->m_last = t;
        probe->m_received += int(jack_midi_get_event_count(in));
    }
    return 0;
}
