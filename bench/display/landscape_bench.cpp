#include <benchmark/benchmark.h>

#include "core/buffers.h"
#include "display/landscape.h"
#include "sequencer/preparation.h"
#include "sequencer/state.h"

namespace {

// One landscape frame at a mid-sequence view, on the show's buffer.
void landscapeFrame(benchmark::State& state) {
    sequencer::prepareWorkBuffers();
    sequencer::buildSineTables();
    for (int i = 0; i < 65536; ++i) {
        core::buffers.landscapeColours[i] = static_cast<std::uint8_t>(i * 13 ^ i >> 8);
        core::buffers.landscapeHeights[i] = static_cast<std::uint8_t>(i * 29 + (i >> 7));
    }
    sequencer::widenLandscapeHeights();
    for (auto _ : state) {
        display::drawLandscape(core::buffers.sourcePage + core::kLandscapeInSourcePage,
                               {.tilt = 600, .heading = 650});
        benchmark::ClobberMemory();
    }
    core::releaseWorkBuffers();
}
BENCHMARK(landscapeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
