// One whole frame of each vector renderer, as the scenes draw it (budget: 1 ms per scene frame,
// of which the tunnel behind the object takes its share).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "display/engine.h"
#include "vector/renderer.h"
#include "vector/state.h"

namespace {

struct Pictures {
    Pictures() : source(64000), destination(64000) {
        display::buildScaleTable();
        vector::buildSineTable();
        vector::buildWobbleTable();
        for (std::size_t i = 0; i < source.size(); ++i) {
            source[i] = static_cast<std::uint8_t>((i % 320) * 3 + (i / 320) * 5);
        }
    }
    std::vector<std::uint8_t> source;
    std::vector<std::uint8_t> destination;
};

void BM_MaskFrame(benchmark::State& state) {
    Pictures pictures;
    vector::state.vectorA.init();
    float t = 0.0f;
    for (auto _ : state) {
        // Posed as its scene poses it, so the cost covers the whole swing.
        vector::state.vectorA.angleY = 128 * static_cast<std::int32_t>(8 * std::sin(t)) + 8192;
        vector::state.vectorA.angleX = 128 * static_cast<std::int32_t>(8 * std::cos(t)) + 4096;
        vector::state.vectorA.drawFrame(pictures.source.data(), pictures.destination.data());
        benchmark::DoNotOptimize(pictures.destination.data());
        t += 1.0f / 15;
    }
}
BENCHMARK(BM_MaskFrame)->Unit(benchmark::kMicrosecond);

void BM_TubeFrame(benchmark::State& state) {
    Pictures pictures;
    vector::state.vectorB.init();
    float t = 0.0f;
    for (auto _ : state) {
        vector::state.vectorB.drawFrame(pictures.source.data(), pictures.destination.data());
        benchmark::DoNotOptimize(pictures.destination.data());
        vector::state.vectorB.distanceOffset = static_cast<std::int32_t>(550 * 65536 * std::sin(t));
        t += 1.0f / 30;
    }
}
BENCHMARK(BM_TubeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
