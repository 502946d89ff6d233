// Collects the 64 acknowledged picture chunks of a logo upload into one 32768-byte logo block.
#pragma once

#include "sim/SysExFrame.h"

#include <QString>

#include <bitset>
#include <cstdint>
#include <vector>

class LogoReceiver {
public:
    static constexpr size_t ChunkMessageSize = 652;
    static constexpr int ChunkCount = 64;
    static constexpr size_t ChunkBytes = 512;

    enum class Outcome {
        Rejected,   // not a usable chunk; nothing stored
        Stored,     // chunk stored, more to come
        Completed,  // chunk 63 stored and all 64 chunks are there: block() is the logo block
        Incomplete, // chunk 63 stored but earlier chunks are missing (see missingChunks())
    };

    LogoReceiver();

    // Takes a framed picture-chunk message (command 0x03). Chunk 0 starts a new block. Each
    // 5-byte group carries four block bytes as 7-bit values plus a byte of their top bits.
    // `why` receives the reason for a rejection.
    Outcome addChunk(const SysExMessage &msg, QString *why = nullptr);
    const std::vector<uint8_t> &block() const { return m_block; }
    int missingChunks() const { return ChunkCount - int(m_received.count()); }
    void reset();

private:
    std::vector<uint8_t> m_block;
    std::bitset<ChunkCount> m_received;
};
