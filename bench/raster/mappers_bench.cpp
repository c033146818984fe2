#include <benchmark/benchmark.h>

#include <vector>

#include "core/buffers.h"
#include "raster/mappers.h"
#include "raster/polar.h"

namespace {

void prepareMapper(std::vector<std::uint8_t>& texture, std::vector<std::uint8_t>& target) {
    raster::buildPolarTable();
    for (int v = 0; v < 65536; ++v) {
        core::tunnelRemap[2 * v] = static_cast<std::uint8_t>(v * 7);
        core::tunnelRemap[2 * v + 1] = static_cast<std::uint8_t>(v >> 8);
        texture[v] = static_cast<std::uint8_t>(v ^ (v >> 8));
    }
    raster::mapSource = texture.data();
    raster::mapTarget = target.data();
}

void setPixelRate(benchmark::State& state) {
    state.counters["Mpixel/s"] = benchmark::Counter(
        64000.0 * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

void BM_mapPolarPanned(benchmark::State& state) {
    std::vector<std::uint8_t> texture(65536);
    std::vector<std::uint8_t> target(64000);
    prepareMapper(texture, target);
    for (auto _ : state) {
        raster::mapTwist = static_cast<std::uint8_t>(raster::mapTwist + 2);
        raster::mapPolarPanned(-40 * 640 + 90);
        benchmark::ClobberMemory();
    }
    setPixelRate(state);
}
BENCHMARK(BM_mapPolarPanned);

void BM_mapPolarShifted(benchmark::State& state) {
    std::vector<std::uint8_t> texture(65536);
    std::vector<std::uint8_t> target(64000);
    prepareMapper(texture, target);
    for (auto _ : state) {
        raster::mapShiftA = static_cast<std::uint8_t>(raster::mapShiftA + 1);
        raster::mapShiftB = static_cast<std::uint8_t>(raster::mapShiftB + 3);
        raster::mapPolarShifted();
        benchmark::ClobberMemory();
    }
    setPixelRate(state);
}
BENCHMARK(BM_mapPolarShifted);

}  // namespace
