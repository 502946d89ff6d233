#include "logo/RtMidiPlatform.h"

#include "logo/MidiInputThread.h"

#include "jackwatch/JackServerWatch.h"

#include <unistd.h>
#include <vector>

struct RtMidiPlatform::Input {
    std::unique_ptr<MidiInputThread> thread;
};

struct RtMidiPlatform::Output {
    OutCallback callback;
};

namespace {

RtMidiPlatform::Handle ToHandle(void *object) {
    return reinterpret_cast<RtMidiPlatform::Handle>(object);
}

template <class Object> Object *FromHandle(RtMidiPlatform::Handle handle) {
    return reinterpret_cast<Object *>(handle);
}

} // namespace

RtMidiPlatform::RtMidiPlatform(std::string clientName)
    : m_inClient(clientName), m_outClient(clientName + " out") {}

RtMidiPlatform::~RtMidiPlatform() {
    // Ports first, then the clients.
    if (m_openInput != nullptr)
        InClose(ToHandle(m_openInput));
    if (m_openOutput != nullptr)
        OutClose(ToHandle(m_openOutput));
    Drop(m_out, m_outServer);
    Drop(m_in, m_inServer);
}

void RtMidiPlatform::OnRtMidiError(RtMidiError::Type type, const std::string &, void *user) {
    // Also called on the MIDI system's thread (a full input queue), so only flags are set. With
    // this callback RtMidi neither prints nor throws; the caller looks at the flags.
    auto *self = static_cast<RtMidiPlatform *>(user);
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING)
        return;
    self->m_failed = true;
    if (type == RtMidiError::DRIVER_ERROR || type == RtMidiError::SYSTEM_ERROR)
        self->m_broken = true;
}

void RtMidiPlatform::ClearErrors() {
    m_failed = false;
    m_broken = false;
}

bool RtMidiPlatform::ResolveApi() {
    if (m_apiResolved)
        return m_apiFound;
    m_apiResolved = true;
    // The default API throws where its system service is missing; then each other compiled API is
    // tried in turn. Where the ALSA sequencer's device node is missing, ALSA is not tried at all,
    // so none of its failure lines reach standard error. Both directions use the API found; JACK's
    // objects are made only while a server runs (MakeObject).
    const bool skipAlsa = access("/dev/snd/seq", F_OK) != 0;
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    if (!skipAlsa)
        apis.insert(apis.begin(), RtMidi::UNSPECIFIED);
    for (RtMidi::Api api : apis) {
        if (api == RtMidi::RTMIDI_DUMMY || (skipAlsa && api == RtMidi::LINUX_ALSA))
            continue;
        if (api == RtMidi::UNIX_JACK) {
            m_api = api;
            m_apiFound = true;
            break;
        }
        try {
            auto in = std::make_unique<RtMidiIn>(api, m_inClient);
            m_api = in->getCurrentApi();
            m_apiFound = true;
            if (m_api != RtMidi::UNIX_JACK) {
                in->setErrorCallback(&RtMidiPlatform::OnRtMidiError, this);
                m_in = std::move(in);
            }
            break;
        } catch (const RtMidiError &) {
        }
    }
    return m_apiFound;
}

template <class Lib>
std::unique_ptr<Lib> RtMidiPlatform::MakeObject(const std::string &client, unsigned long &server) {
    server = 0;
    const bool jack = m_api == RtMidi::UNIX_JACK;
    if (jack && !JackServerWatch::instance().running()) {
        JackServerWatch::sayNothingServes();
        return nullptr;
    }
    std::unique_ptr<Lib> midi;
    try {
        midi = std::make_unique<Lib>(m_api, client);
        midi->setErrorCallback(&RtMidiPlatform::OnRtMidiError, this);
    } catch (const RtMidiError &) {
        return nullptr;
    }
    if (jack)
        server = JackServerWatch::instance().attach();
    return midi;
}

template <class Lib> void RtMidiPlatform::Drop(std::unique_ptr<Lib> &midi, unsigned long &server) {
    midi.reset();
    if (server != 0)
        JackServerWatch::instance().release(server);
    server = 0;
}

template <class Lib>
bool RtMidiPlatform::Ensure(std::unique_ptr<Lib> &midi, unsigned long &server, bool portOpen,
                            const std::string &client) {
    if (!ResolveApi())
        return false;
    if (midi && server != 0 && JackServerWatch::instance().gone(server)) {
        // The object of a server that went still lists that server's ports: it lists nothing
        // now, and goes once its port is closed; a new one meets the server that runs then.
        if (portOpen)
            return false;
        Drop(midi, server);
    }
    if (!midi)
        midi = MakeObject<Lib>(client, server);
    return midi != nullptr;
}

bool RtMidiPlatform::EnsureInput() {
    return Ensure(m_in, m_inServer, m_openInput != nullptr, m_inClient);
}

bool RtMidiPlatform::EnsureOutput() {
    return Ensure(m_out, m_outServer, m_openOutput != nullptr, m_outClient);
}

bool RtMidiPlatform::IsOwnPort(const std::string &name) const {
    auto startsWith = [&name](const std::string &client) { return name.rfind(client + ":", 0) == 0; };
    return startsWith(m_inClient) || startsWith(m_outClient);
}

std::vector<std::string> RtMidiPlatform::Listed(RtMidi &midi, unsigned max) {
    std::vector<std::string> names;
    ClearErrors();
    try {
        unsigned count = midi.getPortCount();
        for (unsigned i = 0; i < count && names.size() < max; ++i) {
            std::string name = midi.getPortName(i);
            // A port that went between the count and the name reads as empty.
            if (!name.empty() && !IsOwnPort(name))
                names.push_back(std::move(name));
        }
    } catch (const RtMidiError &) {
    }
    return names;
}

int RtMidiPlatform::RawIndex(RtMidi &midi, const std::string &name) {
    try {
        unsigned count = midi.getPortCount();
        for (unsigned i = 0; i < count; ++i)
            if (midi.getPortName(i) == name)
                return static_cast<int>(i);
    } catch (const RtMidiError &) {
    }
    return -1;
}

std::vector<std::string> RtMidiPlatform::InDeviceNames(unsigned max) {
    if (!EnsureInput())
        return {};
    return Listed(*m_in, max);
}

std::vector<std::string> RtMidiPlatform::OutDeviceNames(unsigned max) {
    if (!EnsureOutput())
        return {};
    return Listed(*m_out, max);
}

std::optional<std::string> RtMidiPlatform::InDeviceName(unsigned index) {
    std::vector<std::string> names = InDeviceNames(index + 1);
    if (index >= names.size())
        return std::nullopt;
    return names[index];
}

std::optional<std::string> RtMidiPlatform::OutDeviceName(unsigned index) {
    std::vector<std::string> names = OutDeviceNames(index + 1);
    if (index >= names.size())
        return std::nullopt;
    return names[index];
}

void RtMidiPlatform::OnRtMidiInput(double, std::vector<unsigned char> *message, void *user) {
    // Runs on the MIDI system's thread: only copy the SysEx bytes and return.
    if (message == nullptr || message->empty() || message->front() != 0xF0)
        return;
    auto *self = static_cast<RtMidiPlatform *>(user);
    std::lock_guard<std::mutex> lock(self->m_inputMutex);
    if (self->m_receiving != nullptr)
        self->m_receiving->thread->Push(message->data(), message->size());
}

int RtMidiPlatform::InOpen(Handle &handle, unsigned index, InCallback callback) {
    handle = 0;
    std::optional<std::string> name = InDeviceName(index);
    if (!name)
        return 1;
    return InOpenNamed(handle, *name, std::move(callback));
}

int RtMidiPlatform::InOpenNamed(Handle &handle, const std::string &name, InCallback callback) {
    handle = 0;
    if (m_openInput != nullptr || IsOwnPort(name) || !EnsureInput())
        return 1;
    // The name is looked up again now: ports that came or went since the list was read move
    // the index, never the choice.
    int index = RawIndex(*m_in, name);
    if (index < 0)
        return 1;
    auto input = std::make_unique<Input>();
    Input *raw = input.get();
    input->thread = std::make_unique<MidiInputThread>(
        [callback, raw](InEvent event, MidiBuffer *buffer) { callback(ToHandle(raw), event, buffer); });
    {
        std::lock_guard<std::mutex> lock(m_inputMutex);
        m_receiving = raw;
    }
    ClearErrors();
    try {
        m_in->setCallback(&RtMidiPlatform::OnRtMidiInput, this);
        m_in->ignoreTypes(false, true, true);
        m_in->openPort(static_cast<unsigned>(index), "in");
    } catch (const RtMidiError &) {
        m_failed = true;
    }
    if (m_failed || !m_in->isPortOpen()) {
        try {
            m_in->cancelCallback();
            m_in->closePort();
        } catch (const RtMidiError &) {
        }
        {
            std::lock_guard<std::mutex> lock(m_inputMutex);
            m_receiving = nullptr;
        }
        if (m_broken)
            Drop(m_in, m_inServer);
        return 1;
    }
    m_openInput = input.release();
    handle = ToHandle(m_openInput);
    return 0;
}

int RtMidiPlatform::InPrepareHeader(Handle handle, MidiBuffer *buffer) {
    if (handle == 0 || buffer == nullptr || buffer->data == nullptr)
        return 1;
    buffer->prepared = true;
    return 0;
}

int RtMidiPlatform::InAddBuffer(Handle handle, MidiBuffer *buffer) {
    if (handle == 0 || buffer == nullptr || !buffer->prepared)
        return 1;
    FromHandle<Input>(handle)->thread->AddBuffer(buffer);
    return 0;
}

int RtMidiPlatform::InStart(Handle handle) {
    if (handle == 0)
        return 1;
    FromHandle<Input>(handle)->thread->Start();
    return 0;
}

int RtMidiPlatform::InStop(Handle handle) {
    if (handle == 0)
        return 1;
    FromHandle<Input>(handle)->thread->Stop();
    return 0;
}

int RtMidiPlatform::InReset(Handle handle) {
    if (handle == 0)
        return 1;
    FromHandle<Input>(handle)->thread->Reset();
    return 0;
}

int RtMidiPlatform::InClose(Handle handle) {
    if (handle == 0 || FromHandle<Input>(handle) != m_openInput)
        return 1;
    std::unique_ptr<Input> input(m_openInput);
    m_openInput = nullptr;
    // The port goes first and the callback's way in is shut before the thread stops, so no
    // MIDI system thread pushes into a stopping thread. The client stays for the next open.
    try {
        m_in->cancelCallback();
        m_in->closePort();
    } catch (const RtMidiError &) {
    }
    {
        std::lock_guard<std::mutex> lock(m_inputMutex);
        m_receiving = nullptr;
    }
    input->thread.reset();
    return 0;
}

int RtMidiPlatform::InUnprepareHeader(Handle handle, MidiBuffer *buffer) {
    if (handle == 0 || buffer == nullptr)
        return 1;
    buffer->prepared = false;
    return 0;
}

int RtMidiPlatform::OutOpen(Handle &handle, unsigned index, OutCallback callback) {
    handle = 0;
    std::optional<std::string> name = OutDeviceName(index);
    if (!name)
        return 1;
    return OutOpenNamed(handle, *name, std::move(callback));
}

int RtMidiPlatform::OutOpenNamed(Handle &handle, const std::string &name, OutCallback callback) {
    handle = 0;
    if (m_openOutput != nullptr || IsOwnPort(name) || !EnsureOutput())
        return 1;
    int index = RawIndex(*m_out, name);
    if (index < 0)
        return 1;
    if (m_api == RtMidi::UNIX_JACK) {
        // libjack drops the removal notices that reach a process while its first client is still
        // opening, so the slot of a client that left just then stays tied to that client's wake-up
        // word here; a second client of ours that the server puts in that slot is never run, and
        // nothing it sends goes out. Closing a client clears its own slot, so the output client
        // (opened after the input one) is opened afresh before its port is.
        Drop(m_out, m_outServer);
        if (!EnsureOutput() || (index = RawIndex(*m_out, name)) < 0)
            return 1;
    }
    ClearErrors();
    try {
        m_out->openPort(static_cast<unsigned>(index), "out");
    } catch (const RtMidiError &) {
        m_failed = true;
    }
    if (m_failed || !m_out->isPortOpen()) {
        try {
            m_out->closePort();
        } catch (const RtMidiError &) {
        }
        if (m_broken)
            Drop(m_out, m_outServer);
        return 1;
    }
    m_openOutput = new Output{std::move(callback)};
    handle = ToHandle(m_openOutput);
    return 0;
}

int RtMidiPlatform::OutPrepareHeader(Handle handle, MidiBuffer *buffer) {
    if (handle == 0 || buffer == nullptr || buffer->data == nullptr)
        return 1;
    buffer->prepared = true;
    return 0;
}

int RtMidiPlatform::OutLongMsg(Handle handle, MidiBuffer *buffer) {
    if (handle == 0 || buffer == nullptr || !buffer->prepared || !m_out)
        return 1;
    Output *output = FromHandle<Output>(handle);
    ClearErrors();
    try {
        m_out->sendMessage(buffer->data, buffer->bytesRecorded);
    } catch (const RtMidiError &) {
        return 1;
    }
    if (m_failed)
        return 1;
    // RtMidi has copied the bytes, so the buffer is done at once.
    output->callback(handle, OutEvent::Done, buffer);
    return 0;
}

int RtMidiPlatform::OutUnprepareHeader(Handle handle, MidiBuffer *buffer) {
    if (handle == 0 || buffer == nullptr)
        return 1;
    buffer->prepared = false;
    return 0;
}

int RtMidiPlatform::OutReset(Handle handle) {
    return handle == 0 ? 1 : 0;
}

int RtMidiPlatform::OutClose(Handle handle) {
    if (handle == 0 || FromHandle<Output>(handle) != m_openOutput)
        return 1;
    std::unique_ptr<Output> output(m_openOutput);
    m_openOutput = nullptr;
    try {
        if (m_out)
            m_out->closePort();
    } catch (const RtMidiError &) {
    }
    return 0;
}
