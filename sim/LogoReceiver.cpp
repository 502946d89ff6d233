// Collects the 64 acknowledged picture chunks of a logo upload into one 32768-byte logo block.
#include "sim/LogoReceiver.h"

#include "sim/LogoBlockDecoder.h"

LogoReceiver::LogoReceiver() : m_block(LogoBlockDecoder::BlockSize, 0xFF) {}

void LogoReceiver::reset() {
    m_received.reset();
    std::fill(m_block.begin(), m_block.end(), 0xFF);
}

LogoReceiver::Outcome LogoReceiver::addChunk(const SysExMessage &msg, QString *why) {
    auto reject = [why](const QString &text) {
        if (why)
            *why = text;
        return Outcome::Rejected;
    };
    if (msg.size() != ChunkMessageSize)
        return reject(QStringLiteral("picture chunk of %1 bytes, not 652").arg(msg.size()));
    const int index = msg[10];
    if (index >= ChunkCount)
        return reject(QStringLiteral("picture chunk index %1 out of range").arg(index));

    if (index == 0)
        reset();
    uint8_t *out = m_block.data() + size_t(index) * ChunkBytes;
    for (size_t group = 0; group < ChunkBytes / 4; ++group) {
        const uint8_t *in = msg.data() + 11 + group * 5;
        const uint8_t topBits = in[4];
        for (int k = 0; k < 4; ++k)
            out[group * 4 + k] = uint8_t((in[k] & 0x7F) | (((topBits >> k) & 1) << 7));
    }
    m_received.set(size_t(index));

    if (index != ChunkCount - 1)
        return Outcome::Stored;
    const Outcome outcome = m_received.all() ? Outcome::Completed : Outcome::Incomplete;
    return outcome;
}
