#include <benchmark/benchmark.h>

#include <cstring>

#include "archive/buffers.h"
#include "raster/rotozoom.h"

namespace {

// One rotozoom frame as the scene runs it: clear, then add the five layers.
void rotozoomFrame(benchmark::State& state) {
    archive::allocateWorkBuffers();
    for (int i = 0; i < 65536; ++i) {
        archive::work400[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
    }
    raster::initZoomLayers();
    for (auto _ : state) {
        std::memset(archive::workA, 0, 64000);
        raster::drawZoomLayers();
        benchmark::ClobberMemory();
    }
    archive::releaseWorkBuffers();
}
BENCHMARK(rotozoomFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
