#include "protocol/RtMidiPortFactory.h"

#include "protocol/RevisionInfo.h"

#include <RtMidi.h>
#include <atomic>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

TAVIK_REVISION("RtMidiPortFactory.cpp");

namespace {
// Which running JACK server the object talks to: the server's socket file, by device, inode and
// change time; empty while no server of that name runs. A JACK client of a server that stopped keeps
// listing the ports it last saw and never attaches to a server started later, so the link compares
// this against the server it met first.
std::string jackServerInstance() {
    const char *env = std::getenv("JACK_DEFAULT_SERVER");
    const std::string server = env && *env ? env : "default";
    const std::string path = "/dev/shm/jack_" + server + "_" + std::to_string(getuid()) + "_0";
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode))
        return {};
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + ":" +
           std::to_string(st.st_ctim.tv_sec) + "." + std::to_string(st.st_ctim.tv_nsec);
}

// Errors the library reports while it has an error callback; the adapters throw them after the call.
struct LibraryErrors {
    bool pending = false;
    RtMidiError::Type type = RtMidiError::UNSPECIFIED;
    std::string text;

    void throwPending() {
        if (!pending)
            return;
        pending = false;
        throw RtMidiError(text, type);
    }
};

// Warnings go to standard error as the library prints them, except that "JACK server not running?",
// which it repeats on every port count while no server runs, is printed once.
void onLibraryError(RtMidiError::Type type, const std::string &text, void *data) {
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) {
        static std::atomic_bool noServerSaid{false};
        if (text.find("JACK server not running?") != std::string::npos && noServerSaid.exchange(true))
            return;
        if (type == RtMidiError::WARNING)
            std::cerr << '\n' << text << "\n\n";
        return;
    }
    auto *errors = static_cast<LibraryErrors *>(data);
    errors->pending = true;
    errors->type = type;
    errors->text = text;
}

// The JACK part both adapters share: while no server runs the library is not asked (it would try to
// open a client on every count, and its output object allocates buffers each time).
template <typename Lib> class JackAware {
protected:
    explicit JackAware(Lib &lib) : jack(lib.getCurrentApi() == RtMidi::UNIX_JACK) {
        lib.setErrorCallback(&onLibraryError, &errors);
        if (jack)
            seen = jackServerInstance();
    }
    unsigned int countPorts(Lib &lib) {
        if (jack) {
            const std::string now = jackServerInstance();
            if (now.empty())
                return 0;
            if (seen.empty())
                seen = now; // the library attaches to this server now
        }
        const unsigned int n = lib.getPortCount();
        errors.throwPending();
        return n;
    }
    bool jackServerGone() const { return jack && !seen.empty() && jackServerInstance() != seen; }

    LibraryErrors errors;

private:
    bool jack;
    std::string seen;
};

class RtInput : public MidiInputPort, private JackAware<RtMidiIn> {
public:
    explicit RtInput(std::unique_ptr<RtMidiIn> lib) : JackAware(*lib), in(std::move(lib)) {}
    unsigned int getPortCount() override { return countPorts(*in); }
    std::string getPortName(unsigned int n) override {
        std::string name = in->getPortName(n);
        errors.throwPending();
        return name;
    }
    void openPort(unsigned int n, const std::string &name) override {
        in->openPort(n, name);
        errors.throwPending();
    }
    void closePort() override {
        in->closePort();
        errors.throwPending();
    }
    void ignoreTypes(bool sysex, bool time, bool sense) override { in->ignoreTypes(sysex, time, sense); }
    double getMessage(MidiMessage *message) override {
        const double stamp = in->getMessage(message);
        errors.throwPending();
        return stamp;
    }
    bool serverGone() override { return jackServerGone(); }

private:
    std::unique_ptr<RtMidiIn> in;
};

class RtOutput : public MidiOutputPort, private JackAware<RtMidiOut> {
public:
    explicit RtOutput(std::unique_ptr<RtMidiOut> lib) : JackAware(*lib), out(std::move(lib)) {}
    unsigned int getPortCount() override { return countPorts(*out); }
    std::string getPortName(unsigned int n) override {
        std::string name = out->getPortName(n);
        errors.throwPending();
        return name;
    }
    void openPort(unsigned int n, const std::string &name) override {
        out->openPort(n, name);
        errors.throwPending();
    }
    void closePort() override {
        out->closePort();
        errors.throwPending();
    }
    void sendMessage(const MidiMessage *message) override {
        out->sendMessage(message);
        errors.throwPending();
    }
    bool serverGone() override { return jackServerGone(); }

private:
    std::unique_ptr<RtMidiOut> out;
};
// Tries the default API first, then each compiled API in turn; rethrows the first error when all fail.
// Without ALSA, only the other compiled APIs are tried, and the last error is rethrown.
template <typename Port, typename Make> std::unique_ptr<Port> createWithFallback(Make make, bool withoutAlsa) {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    if (withoutAlsa) {
        std::optional<RtMidiError> last;
        for (RtMidi::Api api : apis) {
            if (api == RtMidi::RTMIDI_DUMMY || api == RtMidi::LINUX_ALSA)
                continue;
            try {
                return make(api);
            } catch (const RtMidiError &error) {
                last = error;
            }
        }
        throw last.value_or(RtMidiError("no MIDI system without ALSA", RtMidiError::NO_DEVICES_FOUND));
    }
    try {
        return make(RtMidi::UNSPECIFIED);
    } catch (const RtMidiError &first) {
        for (RtMidi::Api api : apis) {
            if (api == RtMidi::RTMIDI_DUMMY)
                continue;
            try {
                return make(api);
            } catch (const RtMidiError &) {
            }
        }
        throw;
    }
}
} // namespace

bool RtMidiPortFactory::skipAlsa() const {
    return m_alsaProbe == AlsaProbe::OnlyWithSequencer && access("/dev/snd/seq", F_OK) != 0;
}

std::unique_ptr<MidiInputPort> RtMidiPortFactory::createInput(const std::string &clientName,
                                                              unsigned int queueLimit) {
    auto in = createWithFallback<RtMidiIn>(
        [&](RtMidi::Api api) { return std::make_unique<RtMidiIn>(api, clientName, queueLimit); }, skipAlsa());
    return std::make_unique<RtInput>(std::move(in));
}

std::unique_ptr<MidiOutputPort> RtMidiPortFactory::createOutput(const std::string &clientName) {
    auto out = createWithFallback<RtMidiOut>(
        [&](RtMidi::Api api) { return std::make_unique<RtMidiOut>(api, clientName); }, skipAlsa());
    if (out->getCurrentApi() == RtMidi::UNIX_JACK && !jackServerInstance().empty()) {
        // libjack drops the removal notices that reach a process while its first client is still
        // opening, so the slot of a client that left just then stays tied to that client's wake-up
        // word here; a second client of ours that the server puts in that slot is never run, and
        // nothing it sends goes out. Closing a client clears its own slot, so the output client
        // (made after the input one) is opened once more.
        out.reset();
        out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, clientName);
    }
    return std::make_unique<RtOutput>(std::move(out));
}
