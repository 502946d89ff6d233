// TavikLogo picture pipeline: conversion to 16-bit pixels, run-length compression, logo block with CRC and
// chunk packing, against a plain copy of the same bytes.
#include "BenchTable.h"
#include "CollectingReporter.h"
#include "logo/CLogoPicture.h"
#include "logo/CLogoSender.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int W = CLogoPicture::kLogoWidth;
constexpr int H = CLogoPicture::kLogoHeight;

// Smooth colour gradients with sensor-like noise: almost no three equal neighbours, as in a photo.
QImage photoLike() {
    QImage image(W, H, QImage::Format_RGB32);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int r = int(128 + 100 * std::sin(x / 23.0) * std::cos(y / 31.0)) + noise(random);
            const int g = int(128 + 90 * std::sin((x + y) / 40.0)) + noise(random);
            const int b = int(110 + 80 * std::cos(x / 17.0 - y / 29.0)) + noise(random);
            image.setPixel(x, y, qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255)));
        }
    return image;
}

// A typical logo: flat background, coloured shapes and a word of text; fits the device memory.
QImage logoLike() {
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(QColor(20, 24, 60));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(240, 180, 40));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(60, 88), 40, 40);
    painter.setBrush(QColor(60, 200, 120));
    painter.drawRect(120, 40, 80, 30);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(28);
    painter.setFont(font);
    painter.drawText(QRect(100, 100, 120, 60), Qt::AlignCenter, QStringLiteral("Tavik"));
    return image;
}

// Loads the picture through the uploader's own path, so the work picture is what a user would send.
void loadInto(CLogoPicture &picture, const QImage &image, const QTemporaryDir &dir, const char *name) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    image.save(path);
    picture.LoadPicture(path);
}

std::vector<uint16_t> pixelsOf(const CLogoPicture &picture) {
    std::vector<uint16_t> pixels;
    picture.ConvertToLogo(pixels);
    return pixels;
}

// No three neighbours equal anywhere: the largest stream the code can produce.
std::vector<uint16_t> worstCase() {
    std::vector<uint16_t> pixels(CLogoPicture::kPixelCount);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint16_t(i % 2 ? 0x1234 : 0xABCD);
    return pixels;
}

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;

    CLogoPicture photo;
    CLogoPicture logo;
    loadInto(photo, photoLike(), dir, "photo.png");
    loadInto(logo, logoLike(), dir, "logo.png");
    const std::vector<uint16_t> photoPixels = pixelsOf(photo);
    const std::vector<uint16_t> logoPixels = pixelsOf(logo);
    const std::vector<uint16_t> onePixels(CLogoPicture::kPixelCount, 0xCFF9);
    const std::vector<uint16_t> worstPixels = worstCase();
    CLogoSender sender(nullptr);

    const size_t photoStream = CLogoPicture::CompressLogo(photoPixels.data(), photoPixels.size()).size();
    const size_t logoStream = CLogoPicture::CompressLogo(logoPixels.data(), logoPixels.size()).size();
    if (!sender.BuildLogoBlock(W, H, logoPixels, QStringLiteral("Studio"))) {
        std::fprintf(stderr, "bench_logo: the logo picture does not fit (%zu bytes)\n", logoStream);
        return 1;
    }

    // Baseline: copying the bytes the pipeline reads (the 220 x 176 work area, 4 bytes a pixel, row by
    // row) and the bytes it writes (64 chunk messages of 652 bytes).
    const size_t inBytes = size_t(W) * 4;
    std::vector<uint8_t> copyIn(inBytes * H);
    std::vector<uint8_t> copyOut(CLogoSender::kChunkCount * CLogoSender::kChunkMessageSize);
    std::vector<uint8_t> copySource(copyOut.size(), 0x5A);
    benchmark::RegisterBenchmark("copy", [&](benchmark::State &state) {
        const QImage &work = logo.WorkPicture();
        for (auto _ : state) {
            for (int y = 0; y < H; ++y)
                std::memcpy(copyIn.data() + size_t(y) * inBytes, work.constScanLine(y), inBytes);
            std::memcpy(copyOut.data(), copySource.data(), copyOut.size());
            benchmark::DoNotOptimize(copyIn.data());
            benchmark::DoNotOptimize(copyOut.data());
            benchmark::ClobberMemory();
        }
    });
    benchmark::RegisterBenchmark("convert/photo", [&](benchmark::State &state) {
        std::vector<uint16_t> pixels;
        for (auto _ : state) {
            benchmark::DoNotOptimize(photo.ConvertToLogo(pixels));
            benchmark::ClobberMemory();
        }
    });
    auto compress = [](benchmark::State &state, const std::vector<uint16_t> *pixels) {
        for (auto _ : state) {
            std::vector<uint8_t> stream = CLogoPicture::CompressLogo(pixels->data(), pixels->size());
            benchmark::DoNotOptimize(stream.data());
        }
    };
    benchmark::RegisterBenchmark("compress/photo", compress, &photoPixels);
    benchmark::RegisterBenchmark("compress/logo", compress, &logoPixels);
    benchmark::RegisterBenchmark("compress/one colour", compress, &onePixels);
    benchmark::RegisterBenchmark("compress/worst case", compress, &worstPixels);
    benchmark::RegisterBenchmark("crc", [&](benchmark::State &state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(
                sender.Crc32(sender.LogoBlock().data() + 4, CLogoSender::kBlockSize - 4));
    });
    benchmark::RegisterBenchmark("block/logo", [&](benchmark::State &state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(sender.BuildLogoBlock(W, H, logoPixels, QStringLiteral("Studio")));
    });
    benchmark::RegisterBenchmark("chunks", [&](benchmark::State &state) {
        for (auto _ : state)
            for (int i = 0; i < CLogoSender::kChunkCount; ++i) {
                std::vector<uint8_t> chunk = sender.BuildChunk(12345, i);
                benchmark::DoNotOptimize(chunk.data());
            }
    });
    benchmark::RegisterBenchmark("pipeline/logo", [&](benchmark::State &state) {
        std::vector<uint16_t> pixels;
        for (auto _ : state) {
            logo.ConvertToLogo(pixels);
            sender.BuildLogoBlock(W, H, pixels, QStringLiteral("Studio"));
            for (int i = 0; i < CLogoSender::kChunkCount; ++i) {
                std::vector<uint8_t> chunk = sender.BuildChunk(12345, i);
                benchmark::DoNotOptimize(chunk.data());
            }
        }
    });

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const double copy = reporter.nanoseconds("copy");
    const std::string base = "copy " + BenchTable::duration(copy);
    auto ratio = [copy](double ns) { return BenchTable::fixed(ns / copy, 1, "x copy"); };
    auto plain = [&](const std::string &measure, const std::string &name) {
        const double ns = reporter.nanoseconds(name);
        BenchTable::row("2 logo", measure, BenchTable::duration(ns), base, ratio(ns), "-", "-");
    };
    plain("ConvertPixel over 220 x 176 (photo)", "convert/photo");
    plain("CompressLogo photo (" + std::to_string(photoStream) + " B, too large to send)", "compress/photo");
    plain("CompressLogo logo picture (" + std::to_string(logoStream) + " B)", "compress/logo");
    plain("CompressLogo one colour (915 B)", "compress/one colour");
    plain("CompressLogo worst case (77745 B)", "compress/worst case");
    plain("CRC-32 over 32764 B", "crc");
    plain("BuildLogoBlock with CRC (logo picture)", "block/logo");
    plain("chunk packing, 64 x 652 B", "chunks");
    const double pipeline = reporter.nanoseconds("pipeline/logo");
    BenchTable::row("2 logo", "whole pipeline: work picture to 64 packed chunks",
                    BenchTable::duration(pipeline), base, ratio(pipeline), "< 2 ms",
                    BenchTable::verdict(pipeline < 2e6));
    return 0;
}
