#include "protocol/RtMidiPortFactory.h"

#include "protocol/RevisionInfo.h"

#include "jackwatch/JackServerWatch.h"

#include <RtMidi.h>
#include <functional>
#include <iostream>
#include <optional>
#include <unistd.h>

TAVIK_REVISION("RtMidiPortFactory.cpp");

namespace {
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

// Warnings go to standard error as the library prints them.
void onLibraryError(RtMidiError::Type type, const std::string &text, void *data) {
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) {
        if (type == RtMidiError::WARNING)
            std::cerr << '\n' << text << "\n\n";
        return;
    }
    auto *errors = static_cast<LibraryErrors *>(data);
    errors->pending = true;
    errors->type = type;
    errors->text = text;
}

// The library object of one direction. Over JACK it is made only while a server runs: made
// earlier, the library writes its failure on standard error and opens a client again at every
// count. It then belongs to that server, and reports when the server has gone.
template <typename Lib> class Library {
public:
    using Make = std::function<std::unique_ptr<Lib>(RtMidi::Api)>;

    // made is the object of a system that needs no server; null for JACK, made here when used
    // (and made anew by a new port object once its server went). second: this direction's client
    // is made after the other one's.
    Library(std::unique_ptr<Lib> made, Make make, bool second)
        : m_lib(std::move(made)), m_make(std::move(make)), m_second(second) {
        if (m_lib)
            m_lib->setErrorCallback(&onLibraryError, &errors);
    }
    ~Library() {
        m_lib.reset();
        if (m_server != 0)
            JackServerWatch::instance().release(m_server);
    }

    // The object, or null while no JACK server runs or after the one it met went.
    Lib *get() {
        if (m_lib)
            return jackServerGone() ? nullptr : m_lib.get();
        JackServerWatch &watch = JackServerWatch::instance();
        if (!watch.running()) {
            JackServerWatch::sayNothingServes();
            return nullptr;
        }
        m_lib = m_make(RtMidi::UNIX_JACK);
        if (m_second) {
            // libjack drops the removal notices that reach a process while its first client is
            // still opening, so the slot of a client that left just then stays tied to that
            // client's wake-up word here; a second client of ours that the server puts in that
            // slot is never run, and nothing passes through it. Closing a client clears its own
            // slot, so the second one is opened once more.
            m_lib.reset();
            m_lib = m_make(RtMidi::UNIX_JACK);
        }
        m_lib->setErrorCallback(&onLibraryError, &errors);
        m_server = watch.attach();
        return m_lib.get();
    }
    // Only while the object is there, for closing what was opened on it.
    Lib *existing() { return m_lib.get(); }
    bool jackServerGone() { return m_server != 0 && JackServerWatch::instance().gone(m_server); }

    LibraryErrors errors;

private:
    std::unique_ptr<Lib> m_lib;
    Make m_make;
    bool m_second;
    unsigned long m_server = 0;
};

RtMidiError noServer() {
    return RtMidiError("no MIDI server running", RtMidiError::DRIVER_ERROR);
}

class RtInput : public MidiInputPort {
public:
    RtInput(std::unique_ptr<RtMidiIn> made, Library<RtMidiIn>::Make make)
        : in(std::move(made), std::move(make), false) {}
    unsigned int getPortCount() override {
        RtMidiIn *lib = in.get();
        const unsigned int n = lib ? lib->getPortCount() : 0;
        in.errors.throwPending();
        return n;
    }
    std::string getPortName(unsigned int n) override {
        RtMidiIn *lib = in.get();
        std::string name = lib ? lib->getPortName(n) : std::string();
        in.errors.throwPending();
        return name;
    }
    void openPort(unsigned int n, const std::string &name) override {
        RtMidiIn *lib = in.get();
        if (!lib)
            throw noServer();
        lib->ignoreTypes(ignore[0], ignore[1], ignore[2]);
        lib->openPort(n, name);
        in.errors.throwPending();
    }
    void closePort() override {
        if (RtMidiIn *lib = in.existing())
            lib->closePort();
        in.errors.throwPending();
    }
    void ignoreTypes(bool sysex, bool time, bool sense) override {
        ignore[0] = sysex;
        ignore[1] = time;
        ignore[2] = sense;
        if (RtMidiIn *lib = in.existing())
            lib->ignoreTypes(sysex, time, sense);
    }
    double getMessage(MidiMessage *message) override {
        RtMidiIn *lib = in.existing();
        if (!lib) {
            message->clear();
            return 0;
        }
        const double stamp = lib->getMessage(message);
        in.errors.throwPending();
        return stamp;
    }
    bool serverGone() override { return in.jackServerGone(); }

private:
    Library<RtMidiIn> in;
    bool ignore[3] = {true, true, true}; // the library's own defaults
};

class RtOutput : public MidiOutputPort {
public:
    RtOutput(std::unique_ptr<RtMidiOut> made, Library<RtMidiOut>::Make make)
        : out(std::move(made), std::move(make), true) {}
    unsigned int getPortCount() override {
        RtMidiOut *lib = out.get();
        const unsigned int n = lib ? lib->getPortCount() : 0;
        out.errors.throwPending();
        return n;
    }
    std::string getPortName(unsigned int n) override {
        RtMidiOut *lib = out.get();
        std::string name = lib ? lib->getPortName(n) : std::string();
        out.errors.throwPending();
        return name;
    }
    void openPort(unsigned int n, const std::string &name) override {
        RtMidiOut *lib = out.get();
        if (!lib)
            throw noServer();
        lib->openPort(n, name);
        out.errors.throwPending();
    }
    void closePort() override {
        if (RtMidiOut *lib = out.existing())
            lib->closePort();
        out.errors.throwPending();
    }
    void sendMessage(const MidiMessage *message) override {
        RtMidiOut *lib = out.existing();
        if (!lib)
            throw noServer();
        lib->sendMessage(message);
        out.errors.throwPending();
    }
    bool serverGone() override { return out.jackServerGone(); }

private:
    Library<RtMidiOut> out;
};

// The object of the first API that can be made: the default one, then each other compiled one,
// JACK's left to be made when a server runs (null). Without ALSA, only the other compiled APIs are
// tried. Rethrows the first error (without ALSA: the last) when none can be made.
template <typename Lib, typename Make>
std::unique_ptr<Lib> firstAvailable(const Make &make, bool withoutAlsa) {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    std::optional<RtMidiError> first;
    if (!withoutAlsa) {
        try {
            auto lib = make(RtMidi::UNSPECIFIED);
            if (lib->getCurrentApi() != RtMidi::UNIX_JACK)
                return lib;
            return nullptr;
        } catch (const RtMidiError &error) {
            first = error;
        }
    }
    for (RtMidi::Api api : apis) {
        if (api == RtMidi::RTMIDI_DUMMY || (withoutAlsa && api == RtMidi::LINUX_ALSA))
            continue;
        if (api == RtMidi::UNIX_JACK)
            return nullptr;
        try {
            return make(api);
        } catch (const RtMidiError &error) {
            if (!first || withoutAlsa)
                first = error;
        }
    }
    throw first.value_or(RtMidiError("no MIDI system without ALSA", RtMidiError::NO_DEVICES_FOUND));
}
} // namespace

bool RtMidiPortFactory::skipAlsa() {
    return access("/dev/snd/seq", F_OK) != 0;
}

std::unique_ptr<MidiInputPort> RtMidiPortFactory::createInput(const std::string &clientName,
                                                              unsigned int queueLimit) {
    Library<RtMidiIn>::Make make = [clientName, queueLimit](RtMidi::Api api) {
        return std::make_unique<RtMidiIn>(api, clientName, queueLimit);
    };
    auto made = firstAvailable<RtMidiIn>(make, skipAlsa());
    return std::make_unique<RtInput>(std::move(made), std::move(make));
}

std::unique_ptr<MidiOutputPort> RtMidiPortFactory::createOutput(const std::string &clientName) {
    Library<RtMidiOut>::Make make = [clientName](RtMidi::Api api) {
        return std::make_unique<RtMidiOut>(api, clientName);
    };
    auto made = firstAvailable<RtMidiOut>(make, skipAlsa());
    return std::make_unique<RtOutput>(std::move(made), std::move(make));
}
