#include <benchmark/benchmark.h>

#include <vector>

#include "core/buffers.h"
#include "display/mappers.h"
#include "effects/polar.h"

namespace {

void prepareMapper(std::vector<std::uint8_t>& texture, std::vector<std::uint8_t>& target) {
    effects::buildPolarTable();
    for (int v = 0; v < 65536; ++v) {
        core::resource00[2 * v] = static_cast<std::uint8_t>(v * 7);
        core::resource00[2 * v + 1] = static_cast<std::uint8_t>(v >> 8);
        texture[v] = static_cast<std::uint8_t>(v ^ (v >> 8));
    }
    display::mapSource = texture.data();
    display::mapTarget = target.data();
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
        display::mapTwist = static_cast<std::uint8_t>(display::mapTwist + 2);
        display::mapPolarPanned(-40 * 640 + 90);
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
        display::mapShiftA = static_cast<std::uint8_t>(display::mapShiftA + 1);
        display::mapShiftB = static_cast<std::uint8_t>(display::mapShiftB + 3);
        display::mapPolarShifted();
        benchmark::ClobberMemory();
    }
    setPixelRate(state);
}
BENCHMARK(BM_mapPolarShifted);

}  // namespace
