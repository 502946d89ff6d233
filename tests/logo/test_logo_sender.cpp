// The upload protocol: device query and replies, the logo block with name, size and CRC, the
// picture chunks and the stop-and-wait transfer, and the serial display form.
#include "FakeMidiPlatform.h"
#include "SysExMessages.h"
#include "logo/CLogoPicture.h"
#include "logo/CLogoSender.h"
#include "logo/CLogoTransfer.h"

#include <QSignalSpy>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>

namespace {

struct SenderFixture {
    FakeMidiPlatform *fake = new FakeMidiPlatform({"in"}, {"out"});
    CLogoSender sender{std::unique_ptr<MidiPlatform>(fake)};
    SenderFixture() { EXPECT_TRUE(sender.Port().Open(0, 0)); }
};

std::vector<uint8_t> Reply(uint32_t serial, std::vector<uint8_t> nameBytes,
                           uint8_t type = TavikSysEx::FamilyNeo) {
    nameBytes.insert(nameBytes.begin(), {0x01, 0x02});
    return TestSysEx::message(type, serial, TavikSysEx::GET_VERSION, nameBytes);
}

std::vector<uint8_t> Bytes(const char *text) {
    return std::vector<uint8_t>(text, text + std::strlen(text));
}

// The block bytes a chunk carries, unpacked independently of the sender.
std::vector<uint8_t> UnpackChunk(const std::vector<uint8_t> &chunk) {
    std::vector<uint8_t> out;
    for (size_t g = 0; g < 128; ++g) {
        const uint8_t *p = chunk.data() + 11 + 5 * g;
        for (int k = 0; k < 4; ++k)
            out.push_back(static_cast<uint8_t>(p[k] | (((p[4] >> k) & 1) << 7)));
    }
    return out;
}

uint32_t StoredCrc(const std::array<uint8_t, CLogoSender::kBlockSize> &block) {
    return uint32_t(block[0]) | uint32_t(block[1]) << 8 | uint32_t(block[2]) << 16 | uint32_t(block[3]) << 24;
}

} // namespace

TEST(SerialDisplay, ShuffledDigitsWithCheckDigits) {
    EXPECT_EQ(CLogoSender::FormatSerial(0), "000-000-000");
    EXPECT_EQ(CLogoSender::FormatSerial(1), "000-000-010");
    EXPECT_EQ(CLogoSender::FormatSerial(2), "000-000-020");
    EXPECT_EQ(CLogoSender::FormatSerial(12345), "141-202-380");
    EXPECT_EQ(CLogoSender::FormatSerial(123456789), "586-638-764");
    EXPECT_EQ(CLogoSender::FormatSerial(268435455), "355-581-494");
}

TEST(Crc, Bzip2CheckValue) {
    SenderFixture f;
    const char *check = "123456789";
    EXPECT_EQ(f.sender.Crc32(reinterpret_cast<const uint8_t *>(check), 9), 0xFC891918u);
}

TEST(Query, BroadcastBytes) {
    SenderFixture f;
    f.sender.SendQuery();
    ASSERT_EQ(f.fake->Sent().size(), 1u);
    EXPECT_EQ(f.fake->Sent()[0],
              (std::vector<uint8_t>{0xF0, 0x00, 0x11, 0x22, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7}));
}

TEST(ParseReply, DeviceReplyGivesSerialNameAndDisplaySerial) {
    SenderFixture f;
    std::vector<uint8_t> name = Bytes("Studio");
    name.resize(16, 0x00);
    auto m = Reply(3000000, name);
    ASSERT_EQ(f.sender.ParseReply(m.data(), m.size()), CLogoSender::Reply::DeviceReply);
    EXPECT_EQ(f.sender.ReplySerial(), 3000000u);
    EXPECT_EQ(f.sender.ReplyName(), "Studio");
    EXPECT_EQ(f.sender.ReplyDisplaySerial(), CLogoSender::FormatSerial(3000000));
}

TEST(ParseReply, NameEndsAtZeroOrDelOrAfterSixteenCharacters) {
    SenderFixture f;
    auto full = Reply(5, Bytes("ABCDEFGHIJKLMNOPQRST"));
    ASSERT_EQ(f.sender.ParseReply(full.data(), full.size()), CLogoSender::Reply::DeviceReply);
    EXPECT_EQ(f.sender.ReplyName(), "ABCDEFGHIJKLMNOP");

    auto del = Reply(5, {'A', 'B', 0x7F, 'C', 'D'});
    ASSERT_EQ(f.sender.ParseReply(del.data(), del.size()), CLogoSender::Reply::DeviceReply);
    EXPECT_EQ(f.sender.ReplyName(), "AB");

    auto nul = Reply(5, {'X', 0x00, 'Y'});
    ASSERT_EQ(f.sender.ParseReply(nul.data(), nul.size()), CLogoSender::Reply::DeviceReply);
    EXPECT_EQ(f.sender.ReplyName(), "X");
}

TEST(ParseReply, ShortReplyGivesTheCharactersPresent) {
    SenderFixture f;
    auto shortReply = Reply(7, Bytes("Mix"));
    ASSERT_EQ(f.sender.ParseReply(shortReply.data(), shortReply.size()), CLogoSender::Reply::DeviceReply);
    EXPECT_EQ(f.sender.ReplyName(), "Mix");
    // Cut before the end byte: the missing bytes read as 0x00.
    auto cut = Reply(7, Bytes("Mix"));
    cut.pop_back();
    ASSERT_EQ(f.sender.ParseReply(cut.data(), cut.size()), CLogoSender::Reply::DeviceReply);
    EXPECT_EQ(f.sender.ReplyName(), "Mix");
    EXPECT_EQ(f.sender.ReplySerial(), 7u);
}

TEST(ParseReply, OnlyTavikNeoHeadersWithSevenBitSerialBytesCount) {
    SenderFixture f;
    auto lux = Reply(9, Bytes("Lux"), 0x05);
    EXPECT_EQ(f.sender.ParseReply(lux.data(), lux.size()), CLogoSender::Reply::Other);
    auto badSerial = Reply(9, Bytes("Neo"));
    badSerial[7] = 0x80;
    EXPECT_EQ(f.sender.ParseReply(badSerial.data(), badSerial.size()), CLogoSender::Reply::Other);
    auto badMaker = Reply(9, Bytes("Neo"));
    badMaker[2] = 0x12;
    EXPECT_EQ(f.sender.ParseReply(badMaker.data(), badMaker.size()), CLogoSender::Reply::Other);

    // Serial groups 01 02 03 04.
    std::vector<uint8_t> ack =
        TestSysEx::message(TavikSysEx::FamilyNeo, 1 | 2 << 7 | 3 << 14 | 4 << 21, TavikSysEx::ACK_PIC);
    EXPECT_EQ(f.sender.ParseReply(ack.data(), ack.size()), CLogoSender::Reply::ChunkAck);
    // Neither the length nor the end byte is checked.
    std::vector<uint8_t> bareAck(ack.begin(), ack.begin() + 10);
    EXPECT_EQ(f.sender.ParseReply(bareAck.data(), bareAck.size()), CLogoSender::Reply::ChunkAck);
    ack[9] = 0x43;
    EXPECT_EQ(f.sender.ParseReply(ack.data(), ack.size()), CLogoSender::Reply::Other);
    ack[9] = 0x21;
    EXPECT_EQ(f.sender.ParseReply(ack.data(), ack.size()), CLogoSender::Reply::Other);

    std::vector<uint8_t> headerOnly = {0xF0, 0x00, 0x11, 0x22, 0x01};
    EXPECT_EQ(f.sender.ParseReply(headerOnly.data(), headerOnly.size()), CLogoSender::Reply::Other);
    EXPECT_EQ(f.sender.ParseReply(nullptr, 0), CLogoSender::Reply::Other);
}

TEST(LogoBlock, EmptyPictureHasNoSizeNoDataAndFillCoveredByTheCrc) {
    SenderFixture f;
    ASSERT_TRUE(f.sender.BuildLogoBlock(0, 0, {}, "Studio"));
    const auto &block = f.sender.LogoBlock();
    for (int i = 20; i < 24; ++i)
        EXPECT_EQ(block[i], 0x00) << i;
    for (size_t i = 24; i < block.size(); ++i)
        ASSERT_EQ(block[i], 0xFF) << i;
    EXPECT_EQ(StoredCrc(block), f.sender.Crc32(block.data() + 4, block.size() - 4));
}

TEST(LogoBlock, NameRules) {
    SenderFixture f;
    ASSERT_TRUE(f.sender.BuildLogoBlock(0, 0, {}, "Studio12"));
    const auto &block = f.sender.LogoBlock();
    EXPECT_EQ(std::string(block.begin() + 4, block.begin() + 12), "Studio12");
    for (int i = 12; i < 20; ++i)
        EXPECT_EQ(block[i], 0x00);

    ASSERT_TRUE(f.sender.BuildLogoBlock(0, 0, {}, "ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(std::string(block.begin() + 4, block.begin() + 20), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(block[20], 0x00);

    ASSERT_TRUE(f.sender.BuildLogoBlock(0, 0, {}, QString::fromUtf8("Caf\xC3\xA9 B")));
    EXPECT_EQ(std::string(block.begin() + 4, block.begin() + 10), std::string("Caf? B"));
    EXPECT_EQ(block[10], 0x00);
}

TEST(LogoBlock, PictureSizeAndStreamFollowTheName) {
    SenderFixture f;
    std::vector<uint16_t> pixels(CLogoPicture::kPixelCount, 0x1234);
    ASSERT_TRUE(f.sender.BuildLogoBlock(220, 176, pixels, "N"));
    const auto &block = f.sender.LogoBlock();
    EXPECT_EQ(block[20], 220);
    EXPECT_EQ(block[21], 0);
    EXPECT_EQ(block[22], 176);
    EXPECT_EQ(block[23], 0);
    auto stream = CLogoPicture::CompressLogo(pixels.data(), pixels.size());
    ASSERT_EQ(stream.size(), 915u);
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), block.begin() + 24));
    for (size_t i = 24 + stream.size(); i < block.size(); ++i)
        ASSERT_EQ(block[i], 0xFF);
    EXPECT_EQ(StoredCrc(block), f.sender.Crc32(block.data() + 4, block.size() - 4));
}

// Pixels whose stream is exactly `target` bytes long: distinct literal pixels, then runs.
std::vector<uint16_t> PixelsCompressingTo(size_t target) {
    const size_t count = CLogoPicture::kPixelCount;
    for (size_t literals = 1; literals < count; ++literals) {
        size_t literalBytes = (literals + 126) / 127 + 2 * literals;
        if (literalBytes > target)
            break;
        size_t rest = count - literals;
        if ((target - literalBytes) % 3 != 0)
            continue;
        size_t runs = (target - literalBytes) / 3;
        if (runs < (rest + 126) / 127 || runs > rest / 3)
            continue;
        std::vector<uint16_t> p;
        for (size_t i = 0; i < literals; ++i)
            p.push_back(static_cast<uint16_t>(i + 1));
        for (size_t r = 0; r < runs; ++r) {
            size_t length = rest / runs + (r < rest % runs ? 1 : 0);
            p.insert(p.end(), length, r % 2 ? 0xAAAA : 0x5555);
        }
        return p;
    }
    return {};
}

TEST(LogoBlock, StreamLimitIs32735Bytes) {
    SenderFixture f;
    auto fits = PixelsCompressingTo(32735);
    auto tooLong = PixelsCompressingTo(32736);
    ASSERT_EQ(fits.size(), CLogoPicture::kPixelCount);
    ASSERT_EQ(tooLong.size(), CLogoPicture::kPixelCount);
    ASSERT_EQ(CLogoPicture::CompressLogo(fits.data(), fits.size()).size(), 32735u);
    ASSERT_EQ(CLogoPicture::CompressLogo(tooLong.data(), tooLong.size()).size(), 32736u);

    ASSERT_TRUE(f.sender.BuildLogoBlock(220, 176, fits, "fits"));
    const auto &block = f.sender.LogoBlock();
    for (size_t i = 32768 - 9; i < 32768; ++i)
        EXPECT_EQ(block[i], 0xFF);
    auto before = block;
    EXPECT_FALSE(f.sender.BuildLogoBlock(220, 176, tooLong, "too long"));
    EXPECT_EQ(block, before);

    // A size the pixels do not fill is refused as well.
    EXPECT_FALSE(f.sender.BuildLogoBlock(220, 176, std::vector<uint16_t>(100, 0x1234), "short"));
    EXPECT_FALSE(f.sender.BuildLogoBlock(220, 0, {}, "half"));
    EXPECT_EQ(block, before);

    // No three equal neighbours anywhere: the worst case is refused.
    std::vector<uint16_t> worst(CLogoPicture::kPixelCount);
    for (size_t i = 0; i < worst.size(); ++i)
        worst[i] = i % 2 ? 0xFFFF : 0x0001;
    EXPECT_FALSE(f.sender.BuildLogoBlock(220, 176, worst, "worst"));
    EXPECT_EQ(block, before);
}

TEST(Transfer, SixtyFourChunksOfTheBlockOneAtATime) {
    SenderFixture f;
    std::vector<uint16_t> pixels(CLogoPicture::kPixelCount);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint16_t>((i / 7) * 2654435761u >> 8);
    ASSERT_TRUE(f.sender.BuildLogoBlock(220, 176, pixels, "Chunks"));
    const auto &block = f.sender.LogoBlock();

    f.sender.StartTransfer(12345);
    ASSERT_EQ(f.fake->Sent().size(), 1u);
    for (int ack = 1; ack < 64; ++ack) {
        f.sender.OnChunkAck(12345);
        ASSERT_EQ(f.fake->Sent().size(), static_cast<size_t>(ack + 1));
    }
    f.sender.OnChunkAck(12345); // the 64th sends nothing
    f.sender.OnChunkAck(12345); // nor does one after it
    auto sent = f.fake->Sent();
    ASSERT_EQ(sent.size(), 64u);
    EXPECT_FALSE(f.sender.TransferActive());

    std::vector<uint8_t> reassembled;
    for (int k = 0; k < 64; ++k) {
        const auto &chunk = sent[k];
        ASSERT_EQ(chunk.size(), 652u);
        EXPECT_EQ(std::vector<uint8_t>(chunk.begin(), chunk.begin() + 11),
                  (std::vector<uint8_t>{0xF0, 0x00, 0x11, 0x22, 0x01, 0x39, 0x60, 0x00, 0x00, 0x03,
                                        static_cast<uint8_t>(k)}));
        EXPECT_EQ(chunk.back(), 0xF7);
        for (size_t i = 1; i < 651; ++i)
            ASSERT_LT(chunk[i], 0x80) << "chunk " << k << " byte " << i;
        auto bytes = UnpackChunk(chunk);
        reassembled.insert(reassembled.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(sent[63][10], 63);
    EXPECT_TRUE(std::equal(reassembled.begin(), reassembled.end(), block.begin()));
    EXPECT_TRUE(std::equal(reassembled.begin() + 32256, reassembled.end(), block.begin() + 32256));

    // The group holding width and height (block bytes 20 to 23: DC 00 B0 00).
    const uint8_t *group = sent[0].data() + 11 + 5 * 5;
    EXPECT_EQ(std::vector<uint8_t>(group, group + 5), (std::vector<uint8_t>{0x5C, 0x00, 0x30, 0x00, 0x05}));
}

TEST(Transfer, AckWithoutTransferSendsNothingAndARestartBeginsAtChunkZero) {
    SenderFixture f;
    ASSERT_TRUE(f.sender.BuildLogoBlock(0, 0, {}, "x"));
    f.sender.OnChunkAck(1);
    EXPECT_TRUE(f.fake->Sent().empty());

    f.sender.StartTransfer(1);
    f.sender.OnChunkAck(1);
    f.sender.OnChunkAck(1);
    EXPECT_EQ(f.sender.ChunkIndex(), 2);
    f.sender.AbandonTransfer();
    f.sender.OnChunkAck(1);
    EXPECT_EQ(f.fake->Sent().size(), 3u);

    f.fake->ClearSent();
    f.sender.StartTransfer(2);
    ASSERT_EQ(f.fake->Sent().size(), 1u);
    EXPECT_EQ(f.fake->Sent()[0][10], 0);
    EXPECT_EQ(f.fake->Sent()[0][5], 2);
}

TEST(Transfer, AcknowledgementsAreCountedPerChunkSoALateOneSkipsNothing) {
    SenderFixture f;
    ASSERT_TRUE(f.sender.BuildLogoBlock(0, 0, {}, "x"));
    // Chunk 0's answer comes late, after the resend: the resend's answer is owed to chunk 0.
    f.sender.StartTransfer(1);
    f.sender.ResendChunk();
    EXPECT_TRUE(f.sender.OnChunkAck(1));
    EXPECT_FALSE(f.sender.OnChunkAck(1));
    EXPECT_EQ(f.sender.ChunkIndex(), 1);
    for (int chunk = 1; chunk < CLogoSender::kChunkCount; ++chunk)
        ASSERT_TRUE(f.sender.OnChunkAck(1)) << chunk;
    EXPECT_FALSE(f.sender.TransferActive());
    const auto sent = f.fake->Sent();
    ASSERT_EQ(sent.size(), 66u); // every chunk once, chunk 0 twice with a query to the target between
    EXPECT_EQ(sent[1], TestSysEx::message(TavikSysEx::FamilyNeo, 1, TavikSysEx::SEND_VERSION));
    for (size_t i = 2; i < sent.size(); ++i)
        EXPECT_EQ(sent[i][10], static_cast<uint8_t>(i - 2)) << i;
}

TEST(Transfer, GivesUpAfterFiveResendsInARowAndSendsNothingMore) {
    SenderFixture f;
    ASSERT_TRUE(f.sender.BuildLogoBlock(0, 0, {}, "x"));
    CLogoTransfer transfer(f.sender);
    transfer.SetAckTimeout(20);
    QSignalSpy gaveUp(&transfer, &CLogoTransfer::GaveUp);
    transfer.Start(1);
    ASSERT_TRUE(gaveUp.wait(5000));
    QTest::qWait(100);
    EXPECT_EQ(gaveUp.count(), 1);
    EXPECT_EQ(f.fake->Sent().size(), 11u); // chunk 0 and five resends of it, each after a query
    EXPECT_TRUE(transfer.IsRunning());
}

// A script drives the link to a device that answers at once: 'S' starts a transfer, 'x' makes the device
// miss every chunk until '.', which runs the link to the end of the transfer (or six time-outs); 'h' hands
// the uploader the device's next answer, 't' is a time-out. Strays: 'o' an ACK PIC of another Tavik Neo, 'l'
// of a Tavik Lux with the target's serial, 'a' of the target, which nothing tells from a real one (so its
// rows miss nothing); 'r' opens the ports anew to a device that forgot everything, then hands over its old
// life's answer. Row 1: an answer to a resend comes after two time-outs of a chunk the device misses.
TEST(Transfer, NoUploadIsReportedCompleteThatTheDeviceDoesNotHold) {
    constexpr uint32_t kTarget = 12345;
    for (const char *script : {"Stxhtthh.", "xSo.", "xSl.", "Shhxr.", "Sah.", "Sha.", "S.aolxS."}) {
        auto *fake = new FakeMidiPlatform({"in"}, {"out"});
        CLogoSender sender{std::unique_ptr<MidiPlatform>(fake)};
        CLogoTransfer transfer(sender);
        std::vector<std::vector<uint8_t>> answers; // the device's answers, handed over from taken on
        size_t taken = 0;
        uint64_t held = 0; // the chunks received in this transfer since the last chunk 0
        bool missing = false;
        fake->SetResponder([&](const std::vector<uint8_t> &m) {
            const uint32_t to = m[5] | m[6] << 7 | m[7] << 14 | m[8] << 21;
            const bool chunk = m[9] == TavikSysEx::PICTURE_CHUNK && to == kTarget && !missing;
            held = chunk ? (m[10] == 0 ? 0 : held) | 1ull << m[10] : held;
            if (chunk || (m[9] == TavikSysEx::SEND_VERSION && (to == 0 || to == kTarget)))
                answers.push_back(chunk ? TestSysEx::message(1, kTarget, TavikSysEx::ACK_PIC)
                                        : TestSysEx::version(1, kTarget, "N"));
        });
        std::vector<bool> finished; // each time: whether the device held every chunk
        QObject::connect(&transfer, &CLogoTransfer::Finished, [&] { finished.push_back(held == ~0ull); });
        auto deliver = [&](std::vector<uint8_t> m) { transfer.Receive(m.data(), m.size()); };
        for (const char *e = script; *e != '\0'; ++e) {
            missing = *e == 'x' || (missing && *e != '.');
            const std::vector<uint8_t> old = *e == 'r' ? answers.at(taken) : std::vector<uint8_t>();
            if (*e == 'r' || *e == 'S')
                taken = answers.size(), held = 0, sender.Port().Open(0, 0), transfer.Start(kTarget);
            if (strchr("ht", *e))
                *e == 'h' ? deliver(answers.at(taken++)) : sender.ResendChunk();
            if (strchr("aolr", *e))
                deliver(*e == 'r' ? old : TestSysEx::message(*e == 'l' ? 5 : 1, kTarget + (*e == 'o'), 0x23));
            for (int idle = 0; *e == '.' && transfer.IsRunning() && idle <= CLogoTransfer::kMaxResends;)
                taken == answers.size() ? (sender.ResendChunk(), void(++idle)) : deliver(answers.at(taken++));
        }
        EXPECT_EQ(finished, std::vector<bool>(strchr(script, 'S') == strrchr(script, 'S') ? 1 : 2, true))
            << script;
    }
}
