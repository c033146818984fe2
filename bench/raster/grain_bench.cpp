#include <benchmark/benchmark.h>

#include <vector>

#include "raster/grain.h"
#include "raster/random.h"

namespace {

void BM_fillNoise(benchmark::State& state) {
    for (auto _ : state) {
        raster::resetRandom();
        raster::fillNoise();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_fillNoise)->Unit(benchmark::kMicrosecond);

void BM_addNoise(benchmark::State& state) {
    raster::resetRandom();
    raster::fillNoise();
    const auto shift = static_cast<std::uint8_t>(state.range(0));
    std::vector<std::uint8_t> source(64000, 128);
    std::vector<std::uint8_t> destination(64000);
    for (auto _ : state) {
        raster::addNoise(source.data(), destination.data(), shift);
        benchmark::ClobberMemory();
    }
    state.counters["Mpixel/s"] = benchmark::Counter(
        64000.0 * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_addNoise)->Arg(1)->Arg(2)->Arg(3);

}  // namespace
