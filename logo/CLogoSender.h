#pragma once

#include "logo/AnswerLedger.h"
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
    // An acknowledgement from the device of that serial number. True when it shows that the
    // target has received the current chunk, which moves the transfer on to the next (see
    // AnswerLedger): one from another device, a late answer to a chunk already answered, or
    // one that may be such an answer moves nothing.
    bool OnChunkAck(uint32_t serial);
    // A version reply from the device of that serial number.
    void OnDeviceReply(uint32_t serial);
    void SendChunk();
    // The current chunk again after its acknowledgement did not come in time, with a query to the
    // target before it: what the target answers after its reply to that query answers nothing sent
    // before the query, so a lost message or a late answer costs one time-out, not one per chunk.
    void ResendChunk();
    // Forgets a transfer under way; used when the ports are closed.
    void AbandonTransfer() { m_transferActive = false; }
    static QString FormatSerial(uint32_t serial);

    uint32_t Crc32(const uint8_t *data, size_t length) const;
    // The picture chunk for the block bytes at offset 512 * index.
    std::vector<uint8_t> BuildChunk(uint32_t serial, int index) const;

    uint32_t ReplySerial() const { return m_replySerial; }
    // The serial number of the last chunk acknowledgement ParseReply classified.
    uint32_t AckSerial() const { return m_ackSerial; }
    const QString &ReplyName() const { return m_replyName; }
    const QString &ReplyDisplaySerial() const { return m_replyDisplaySerial; }
    const std::array<uint8_t, kBlockSize> &LogoBlock() const { return m_block; }
    bool TransferActive() const { return m_transferActive; }
    int ChunkIndex() const { return m_chunkIndex; }

private:
    // Sends through the port and notes in the ledger what the output took.
    void Send(std::vector<uint8_t> message, AnswerLedger::Kind kind, uint32_t serial, uint32_t tag = 0);
    // Names the current chunk of this transfer among every chunk this sender sent.
    uint32_t ChunkTag() const;

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
    uint32_t m_ackSerial = 0;
    // Tells the chunks of one transfer from those of the transfers before.
    uint32_t m_generation = 0;
    // Kept across ports closed and opened again: an answer to a message sent on the old ones may
    // still come (the MIDI system can hold it for the new ones), and it finds its message here. An
    // upload adds about 70 entries.
    AnswerLedger m_ledger;
    CMidiPort m_port;
};
