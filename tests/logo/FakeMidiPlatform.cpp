#include "FakeMidiPlatform.h"

namespace {
// A header is prepared for the handle of the direction it belongs to only.
int PrepareHeader(MidiPlatform::Handle handle, MidiPlatform::Handle own, MidiBuffer *buffer) {
    if (handle != own || buffer == nullptr)
        return 1;
    buffer->prepared = true;
    return 0;
}
} // namespace

FakeMidiPlatform::FakeMidiPlatform(std::vector<std::string> inNames, std::vector<std::string> outNames)
    : m_inNames(std::move(inNames)), m_outNames(std::move(outNames)) {}

FakeMidiPlatform::~FakeMidiPlatform() = default;

void FakeMidiPlatform::SetResponder(Responder responder) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_responder = std::move(responder);
}

void FakeMidiPlatform::Inject(const std::vector<uint8_t> &bytes) {
    std::lock_guard<std::mutex> lock(m_inputMutex);
    if (m_input)
        m_input->Push(bytes.data(), bytes.size());
}

void FakeMidiPlatform::CompleteSends() {
    std::vector<MidiBuffer *> held;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        held.swap(m_heldDone);
    }
    for (MidiBuffer *buffer : held)
        m_outCallback(kOutHandle, OutEvent::Done, buffer);
}

std::vector<std::vector<uint8_t>> FakeMidiPlatform::Sent() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sent;
}

void FakeMidiPlatform::ClearSent() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sent.clear();
}

size_t FakeMidiPlatform::QueuedBuffers() const {
    return m_input ? m_input->QueuedCount() : 0;
}

std::optional<std::string> FakeMidiPlatform::InDeviceName(unsigned index) {
    if (index >= m_inNames.size())
        return std::nullopt;
    return m_inNames[index];
}

std::optional<std::string> FakeMidiPlatform::OutDeviceName(unsigned index) {
    if (index >= m_outNames.size())
        return std::nullopt;
    return m_outNames[index];
}

int FakeMidiPlatform::InOpen(Handle &handle, unsigned index, InCallback callback) {
    m_lastIn = static_cast<int>(index);
    if (failInOpen || index >= m_inNames.size() || m_input)
        return 1;
    ++m_inOpens;
    std::lock_guard<std::mutex> lock(m_inputMutex);
    m_input = std::make_unique<MidiInputThread>([this, callback](InEvent event, MidiBuffer *buffer) {
        ++m_callbacksEntered;
        callback(kInHandle, event, buffer);
    });
    handle = kInHandle;
    return 0;
}

int FakeMidiPlatform::InPrepareHeader(Handle handle, MidiBuffer *buffer) {
    return PrepareHeader(handle, kInHandle, buffer);
}

int FakeMidiPlatform::InAddBuffer(Handle handle, MidiBuffer *buffer) {
    if (handle != kInHandle || !m_input || !buffer->prepared)
        return 1;
    bool zero = buffer->bufferLength == 1024;
    for (uint32_t i = 0; zero && i < buffer->bufferLength; ++i)
        zero = buffer->data[i] == 0;
    if (!zero)
        m_allZero = false;
    ++m_added;
    m_input->AddBuffer(buffer);
    return 0;
}

int FakeMidiPlatform::InStart(Handle handle) {
    if (handle != kInHandle || !m_input)
        return 1;
    m_input->Start();
    return 0;
}

int FakeMidiPlatform::InStop(Handle handle) {
    if (handle != kInHandle || !m_input)
        return 1;
    m_input->Stop();
    return 0;
}

int FakeMidiPlatform::InReset(Handle handle) {
    if (handle != kInHandle || !m_input)
        return 1;
    ++m_resets;
    m_input->Reset();
    return 0;
}

int FakeMidiPlatform::InClose(Handle handle) {
    if (handle != kInHandle || !m_input)
        return 1;
    std::unique_ptr<MidiInputThread> input;
    {
        std::lock_guard<std::mutex> lock(m_inputMutex);
        input = std::move(m_input);
    }
    input.reset();
    return 0;
}

int FakeMidiPlatform::InUnprepareHeader(Handle, MidiBuffer *buffer) {
    buffer->prepared = false;
    ++m_unprepared;
    return 0;
}

int FakeMidiPlatform::OutOpen(Handle &handle, unsigned index, OutCallback callback) {
    m_lastOut = static_cast<int>(index);
    if (failOutOpen || index >= m_outNames.size() || m_outOpen)
        return 1;
    ++m_outOpens;
    m_outCallback = std::move(callback);
    m_outOpen = true;
    handle = kOutHandle;
    return 0;
}

int FakeMidiPlatform::OutPrepareHeader(Handle handle, MidiBuffer *buffer) {
    return PrepareHeader(handle, kOutHandle, buffer);
}

int FakeMidiPlatform::OutLongMsg(Handle handle, MidiBuffer *buffer) {
    if (handle != kOutHandle || !buffer->prepared || failOutLongMsg)
        return 1;
    std::vector<uint8_t> bytes(buffer->data, buffer->data + buffer->bytesRecorded);
    Responder responder;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sent.push_back(bytes);
        responder = m_responder;
        if (deferDone)
            m_heldDone.push_back(buffer);
    }
    if (!deferDone)
        m_outCallback(handle, OutEvent::Done, buffer);
    if (responder)
        responder(bytes);
    return 0;
}

int FakeMidiPlatform::OutUnprepareHeader(Handle, MidiBuffer *buffer) {
    buffer->prepared = false;
    return 0;
}

int FakeMidiPlatform::OutReset(Handle handle) {
    return handle == kOutHandle ? 0 : 1;
}

int FakeMidiPlatform::OutClose(Handle handle) {
    if (handle != kOutHandle)
        return 1;
    m_outOpen = false;
    return 0;
}
