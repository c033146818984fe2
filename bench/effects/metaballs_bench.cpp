#include <benchmark/benchmark.h>

#include <vector>

#include "core/show.h"
#include "effects/metaballs.h"

namespace {

// One metaball frame: field, trace and wire frame through the additive line routine.
void BM_MetaFrame(benchmark::State& state) {
    std::vector<std::uint8_t> target(64000);
    effects::metaSetup();
    float time = 0.5f;
    for (auto _ : state) {
        core::motion.sceneTime = time;
        time += 0.01f;
        effects::metaFrame(target.data(), effects::MetaPace::normal);
        benchmark::DoNotOptimize(target[32000]);
    }
}
BENCHMARK(BM_MetaFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
