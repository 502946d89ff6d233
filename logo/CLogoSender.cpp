#include "logo/CLogoSender.h"

#include "logo/CLogoPicture.h"
#include "sysex/TavikSysEx.h"

#include <algorithm>

namespace {

constexpr uint8_t kNeoType = TavikSysEx::FamilyNeo;
constexpr uint8_t kCmdQuery = TavikSysEx::SEND_VERSION;
constexpr uint8_t kCmdChunk = TavikSysEx::PICTURE_CHUNK;
constexpr uint8_t kCmdReply = TavikSysEx::GET_VERSION;
constexpr uint8_t kCmdChunkAck = TavikSysEx::ACK_PIC;
constexpr uint32_t kCrcPolynomial = 0x04C11DB7;

void AppendHeader(std::vector<uint8_t> &msg, uint32_t serial, uint8_t command) {
    TavikSysEx::appendHeader(msg, kNeoType, serial, command);
}

} // namespace

CLogoSender::CLogoSender(std::unique_ptr<MidiPlatform> platform) : m_port(std::move(platform)) {
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t entry = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            entry = (entry & 0x80000000u) ? (entry << 1) ^ kCrcPolynomial : entry << 1;
        m_crcTable[i] = entry;
    }
}

void CLogoSender::SendQuery() {
    std::vector<uint8_t> msg;
    AppendHeader(msg, TavikSysEx::BroadcastSerial, kCmdQuery);
    msg.push_back(TavikSysEx::SysExEnd);
    Send(std::move(msg), AnswerLedger::Kind::Query, TavikSysEx::BroadcastSerial);
}

void CLogoSender::Send(std::vector<uint8_t> message, AnswerLedger::Kind kind, uint32_t serial, uint32_t tag) {
    // Answers reach this thread through its event loop, never before SendLong returns; a message
    // the output did not take cannot be answered.
    if (m_port.SendLong(std::move(message)))
        m_ledger.Sent(kind, serial, tag);
}

CLogoSender::Reply CLogoSender::ParseReply(const uint8_t *data, size_t length) {
    // Bytes beyond the end of the message read as 0x00.
    auto at = [data, length](size_t i) -> uint8_t {
        return (data != nullptr && i < length) ? data[i] : 0x00;
    };

    const uint8_t header[] = {at(0), at(1), at(2), at(3), at(4)};
    if (header[0] != TavikSysEx::SysExStart || !TavikSysEx::hasHeader(header, sizeof header, kNeoType))
        return Reply::Other;
    const size_t serialAt = TavikSysEx::SerialIndex;
    const std::array<uint8_t, 4> groups = {at(serialAt), at(serialAt + 1), at(serialAt + 2),
                                           at(serialAt + 3)};
    for (uint8_t group : groups) {
        if (group >= 0x80)
            return Reply::Other;
    }

    switch (at(TavikSysEx::CommandIndex)) {
    case kCmdReply: {
        m_replySerial = TavikSysEx::unpackSerial(groups);
        // 0x00 and 0x7F end the name; so does the end byte 0xF7 of a reply shorter than a full
        // name, which would otherwise show up as a character.
        QString name;
        for (size_t i = 12; i < 12 + 16; ++i) {
            uint8_t c = at(i);
            if (c == 0x00 || c == 0x7F || c == 0xF7)
                break;
            name.append(QChar(c));
        }
        m_replyName = name;
        m_replyDisplaySerial = FormatSerial(m_replySerial);
        return Reply::DeviceReply;
    }
    case kCmdChunkAck:
        m_ackSerial = TavikSysEx::unpackSerial(groups);
        return Reply::ChunkAck;
    default:
        // 0x43 is a known device report that needs no action; all else is ignored alike.
        return Reply::Other;
    }
}

uint32_t CLogoSender::Crc32(const uint8_t *data, size_t length) const {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        crc = (crc << 8) ^ m_crcTable[((crc >> 24) ^ data[i]) & 0xFF];
    return ~crc;
}

bool CLogoSender::BuildLogoBlock(int width, int height, const std::vector<uint16_t> &pixels,
                                 const QString &name) {
    // A size the pixels do not fill would make the device decode the fill bytes as pixels.
    size_t count = 0;
    if (width > 0 && height > 0)
        count = static_cast<size_t>(width) * static_cast<size_t>(height);
    else if (width != 0 || height != 0)
        return false;
    if (pixels.size() < count || width > 0xFFFF || height > 0xFFFF)
        return false;
    std::vector<uint8_t> stream = CLogoPicture::CompressLogo(pixels.data(), count);
    m_compressedSize = stream.size();
    if (stream.size() > kMaxCompressed)
        return false;

    std::fill(m_block.begin(), m_block.begin() + 24, 0x00);
    std::fill(m_block.begin() + 24, m_block.end(), 0xFF);
    int nameLength = std::min<int>(static_cast<int>(name.size()), 16);
    for (int i = 0; i < nameLength; ++i) {
        ushort code = name.at(i).unicode();
        m_block[4 + i] = code < 128 ? static_cast<uint8_t>(code) : 0x3F;
    }
    m_block[20] = static_cast<uint8_t>(width & 0xFF);
    m_block[21] = static_cast<uint8_t>((width >> 8) & 0xFF);
    m_block[22] = static_cast<uint8_t>(height & 0xFF);
    m_block[23] = static_cast<uint8_t>((height >> 8) & 0xFF);
    std::copy(stream.begin(), stream.end(), m_block.begin() + 24);

    uint32_t crc = Crc32(m_block.data() + 4, kBlockSize - 4);
    for (int i = 0; i < 4; ++i)
        m_block[i] = static_cast<uint8_t>((crc >> (8 * i)) & 0xFF);
    return true;
}

bool CLogoSender::BuildLogoBlock(const CLogoPicture &picture, const QString &name) {
    std::vector<uint16_t> pixels;
    bool hasPicture = picture.ConvertToLogo(pixels);
    if (!hasPicture)
        pixels.clear();
    int width = hasPicture ? CLogoPicture::kLogoWidth : 0;
    int height = hasPicture ? CLogoPicture::kLogoHeight : 0;
    return BuildLogoBlock(width, height, pixels, name);
}

std::vector<uint8_t> CLogoSender::BuildChunk(uint32_t serial, int index) const {
    std::vector<uint8_t> msg;
    msg.reserve(kChunkMessageSize);
    AppendHeader(msg, serial, kCmdChunk);
    msg.push_back(static_cast<uint8_t>(index & 0x7F));
    const uint8_t *bytes = m_block.data() + static_cast<size_t>(index) * kChunkBytes;
    // Four block bytes travel as their low seven bits and one byte of their top bits.
    for (size_t group = 0; group < kChunkBytes / 4; ++group) {
        const uint8_t *b = bytes + group * 4;
        uint8_t top = 0;
        for (int k = 0; k < 4; ++k) {
            msg.push_back(b[k] & 0x7F);
            top |= static_cast<uint8_t>((b[k] >> 7) << k);
        }
        msg.push_back(top);
    }
    msg.push_back(TavikSysEx::SysExEnd);
    return msg;
}

void CLogoSender::StartTransfer(uint32_t serial) {
    m_target = serial;
    m_offset = 0;
    m_chunkIndex = 0;
    ++m_generation;
    m_ledger.Follow(serial);
    m_transferActive = true;
    SendChunk();
}

bool CLogoSender::OnChunkAck(uint32_t serial) {
    m_ledger.Answered(AnswerLedger::Kind::Chunk, serial);
    if (!m_transferActive || serial != m_target || !m_ledger.Proves(ChunkTag()))
        return false;
    m_offset += kChunkBytes;
    m_chunkIndex += 1;
    if (m_offset < kBlockSize)
        SendChunk();
    else
        m_transferActive = false;
    return true;
}

void CLogoSender::OnDeviceReply(uint32_t serial) {
    m_ledger.Answered(AnswerLedger::Kind::Query, serial);
}

void CLogoSender::SendChunk() {
    if (m_offset >= kBlockSize)
        return;
    Send(BuildChunk(m_target, m_chunkIndex), AnswerLedger::Kind::Chunk, m_target, ChunkTag());
}

void CLogoSender::ResendChunk() {
    if (!m_transferActive || m_offset >= kBlockSize)
        return;
    std::vector<uint8_t> query;
    AppendHeader(query, m_target, kCmdQuery);
    query.push_back(TavikSysEx::SysExEnd);
    Send(std::move(query), AnswerLedger::Kind::Query, m_target);
    SendChunk();
}

uint32_t CLogoSender::ChunkTag() const {
    return m_generation * kChunkCount + static_cast<uint32_t>(m_chunkIndex);
}

QString CLogoSender::FormatSerial(uint32_t serial) {
    return QString::fromStdString(TavikSysEx::serialCode(serial));
}
