#include <benchmark/benchmark.h>

#include "core/buffers.h"
#include "core/show.h"
#include "effects/plane.h"
#include "sequencer/preparation.h"

namespace {

// One whole plane frame: 1066 traced rays and the 320x208 grid fill into sourcePage.
void BM_PlaneFrame(benchmark::State& state) {
    sequencer::prepareWorkBuffers();  // runs planeSetup
    for (int i = 0; i < 65536; ++i) {
        effects::plane.texture()[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
        effects::plane.shade()[i] = static_cast<std::uint8_t>((i >> 8) * (i & 255) / 255);
    }
    float time = 3.0f;
    for (auto _ : state) {
        core::motion.sceneTime = time;
        time += 0.1f;
        effects::planeFrame(core::buffers.sourcePage);
        benchmark::DoNotOptimize(core::buffers.sourcePage[32000]);
    }
    core::releaseWorkBuffers();
}
BENCHMARK(BM_PlaneFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
