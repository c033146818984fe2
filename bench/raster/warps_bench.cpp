#include <benchmark/benchmark.h>

#include <vector>

#include "core/show.h"
#include "raster/polar.h"
#include "raster/warps.h"

namespace {

void setPixelRate(benchmark::State& state, double pixels) {
    state.counters["Mpixel/s"] = benchmark::Counter(
        pixels * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

std::vector<std::uint8_t> patterned(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 13 + i / 320);
    }
    return bytes;
}

void BM_polarRemap(benchmark::State& state) {
    raster::buildPolarMaps();
    core::motion.sway = 17.0f;
    raster::fillAngleTwist();
    auto source = patterned(raster::kPolarMarginBefore + 64000 + raster::kPolarMarginAfter);
    std::vector<std::uint8_t> destination(64000);
    for (auto _ : state) {
        raster::polarRemap(source.data() + raster::kPolarMarginBefore, destination.data());
        benchmark::ClobberMemory();
    }
    setPixelRate(state, 64000.0);
}
BENCHMARK(BM_polarRemap);

void BM_gradientWarp(benchmark::State& state) {
    auto texture = patterned(65536);
    auto heights = patterned(128000);
    std::vector<std::uint8_t> destination(64001);
    for (auto _ : state) {
        raster::gradientWarp(texture.data(), heights.data(), destination.data());
        benchmark::ClobberMemory();
    }
    setPixelRate(state, 64000.0);
}
BENCHMARK(BM_gradientWarp);

void BM_waveWarp(benchmark::State& state) {
    auto source = patterned(64002);
    std::vector<std::uint8_t> target(64000);
    for (int i = 0; i < 320; ++i) {
        core::motion.warpWave[i] = (i * 7) % 21 - 10;
    }
    for (auto _ : state) {
        raster::waveWarp(source.data(), target.data());
        benchmark::ClobberMemory();
    }
    setPixelRate(state, 300.0 * 180.0);
}
BENCHMARK(BM_waveWarp);

}  // namespace
