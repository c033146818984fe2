#include <benchmark/benchmark.h>

#include "archive/buffers.h"
#include "display/landscape.h"
#include "sequencer/state.h"

namespace {

// One landscape frame at a mid-sequence view, on the show's buffer.
void landscapeFrame(benchmark::State& state) {
    archive::allocateWorkBuffers();
    sequencer::buildSineTables();
    for (int i = 0; i < 65536; ++i) {
        archive::resource06[i] = static_cast<std::uint8_t>(i * 13 ^ i >> 8);
        archive::resource05[i] = static_cast<std::uint8_t>(i * 29 + (i >> 7));
    }
    sequencer::widenResource05();
    display::landTilt = 600;
    display::landHeading = 650;
    for (auto _ : state) {
        display::drawLandscape(archive::work400 + 128000);
        benchmark::ClobberMemory();
    }
    archive::releaseWorkBuffers();
}
BENCHMARK(landscapeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
