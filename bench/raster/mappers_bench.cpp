#include <benchmark/benchmark.h>

#include <vector>

#include "core/buffers.h"
#include "raster/mappers.h"
#include "raster/polar.h"

namespace {

void prepareMapper(std::vector<std::uint8_t>& texture) {
    raster::buildPolarTable();
    for (int v = 0; v < 65536; ++v) {
        core::buffers.tunnelRemap[2 * v] = static_cast<std::uint8_t>(v * 7);
        core::buffers.tunnelRemap[2 * v + 1] = static_cast<std::uint8_t>(v >> 8);
        texture[v] = static_cast<std::uint8_t>(v ^ (v >> 8));
    }
}

void setPixelRate(benchmark::State& state) {
    state.counters["Mpixel/s"] = benchmark::Counter(
        64000.0 * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

void BM_mapPolarPanned(benchmark::State& state) {
    std::vector<std::uint8_t> texture(65536);
    std::vector<std::uint8_t> target(64000);
    prepareMapper(texture);
    std::uint8_t twist = 0;
    for (auto _ : state) {
        twist = static_cast<std::uint8_t>(twist + 2);
        raster::mapPolarPanned(texture.data(), target.data(), twist, -40 * 640 + 90);
        benchmark::ClobberMemory();
    }
    setPixelRate(state);
}
BENCHMARK(BM_mapPolarPanned);

void BM_mapPolarShifted(benchmark::State& state) {
    std::vector<std::uint8_t> texture(65536);
    std::vector<std::uint8_t> target(64000);
    prepareMapper(texture);
    raster::PolarShift shift{.high = 0, .low = 0};
    for (auto _ : state) {
        shift.high = static_cast<std::uint8_t>(shift.high + 1);
        shift.low = static_cast<std::uint8_t>(shift.low + 3);
        raster::mapPolarShifted(texture.data(), target.data(), shift);
        benchmark::ClobberMemory();
    }
    setPixelRate(state);
}
BENCHMARK(BM_mapPolarShifted);

}  // namespace
