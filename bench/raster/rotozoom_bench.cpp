#include <benchmark/benchmark.h>

#include <cstring>

#include "core/buffers.h"
#include "raster/rotozoom.h"
#include "sequencer/preparation.h"

namespace {

// One rotozoom frame as the scene runs it: clear, then add the five layers.
void rotozoomFrame(benchmark::State& state) {
    sequencer::prepareWorkBuffers();
    for (int i = 0; i < 65536; ++i) {
        core::buffers.sourcePage[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
    }
    raster::initZoomLayers();
    for (auto _ : state) {
        std::memset(core::buffers.layerPage, 0, 64000);
        raster::drawZoomLayers(core::buffers.sourcePage, core::buffers.layerPage);
        benchmark::ClobberMemory();
    }
    core::releaseWorkBuffers();
}
BENCHMARK(rotozoomFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
