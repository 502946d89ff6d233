#include "RtMidiPlatform.h"

#include "MidiInputThread.h"

#include <vector>

struct RtMidiPlatform::Input {
    std::unique_ptr<MidiInputThread> thread;
    std::unique_ptr<RtMidiIn> midi;
};

struct RtMidiPlatform::Output {
    OutCallback callback;
    std::unique_ptr<RtMidiOut> midi;
};

namespace {

RtMidiPlatform::Handle ToHandle(void *object) {
    return reinterpret_cast<RtMidiPlatform::Handle>(object);
}

template <class Object> Object *FromHandle(RtMidiPlatform::Handle handle) {
    return reinterpret_cast<Object *>(handle);
}

} // namespace

RtMidiPlatform::RtMidiPlatform(std::string clientName) : m_clientName(std::move(clientName)) {}

RtMidiPlatform::~RtMidiPlatform() = default;

bool RtMidiPlatform::ResolveApi() {
    if (m_apiResolved)
        return m_probeIn && m_probeOut;
    m_apiResolved = true;
    // The default API throws where its system service is missing (no ALSA sequencer); then each
    // other compiled API is tried in turn. Both directions use the API the input probe found.
    try {
        m_probeIn = std::make_unique<RtMidiIn>(RtMidi::UNSPECIFIED, m_clientName);
        m_api = m_probeIn->getCurrentApi();
    } catch (const RtMidiError &) {
        std::vector<RtMidi::Api> apis;
        RtMidi::getCompiledApi(apis);
        for (RtMidi::Api api : apis) {
            if (api == RtMidi::RTMIDI_DUMMY)
                continue;
            try {
                m_probeIn = std::make_unique<RtMidiIn>(api, m_clientName);
                m_api = api;
                break;
            } catch (const RtMidiError &) {
            }
        }
    }
    if (!m_probeIn)
        return false;
    try {
        m_probeOut = std::make_unique<RtMidiOut>(m_api, m_clientName);
    } catch (const RtMidiError &) {
        m_probeIn.reset();
        return false;
    }
    return true;
}

std::optional<std::string> RtMidiPlatform::InDeviceName(unsigned index) {
    if (!ResolveApi())
        return std::nullopt;
    try {
        if (index >= m_probeIn->getPortCount())
            return std::nullopt;
        return m_probeIn->getPortName(index);
    } catch (const RtMidiError &) {
        return std::nullopt;
    }
}

std::optional<std::string> RtMidiPlatform::OutDeviceName(unsigned index) {
    if (!ResolveApi())
        return std::nullopt;
    try {
        if (index >= m_probeOut->getPortCount())
            return std::nullopt;
        return m_probeOut->getPortName(index);
    } catch (const RtMidiError &) {
        return std::nullopt;
    }
}

void RtMidiPlatform::OnRtMidiInput(double, std::vector<unsigned char> *message, void *user) {
    // Runs on the MIDI system's thread: only copy the SysEx bytes and return.
    if (message == nullptr || message->empty() || message->front() != 0xF0)
        return;
    static_cast<Input *>(user)->thread->Push(message->data(), message->size());
}

int RtMidiPlatform::InOpen(Handle &handle, unsigned index, InCallback callback) {
    handle = 0;
    if (!ResolveApi())
        return 1;
    auto input = std::make_unique<Input>();
    try {
        input->midi = std::make_unique<RtMidiIn>(m_api, m_clientName);
        // RtMidi opens an unconnected port for an unknown index, so the index is checked first.
        if (index >= input->midi->getPortCount())
            return 1;
        Input *raw = input.get();
        input->thread = std::make_unique<MidiInputThread>(
            [callback, raw](InEvent event, MidiBuffer *buffer) { callback(ToHandle(raw), event, buffer); });
        input->midi->setCallback(&RtMidiPlatform::OnRtMidiInput, raw);
        input->midi->ignoreTypes(false, true, true);
        input->midi->openPort(index, "in");
    } catch (const RtMidiError &) {
        input->midi.reset();
        return 1;
    }
    handle = ToHandle(input.release());
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
    if (handle == 0)
        return 1;
    std::unique_ptr<Input> input(FromHandle<Input>(handle));
    // The RtMidi object goes first, so no MIDI system thread pushes into a stopping thread.
    try {
        input->midi->cancelCallback();
        input->midi->closePort();
    } catch (const RtMidiError &) {
    }
    input->midi.reset();
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
    if (!ResolveApi())
        return 1;
    auto output = std::make_unique<Output>();
    output->callback = std::move(callback);
    try {
        output->midi = std::make_unique<RtMidiOut>(m_api, m_clientName);
        if (index >= output->midi->getPortCount())
            return 1;
        output->midi->openPort(index, "out");
    } catch (const RtMidiError &) {
        return 1;
    }
    handle = ToHandle(output.release());
    return 0;
}

int RtMidiPlatform::OutPrepareHeader(Handle handle, MidiBuffer *buffer) {
    if (handle == 0 || buffer == nullptr || buffer->data == nullptr)
        return 1;
    buffer->prepared = true;
    return 0;
}

int RtMidiPlatform::OutLongMsg(Handle handle, MidiBuffer *buffer) {
    if (handle == 0 || buffer == nullptr || !buffer->prepared)
        return 1;
    Output *output = FromHandle<Output>(handle);
    try {
        output->midi->sendMessage(buffer->data, buffer->bytesRecorded);
    } catch (const RtMidiError &) {
        return 1;
    }
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
    if (handle == 0)
        return 1;
    std::unique_ptr<Output> output(FromHandle<Output>(handle));
    try {
        output->midi->closePort();
    } catch (const RtMidiError &) {
    }
    return 0;
}
