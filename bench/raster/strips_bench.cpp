#include <benchmark/benchmark.h>

#include <vector>

#include "raster/strips.h"

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

void BM_scrollStrip(benchmark::State& state) {
    std::vector<std::uint8_t> picture(64000);
    for (auto _ : state) {
        raster::scrollStrip(picture.data() + 10);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, 32.0 * 200.0);
}
BENCHMARK(BM_scrollStrip);

void BM_addBand(benchmark::State& state) {
    std::vector<std::uint8_t> picture(64000);
    for (auto _ : state) {
        raster::addBand(picture.data() + 54400);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, 320.0 * 26.0);
}
BENCHMARK(BM_addBand);

void BM_fadeEdges(benchmark::State& state) {
    auto work = patterned(240000);
    for (auto _ : state) {
        raster::fadeEdges(work.data());
        benchmark::ClobberMemory();
    }
    setPixelRate(state, 16.0 * 320.0);
}
BENCHMARK(BM_fadeEdges);

}  // namespace
