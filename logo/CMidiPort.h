#pragma once

#include "logo/MidiPlatform.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QObject;

// The uploader's MIDI transport: one input with four queued SysEx buffers handed to the owner, one output.
class CMidiPort {
public:
    // Runs on the owner's thread with the bytes of one received buffer.
    using Receiver = std::function<void(const uint8_t *data, size_t length)>;

    static constexpr int kInputBuffers = 4;
    static constexpr uint32_t kInputBufferSize = 1024;

    explicit CMidiPort(std::unique_ptr<MidiPlatform> platform);
    ~CMidiPort();

    CMidiPort(const CMidiPort &) = delete;
    CMidiPort &operator=(const CMidiPort &) = delete;

    // The owner's thread receives every buffer; set once, before the first Open.
    void SetOwner(QObject *owner, Receiver receiver);

    std::optional<std::string> GetInName(int index);
    std::optional<std::string> GetOutName(int index);
    // The current port lists, at most max entries each.
    std::vector<std::string> InNames(int max);
    std::vector<std::string> OutNames(int max);

    // Closes first; true only when both sides opened, a side that opened stays open.
    bool Open(int in, int out);
    // The same by port name: each name is looked up in the list as it is when it opens.
    bool OpenNamed(const std::string &in, const std::string &out);
    // Also safe while a received buffer waits for the owner's thread, which may be the caller:
    // the waiting hand-over is released and dropped before the input is reset.
    void Close();
    bool SendLong(std::vector<uint8_t> message);

    bool IsInOpen() const { return m_in.load() != 0; }
    bool IsOutOpen() const { return m_out.load() != 0; }
    // Messages handed to the platform and not yet reported done.
    int PendingSends() const { return m_pendingSends.load(); }

private:
    struct HandOverSync;

    using InOpener = std::function<int(MidiPlatform::Handle &, MidiPlatform::InCallback)>;
    using OutOpener = std::function<int(MidiPlatform::Handle &, MidiPlatform::OutCallback)>;
    bool OpenWith(const InOpener &openIn, const OutOpener &openOut);
    void QueueInputBuffer();
    void OnInput(MidiPlatform::Handle handle, MidiPlatform::InEvent event, MidiBuffer *buffer);
    void OnOutput(MidiPlatform::Handle handle, MidiPlatform::OutEvent event, MidiBuffer *buffer);
    void HandOver(const MidiBuffer &buffer);
    static void FreeBuffer(MidiBuffer *buffer);

    std::unique_ptr<MidiPlatform> m_platform;
    std::atomic<MidiPlatform::Handle> m_in{0};
    std::atomic<MidiPlatform::Handle> m_out{0};
    QObject *m_owner = nullptr;
    Receiver m_receiver;
    std::shared_ptr<HandOverSync> m_sync;
    std::atomic<int> m_pendingSends{0};
};
