#include "logo/CMidiPort.h"

#include <QMetaObject>
#include <QObject>
#include <condition_variable>
#include <cstring>
#include <mutex>

// How a hand-over and Close avoid waiting for each other:
// the callback thread posts each received buffer (as a copy) to the owner's thread and then
// waits until the owner has handled it *or* the closing flag is set. Close sets the flag under
// the same lock before it resets the input, which wakes a waiting callback thread at once; a
// posted buffer that has not started running is marked cancelled and never reaches the owner.
// So the reset, which waits for the callback thread, never waits on a callback that is itself
// waiting for the owner's thread (the thread that called Close).
struct CMidiPort::HandOverSync {
    enum class State { Pending, Running, Done, Cancelled };
    std::mutex mutex;
    std::condition_variable changed;
    bool closing = false;
    std::shared_ptr<State> current; // the hand-over the callback thread waits for, if any
};

CMidiPort::CMidiPort(std::unique_ptr<MidiPlatform> platform)
    : m_platform(std::move(platform)), m_sync(std::make_shared<HandOverSync>()) {}

CMidiPort::~CMidiPort() {
    Close();
}

void CMidiPort::SetOwner(QObject *owner, Receiver receiver) {
    m_owner = owner;
    m_receiver = std::move(receiver);
}

std::optional<std::string> CMidiPort::GetInName(int index) {
    if (index < 0)
        return std::nullopt;
    return m_platform->InDeviceName(static_cast<unsigned>(index));
}

std::optional<std::string> CMidiPort::GetOutName(int index) {
    if (index < 0)
        return std::nullopt;
    return m_platform->OutDeviceName(static_cast<unsigned>(index));
}

std::vector<std::string> CMidiPort::InNames(int max) {
    return max > 0 ? m_platform->InDeviceNames(static_cast<unsigned>(max)) : std::vector<std::string>{};
}

std::vector<std::string> CMidiPort::OutNames(int max) {
    return max > 0 ? m_platform->OutDeviceNames(static_cast<unsigned>(max)) : std::vector<std::string>{};
}

bool CMidiPort::Open(int in, int out) {
    return OpenWith(
        [this, in](MidiPlatform::Handle &h, MidiPlatform::InCallback cb) {
            return in < 0 ? 1 : m_platform->InOpen(h, static_cast<unsigned>(in), std::move(cb));
        },
        [this, out](MidiPlatform::Handle &h, MidiPlatform::OutCallback cb) {
            return out < 0 ? 1 : m_platform->OutOpen(h, static_cast<unsigned>(out), std::move(cb));
        });
}

bool CMidiPort::OpenNamed(const std::string &in, const std::string &out) {
    return OpenWith(
        [this, &in](MidiPlatform::Handle &h, MidiPlatform::InCallback cb) {
            return m_platform->InOpenNamed(h, in, std::move(cb));
        },
        [this, &out](MidiPlatform::Handle &h, MidiPlatform::OutCallback cb) {
            return m_platform->OutOpenNamed(h, out, std::move(cb));
        });
}

bool CMidiPort::OpenWith(const InOpener &openIn, const OutOpener &openOut) {
    Close();
    {
        std::lock_guard<std::mutex> lock(m_sync->mutex);
        m_sync->closing = false;
    }

    MidiPlatform::Handle inHandle = 0;
    if (openIn(inHandle, [this](MidiPlatform::Handle h, MidiPlatform::InEvent e,
                                MidiBuffer *b) { OnInput(h, e, b); }) == 0 &&
        inHandle != 0) {
        m_in = inHandle;
        for (int i = 0; i < kInputBuffers; ++i)
            QueueInputBuffer();
        m_platform->InStart(inHandle);
    }

    // The output is opened whether or not the input opened; a side that opened stays open.
    MidiPlatform::Handle outHandle = 0;
    if (openOut(outHandle, [this](MidiPlatform::Handle h, MidiPlatform::OutEvent e,
                                  MidiBuffer *b) { OnOutput(h, e, b); }) == 0 &&
        outHandle != 0) {
        m_out = outHandle;
    }
    return IsInOpen() && IsOutOpen();
}

void CMidiPort::Close() {
    MidiPlatform::Handle in = m_in.load();
    if (in != 0) {
        // The flag goes up before the reset: buffers the reset returns are neither passed on
        // nor replaced, and a callback waiting for the owner's thread is released.
        {
            std::lock_guard<std::mutex> lock(m_sync->mutex);
            m_sync->closing = true;
            if (m_sync->current && *m_sync->current == HandOverSync::State::Pending)
                *m_sync->current = HandOverSync::State::Cancelled;
        }
        m_sync->changed.notify_all();
        m_platform->InStop(in);
        m_platform->InReset(in);
        m_platform->InClose(in);
        m_in = 0;
    }
    MidiPlatform::Handle out = m_out.load();
    if (out != 0) {
        m_platform->OutReset(out);
        m_platform->OutClose(out);
        m_out = 0;
    }
}

bool CMidiPort::SendLong(std::vector<uint8_t> message) {
    MidiPlatform::Handle out = m_out.load();
    if (out == 0 || message.empty())
        return false;
    // Header and bytes are allocated per message and freed by the done notification.
    auto *header = new MidiBuffer;
    header->data = new uint8_t[message.size()];
    std::memcpy(header->data, message.data(), message.size());
    header->bufferLength = static_cast<uint32_t>(message.size());
    header->bytesRecorded = header->bufferLength;
    header->user = out;
    if (m_platform->OutPrepareHeader(out, header) != 0) {
        FreeBuffer(header);
        return false;
    }
    ++m_pendingSends;
    // Once accepted the message belongs to the platform until done, which may already have
    // been reported when OutLongMsg returns.
    if (m_platform->OutLongMsg(out, header) != 0) {
        --m_pendingSends;
        m_platform->OutUnprepareHeader(out, header);
        FreeBuffer(header);
        return false;
    }
    return true;
}

void CMidiPort::QueueInputBuffer() {
    MidiPlatform::Handle in = m_in.load();
    if (in == 0)
        return;
    {
        std::lock_guard<std::mutex> lock(m_sync->mutex);
        if (m_sync->closing)
            return;
    }
    auto *buffer = new MidiBuffer;
    buffer->data = new uint8_t[kInputBufferSize](); // zero-filled
    buffer->bufferLength = kInputBufferSize;
    if (m_platform->InPrepareHeader(in, buffer) != 0) {
        FreeBuffer(buffer);
        return;
    }
    if (m_platform->InAddBuffer(in, buffer) != 0) {
        m_platform->InUnprepareHeader(in, buffer);
        FreeBuffer(buffer);
    }
}

void CMidiPort::FreeBuffer(MidiBuffer *buffer) {
    delete[] buffer->data;
    delete buffer;
}

void CMidiPort::OnInput(MidiPlatform::Handle handle, MidiPlatform::InEvent event, MidiBuffer *buffer) {
    MidiPlatform::Handle open = m_in.load();
    if (open != 0 && handle != open)
        return;
    if (buffer == nullptr || event == MidiPlatform::InEvent::Data)
        return;

    bool closing;
    {
        std::lock_guard<std::mutex> lock(m_sync->mutex);
        closing = m_sync->closing;
    }
    if (event == MidiPlatform::InEvent::LongData && !closing)
        HandOver(*buffer);

    m_platform->InUnprepareHeader(handle, buffer);
    FreeBuffer(buffer);
    // A buffer returned with an error is replaced too, so errors cannot drain the queue.
    QueueInputBuffer();
}

void CMidiPort::HandOver(const MidiBuffer &buffer) {
    if (m_owner == nullptr || !m_receiver)
        return;
    std::shared_ptr<HandOverSync> sync = m_sync;
    auto state = std::make_shared<HandOverSync::State>(HandOverSync::State::Pending);
    {
        std::lock_guard<std::mutex> lock(sync->mutex);
        if (sync->closing)
            return;
        sync->current = state;
    }

    // The owner gets its own copy, so nothing it reads is freed under it when Close releases
    // this thread early.
    auto bytes = std::make_shared<std::vector<uint8_t>>(buffer.data, buffer.data + buffer.bytesRecorded);
    Receiver receiver = m_receiver;
    QMetaObject::invokeMethod(
        m_owner,
        [sync, state, bytes, receiver] {
            {
                std::lock_guard<std::mutex> lock(sync->mutex);
                if (*state != HandOverSync::State::Pending)
                    return;
                *state = HandOverSync::State::Running;
            }
            receiver(bytes->data(), bytes->size());
            {
                std::lock_guard<std::mutex> lock(sync->mutex);
                *state = HandOverSync::State::Done;
            }
            sync->changed.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock<std::mutex> lock(sync->mutex);
    sync->changed.wait(lock, [&] { return *state == HandOverSync::State::Done || sync->closing; });
    if (*state == HandOverSync::State::Pending)
        *state = HandOverSync::State::Cancelled;
    sync->current.reset();
}

void CMidiPort::OnOutput(MidiPlatform::Handle, MidiPlatform::OutEvent event, MidiBuffer *buffer) {
    if (event != MidiPlatform::OutEvent::Done || buffer == nullptr)
        return;
    m_platform->OutUnprepareHeader(static_cast<MidiPlatform::Handle>(buffer->user), buffer);
    FreeBuffer(buffer);
    --m_pendingSends;
}
