#include <benchmark/benchmark.h>

#include "core/show.h"
#include "raster/polar.h"

namespace {

void BM_buildPolarTable(benchmark::State& state) {
    for (auto _ : state) {
        raster::buildPolarTable();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_buildPolarTable)->Unit(benchmark::kMicrosecond);

void BM_buildWindowMap(benchmark::State& state) {
    for (auto _ : state) {
        raster::buildWindowMap();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_buildWindowMap)->Unit(benchmark::kMicrosecond);

void BM_buildPolarMaps(benchmark::State& state) {
    for (auto _ : state) {
        raster::buildPolarMaps();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_buildPolarMaps)->Unit(benchmark::kMicrosecond);

void BM_buildWindowBend(benchmark::State& state) {
    for (auto _ : state) {
        raster::buildWindowBend(141, 0.03f);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_buildWindowBend)->Unit(benchmark::kMicrosecond);

void BM_fillAngleTwist(benchmark::State& state) {
    core::motion.sway = 42.5f;
    for (auto _ : state) {
        raster::fillAngleTwist();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_fillAngleTwist)->Unit(benchmark::kMicrosecond);

}  // namespace
