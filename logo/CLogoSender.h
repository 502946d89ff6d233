#pragma once

#include "logo/CMidiPort.h"

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CLogoPicture;

// The logo upload protocol: device query and reply, logo block with CRC, 64-chunk stop-and-wait transfer.
class CLogoSender {
public:
    enum class Reply { Other, DeviceReply, ChunkAck };

    static constexpr size_t kBlockSize = 32768;
    static constexpr size_t kChunkBytes = 512;
    static constexpr size_t kChunkMessageSize = 652;
    static constexpr size_t kMaxCompressed = 32735;
    static constexpr int kChunkCount = static_cast<int>(kBlockSize / kChunkBytes);

    explicit CLogoSender(std::unique_ptr<MidiPlatform> platform);

    CMidiPort &Port() { return m_port; }

    void SendQuery();
    Reply ParseReply(const uint8_t *data, size_t length);
    // False when the run-length coded pixels take more than kMaxCompressed bytes (or the size does
    // not match the pixels); CompressedSize() then says how many they take.
    bool BuildLogoBlock(int width, int height, const std::vector<uint16_t> &pixels, const QString &name);
    // The block of the picture's logo area, or of an empty logo (0 x 0) when that area is all black.
    bool BuildLogoBlock(const CLogoPicture &picture, const QString &name);
    size_t CompressedSize() const { return m_compressedSize; }
    void StartTransfer(uint32_t serial);
    // Acknowledgements carry no chunk index: each is credited to the lowest chunk that has had
    // fewer acknowledgements than sends. True when that is the current chunk, which moves the
    // transfer on to the next; false for a late answer to an earlier chunk's repeated send, and
    // for one that may be such an answer given up at a time-out (see ResendChunk).
    bool OnChunkAck();
    void SendChunk();
    // The current chunk again after its acknowledgement did not come in time. Answers still
    // owed for earlier chunks are given up then, and so are the current chunk's earlier sends
    // that such owed answers took the acknowledgement of, so a lost message does not hold up
    // every later chunk. As the answers given up at a first time-out may yet come, late, that
    // many acknowledgements after it move nothing; at a second time-out in a row they count as
    // lost, and the acknowledgements taken for them as the current chunk's.
    void ResendChunk();
    // Forgets a transfer under way; used when the ports are closed.
    void AbandonTransfer() { m_transferActive = false; }
    static QString FormatSerial(uint32_t serial);

    uint32_t Crc32(const uint8_t *data, size_t length) const;
    // The picture chunk for the block bytes at offset 512 * index.
    std::vector<uint8_t> BuildChunk(uint32_t serial, int index) const;

    uint32_t ReplySerial() const { return m_replySerial; }
    const QString &ReplyName() const { return m_replyName; }
    const QString &ReplyDisplaySerial() const { return m_replyDisplaySerial; }
    const std::array<uint8_t, kBlockSize> &LogoBlock() const { return m_block; }
    bool TransferActive() const { return m_transferActive; }
    int ChunkIndex() const { return m_chunkIndex; }

private:
    std::array<uint8_t, kBlockSize> m_block{};
    std::array<uint32_t, 256> m_crcTable{};
    size_t m_compressedSize = 0;
    uint32_t m_replySerial = 0;
    QString m_replyName;
    QString m_replyDisplaySerial;
    uint32_t m_target = 0;
    size_t m_offset = 0;
    int m_chunkIndex = 0;
    bool m_transferActive = false;
    std::array<int, kChunkCount> m_sends{};
    std::array<int, kChunkCount> m_acks{};
    // Acknowledgements credited to earlier chunks while the current one waits.
    int m_creditedEarlier = 0;
    // Time-outs of the current chunk in a row.
    int m_timeouts = 0;
    // Answers given up at the current chunk's first time-out that may still come, and the
    // acknowledgements since taken for such late answers.
    int m_mayStillCome = 0;
    int m_takenAsLate = 0;
    CMidiPort m_port;
};
