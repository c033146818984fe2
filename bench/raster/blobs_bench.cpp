#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/buffers.h"
#include "raster/blobs.h"
#include "raster/lines.h"
#include "sequencer/preparation.h"

namespace {

// The spiral of 160 blobs the scene draws without the dancers, at one moment.
void blobSpiralFrame(benchmark::State& state) {
    sequencer::prepareWorkBuffers();
    const float k = (3.0f + 60.0f) / 360.0f / 5.0f;
    for (auto _ : state) {
        std::memset(core::buffers.mixPage, 0, 64000);
        for (int i = 0; i < 160; ++i) {
            const float fi = static_cast<float>(i);
            raster::stampBlob(
                core::buffers.mixPage,
                static_cast<std::int32_t>(0.9f * fi * std::sin(6.0f * fi * k) + 160.0f),
                static_cast<std::int32_t>(0.9f * fi * std::cos(6.0f * fi * k) + 100.0f));
        }
        benchmark::ClobberMemory();
    }
    core::releaseWorkBuffers();
}
BENCHMARK(blobSpiralFrame)->Unit(benchmark::kMicrosecond);

// Both dancers' frames, each a figure of 60 blobs.
void dancerFrame(benchmark::State& state) {
    sequencer::prepareWorkBuffers();
    std::vector<std::uint8_t> stream;
    auto word = [&stream](int w) {
        stream.push_back(static_cast<std::uint8_t>(w & 0xFF));
        stream.push_back(static_cast<std::uint8_t>(w >> 8));
    };
    for (int frame = 0; frame < 8; ++frame) {
        for (int point = 0; point <= 60; ++point) {
            word(100 + point * 2 + frame);
            word(2 * (40 + (point * 37) % 120));
        }
        word(0xFFFE);
    }
    word(0);
    word(0);
    word(0xFFFF);
    raster::startDancerA(stream);
    raster::startDancerB(stream);
    for (auto _ : state) {
        std::memset(core::buffers.mixPage, 0, 64000);
        raster::drawDancerA(core::buffers.mixPage);
        raster::drawDancerB(core::buffers.mixPage);
        benchmark::ClobberMemory();
    }
    core::releaseWorkBuffers();
}
BENCHMARK(dancerFrame)->Unit(benchmark::kMicrosecond);

// A wire frame's worth of additive lines (300 triangle edges of about 20 pixels).
void lineFrame(benchmark::State& state) {
    std::vector<std::uint8_t> picture(64000);
    for (auto _ : state) {
        for (int i = 0; i < 300; ++i) {
            const int x = (i * 37) % 300;
            const int y = (i * 53) % 180;
            raster::addLine(picture.data(), x, y, x + 17 - i % 35, y + 11 - i % 23);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(lineFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
