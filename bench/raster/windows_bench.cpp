#include <benchmark/benchmark.h>

#include <vector>

#include "raster/mappers.h"
#include "raster/polar.h"
#include "raster/windows.h"

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

void BM_drawLeftWindow(benchmark::State& state) {
    raster::buildWindowMap();
    raster::buildWindowBend(141, 0.05f);
    auto texture = patterned(65536);
    std::vector<std::uint8_t> target(240000);
    for (auto _ : state) {
        raster::drawLeftWindow(texture.data(), target.data(), 0);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, 4000.0);
}
BENCHMARK(BM_drawLeftWindow);

void BM_drawRightWindow(benchmark::State& state) {
    raster::buildWindowMap();
    raster::buildWindowBend(141, 0.05f);
    auto texture = patterned(65536);
    std::vector<std::uint8_t> target(240000);
    for (auto _ : state) {
        raster::drawRightWindow(texture.data(), target.data());
        benchmark::ClobberMemory();
    }
    setPixelRate(state, 4000.0);
}
BENCHMARK(BM_drawRightWindow);

}  // namespace
