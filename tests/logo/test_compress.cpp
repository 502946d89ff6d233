// The run-length code: token layout on small arrays, the documented sizes, and round trips
// through the simulator's decoder on random, photo-like and synthetic pixel arrays.
#include "FakeMidiPlatform.h"
#include "logo/CLogoPicture.h"
#include "logo/CLogoSender.h"
#include "sim/LogoBlockDecoder.h"

#include <QImage>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

std::vector<uint8_t> Compress(const std::vector<uint16_t> &p) {
    return CLogoPicture::CompressLogo(p.data(), p.size());
}

// Checks the token rules the encoder promises and returns the decoded pixels.
std::vector<uint16_t> RoundTrip(const std::vector<uint16_t> &p) {
    auto stream = Compress(p);
    size_t pos = 0;
    while (pos < stream.size()) {
        uint8_t h = stream[pos];
        EXPECT_NE(h & 0x7F, 0) << "header 0x00 or 0x80 at " << pos;
        if (h & 0x80) {
            pos += 1 + 2 * (h & 0x7F);
        } else {
            EXPECT_GE(h, 3) << "run shorter than three at " << pos;
            pos += 3;
        }
    }
    EXPECT_EQ(pos, stream.size());
    std::vector<uint16_t> decoded;
    EXPECT_TRUE(LogoBlockDecoder::decodePixels(stream, decoded, p.size()));
    return decoded;
}

std::vector<uint16_t> Pixels(size_t n, const std::function<uint16_t(size_t)> &f) {
    std::vector<uint16_t> p(n);
    for (size_t i = 0; i < n; ++i)
        p[i] = f(i);
    return p;
}

const size_t kCount = CLogoPicture::kPixelCount;

} // namespace

TEST(Compress, TokenLayoutOnSmallArrays) {
    EXPECT_TRUE(Compress({}).empty());
    EXPECT_EQ(Compress({0x1234, 0x1234, 0x1234}), (std::vector<uint8_t>{0x03, 0x34, 0x12}));
    // The last one or two pixels never open a run.
    EXPECT_EQ(Compress({0x0001, 0x0002, 0x0002}), (std::vector<uint8_t>{0x83, 1, 0, 2, 0, 2, 0}));
    EXPECT_EQ(Compress({0x0005, 0x0005}), (std::vector<uint8_t>{0x82, 5, 0, 5, 0}));
    // Two equal pixels between different ones stay literal.
    EXPECT_EQ(Compress({1, 2, 2, 3}), (std::vector<uint8_t>{0x84, 1, 0, 2, 0, 2, 0, 3, 0}));
    // A literal run before a run is flushed first.
    EXPECT_EQ(Compress({9, 7, 7, 7, 7}), (std::vector<uint8_t>{0x81, 9, 0, 0x04, 7, 0}));
}

TEST(Compress, RunOf129ThenAnotherGivesA127RunAndALiteralStartingWithTheTwoLeft) {
    std::vector<uint16_t> p(129, 0xABCD);
    p.push_back(0x0042);
    EXPECT_EQ(Compress(p),
              (std::vector<uint8_t>{0x7F, 0xCD, 0xAB, 0x83, 0xCD, 0xAB, 0xCD, 0xAB, 0x42, 0x00}));
}

TEST(Compress, LongLiteralsSplitInto127PixelTokens) {
    auto p = Pixels(300, [](size_t i) { return static_cast<uint16_t>(i); });
    auto s = Compress(p);
    ASSERT_EQ(s.size(), 3u + 600u);
    EXPECT_EQ(s[0], 0xFF);
    EXPECT_EQ(s[1 + 254], 0xFF);
    EXPECT_EQ(s[2 + 508], 0x80 | 46);
}

TEST(Compress, DocumentedSizes) {
    std::vector<uint16_t> oneColour(kCount, 0xCFF9);
    auto s = Compress(oneColour);
    EXPECT_EQ(s.size(), 915u);
    EXPECT_EQ(s[304 * 3], 112);
    auto alternating =
        Pixels(kCount, [](size_t i) { return static_cast<uint16_t>(i % 2 ? 0xF800 : 0x07E0); });
    EXPECT_EQ(Compress(alternating).size(), 77745u);
}

TEST(CompressRoundTrip, RandomArrays) {
    std::mt19937 rng(20261208);
    for (int trial = 0; trial < 20; ++trial) {
        // From pure noise to long runs of a few colours.
        int palette = trial < 5 ? 65536 : 2 + trial % 5;
        std::uniform_int_distribution<int> colour(0, palette - 1);
        std::uniform_int_distribution<int> runLength(1, trial % 2 ? 3 : 400);
        std::vector<uint16_t> p;
        while (p.size() < kCount) {
            uint16_t c = static_cast<uint16_t>(colour(rng) * (65535 / std::max(1, palette - 1)));
            p.insert(p.end(), std::min<size_t>(runLength(rng), kCount - p.size()), c);
        }
        ASSERT_EQ(RoundTrip(p), p) << "trial " << trial;
    }
}

TEST(CompressRoundTrip, PhotoLikePicture) {
    // A smooth gradient with noise and a flat sky, converted the way a loaded photo is.
    QImage photo(220, 176, QImage::Format_RGB32);
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 6.0);
    for (int y = 0; y < 176; ++y) {
        for (int x = 0; x < 220; ++x) {
            if (y < 40) {
                photo.setPixel(x, y, qRgb(120, 170, 230));
                continue;
            }
            auto clamp = [](double v) { return std::max(0, std::min(255, static_cast<int>(v))); };
            double shade = 128 + 100 * std::sin(x / 23.0) * std::cos(y / 31.0);
            photo.setPixel(x, y, qRgb(clamp(shade + noise(rng)), clamp(shade * 0.8 + noise(rng)), clamp(90)));
        }
    }
    QTemporaryDir dir;
    QString path = dir.filePath("photo.png");
    ASSERT_TRUE(photo.save(path));
    CLogoPicture picture;
    picture.LoadPicture(path);
    std::vector<uint16_t> pixels;
    ASSERT_TRUE(picture.ConvertToLogo(pixels));
    EXPECT_EQ(RoundTrip(pixels), pixels);
}

TEST(CompressRoundTrip, SyntheticPatterns) {
    std::vector<std::vector<uint16_t>> patterns = {
        std::vector<uint16_t>(kCount, 0x0001),
        Pixels(kCount, [](size_t i) { return static_cast<uint16_t>((i / 220 + i % 220) % 2 ? 0xFFFF : 0); }),
        Pixels(kCount, [](size_t i) { return static_cast<uint16_t>((i / 128) % 2 ? 0x1111 : 0x2222); }),
        Pixels(kCount, [](size_t i) { return static_cast<uint16_t>((i / 2) % 2 ? 0x00FF : 0xFF00); }),
        Pixels(kCount, [](size_t i) { return static_cast<uint16_t>(i % 3 == 2 ? 7 : 8); }),
        Pixels(kCount, [](size_t i) { return static_cast<uint16_t>(i); }),
    };
    for (size_t n = 0; n < patterns.size(); ++n)
        ASSERT_EQ(RoundTrip(patterns[n]), patterns[n]) << "pattern " << n;
}

TEST(CompressRoundTrip, WholeBlockUnpacksToNamePixelsAndMatchingCrc) {
    FakeMidiPlatform *fake = new FakeMidiPlatform({}, {});
    CLogoSender sender{std::unique_ptr<MidiPlatform>(fake)};
    auto pixels = Pixels(kCount, [](size_t i) { return static_cast<uint16_t>((i % 220) / 10 * 0x0841); });
    ASSERT_TRUE(sender.BuildLogoBlock(220, 176, pixels, "Round Trip"));
    std::vector<uint8_t> block(sender.LogoBlock().begin(), sender.LogoBlock().end());
    QString name;
    std::vector<uint16_t> decoded;
    bool crcOk = false;
    ASSERT_TRUE(LogoBlockDecoder::unpackBlock(block, name, decoded, crcOk));
    EXPECT_TRUE(crcOk);
    EXPECT_EQ(name, "Round Trip");
    EXPECT_EQ(decoded, pixels);

    ASSERT_TRUE(sender.BuildLogoBlock(0, 0, {}, "Empty"));
    block.assign(sender.LogoBlock().begin(), sender.LogoBlock().end());
    ASSERT_TRUE(LogoBlockDecoder::unpackBlock(block, name, decoded, crcOk));
    EXPECT_TRUE(crcOk);
    EXPECT_TRUE(decoded.empty());
}
