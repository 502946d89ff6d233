// Whether a JACK server runs, and whether it is still the one that ran before, asked of the JACK
// library the program loaded: jackd2's, or PipeWire's JACK library under pw-jack (which leaves no
// socket file of jackd's). Header only: TavikRemote's core and TavikLogo's platform layer each
// use it on their own.
#pragma once

#include <jack/jack.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>

#include <unistd.h>

// A JACK client of a server that stopped goes on listing the ports it last saw and never attaches
// to a server started later, so the callers make their clients while a server runs, attach each
// one here, and make new ones once that server has gone. While clients are attached, a client of
// the watch's own (no ports) stays open and hears the server go; it opens after the first of
// them, so the first client of the process is always one that does MIDI (see attach()).
class JackServerWatch {
public:
    // The process's one watch.
    static JackServerWatch &instance() {
        static JackServerWatch watch;
        return watch;
    }

    // Whether a server runs. With no client attached the library is asked (a client opened and
    // closed again), which never starts a server and writes nothing on standard error. With
    // clients attached no client is opened until all are released after their server went:
    // jackd2's library frees every client of a process at the next one it opens after its server
    // went, under their owners' feet.
    bool running() {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_clients > 0)
            return !m_ended.load();
        jack_client_t *client = open();
        if (client == nullptr)
            return false;
        jack_client_close(client);
        return true;
    }

    // A client was made after running() said yes: returns the number of the server it belongs to.
    // The first attached opens the watch's client. The server tells a process's clients of the
    // clients that leave; a notice that comes while the process's first client is still opening
    // is lost, and a later client of the process that takes the leaver's slot is never woken to
    // process. The watch's client processes nothing, so it may come second.
    unsigned long attach() {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_clients++ == 0) {
            ++m_server;
            m_ended = false;
            m_client = open();
            // Only an active client hears that the server went (PipeWire's library tells
            // inactive ones nothing).
            if (m_client != nullptr)
                jack_on_shutdown(m_client, &onShutdown, this);
            if (m_client == nullptr || jack_activate(m_client) != 0)
                m_ended = true;
        }
        return m_server;
    }
    // The client made under server is closed.
    void release(unsigned long server) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (server != m_server || m_clients == 0 || --m_clients > 0)
            return;
        if (m_client != nullptr)
            jack_client_close(m_client);
        m_client = nullptr;
    }
    // True once the server that clients attached under server belong to is gone.
    bool gone(unsigned long server) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return server != 0 && (server != m_server || m_ended.load());
    }

    // Says once a process, in one line on standard error, that no MIDI system serves.
    static void sayNothingServes() {
        static std::atomic_bool said{false};
        if (!said.exchange(true))
            std::fprintf(stderr,
                         "%s: no ALSA sequencer to use and no JACK server running; MIDI ports appear "
                         "once a JACK server starts\n",
                         program_invocation_short_name);
    }

    JackServerWatch(const JackServerWatch &) = delete;
    JackServerWatch &operator=(const JackServerWatch &) = delete;

private:
    JackServerWatch() = default;
    ~JackServerWatch() {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_client != nullptr)
            jack_client_close(m_client);
    }

    static jack_client_t *open() {
        // libjack reports a missing server in five lines, and a server dying under our clients in
        // more; none of them is for the user.
        jack_set_error_function(&quiet);
        jack_set_info_function(&quiet);
        // A name of this process's own: jackd2 hands a name out before the client's socket of
        // that name exists, so two processes opening one name at once can take each other's
        // socket, and the server then gives up on both (a running server taken for none).
        char name[32];
        std::snprintf(name, sizeof name, "tavik-watch-%ld", long(getpid()));
        return jack_client_open(name, JackNoStartServer, nullptr);
    }
    static void quiet(const char *) {}
    // On a thread of the library.
    static void onShutdown(void *self) { static_cast<JackServerWatch *>(self)->m_ended = true; }

    std::mutex m_mutex;
    jack_client_t *m_client = nullptr;
    std::atomic_bool m_ended{false};
    unsigned long m_server = 0; // counts the times clients were attached with none attached before
    int m_clients = 0;          // attached and not yet released
};
