#include "logo/MidiInputThread.h"

#include <algorithm>
#include <cstring>

MidiInputThread::MidiInputThread(Deliver deliver) : m_deliver(std::move(deliver)) {
    m_thread = std::thread([this] { Run(); });
}

MidiInputThread::~MidiInputThread() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void MidiInputThread::Push(const uint8_t *bytes, size_t length) {
    if (length == 0)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pending.size() >= kMaxPending)
            return;
        m_pending.emplace_back(bytes, bytes + length);
    }
    m_wake.notify_all();
}

void MidiInputThread::AddBuffer(MidiBuffer *buffer) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queued.push_back(buffer);
    }
    m_wake.notify_all();
}

void MidiInputThread::Start() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_started = true;
    }
    m_wake.notify_all();
}

void MidiInputThread::Stop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_started = false;
}

void MidiInputThread::Reset() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_started = false;
    m_pending.clear();
    m_pendingOffset = 0;
    m_resetRequested = true;
    m_wake.notify_all();
    m_resetDone.wait(lock, [this] { return !m_resetRequested; });
}

size_t MidiInputThread::QueuedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queued.size();
}

void MidiInputThread::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] {
            return m_quit || m_resetRequested || (m_started && !m_pending.empty() && !m_queued.empty());
        });
        if (m_resetRequested) {
            std::deque<MidiBuffer *> returned;
            returned.swap(m_queued);
            lock.unlock();
            for (MidiBuffer *buffer : returned) {
                buffer->bytesRecorded = 0;
                m_deliver(MidiPlatform::InEvent::LongData, buffer);
            }
            lock.lock();
            m_resetRequested = false;
            m_resetDone.notify_all();
            continue;
        }
        if (m_quit)
            return;

        // A message longer than one buffer continues in the next buffer.
        MidiBuffer *buffer = m_queued.front();
        m_queued.pop_front();
        if (buffer->bufferLength == 0 || buffer->data == nullptr) {
            lock.unlock();
            m_deliver(MidiPlatform::InEvent::LongError, buffer);
            lock.lock();
            continue;
        }
        std::vector<uint8_t> &message = m_pending.front();
        size_t count = std::min<size_t>(buffer->bufferLength, message.size() - m_pendingOffset);
        std::memcpy(buffer->data, message.data() + m_pendingOffset, count);
        buffer->bytesRecorded = static_cast<uint32_t>(count);
        m_pendingOffset += count;
        if (m_pendingOffset >= message.size()) {
            m_pending.pop_front();
            m_pendingOffset = 0;
        }
        lock.unlock();
        m_deliver(MidiPlatform::InEvent::LongData, buffer);
        lock.lock();
    }
}
