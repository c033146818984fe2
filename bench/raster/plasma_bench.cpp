#include <benchmark/benchmark.h>

#include "core/buffers.h"
#include "raster/plasma.h"
#include "sequencer/preparation.h"

namespace {

// One plasma zoom frame with the map rebuilt from the wave (the heavier of the two modes).
void plasmaFrame(benchmark::State& state) {
    sequencer::prepareWorkBuffers();
    for (int i = 0; i < 81920; ++i) {
        core::buffers.sourcePage[i] = static_cast<std::uint8_t>(i * 31 + i / 977);
    }
    for (auto _ : state) {
        raster::plasmaZoom(core::buffers.sourcePage, core::buffers.layerPage + 20,
                           raster::plasmaMapFromWave(), {.x = 13, .y = 20});
        benchmark::ClobberMemory();
    }
    core::releaseWorkBuffers();
}
BENCHMARK(plasmaFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
