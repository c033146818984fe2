#include <benchmark/benchmark.h>

#include "archive/buffers.h"
#include "raster/plasma.h"

namespace {

// One plasma zoom frame with the map rebuilt from the wave (the heavier of the two modes).
void plasmaFrame(benchmark::State& state) {
    archive::allocateWorkBuffers();
    for (int i = 0; i < 81920; ++i) {
        archive::work400[i] = static_cast<std::uint8_t>(i * 31 + i / 977);
    }
    raster::plasmaFromWave = 1;
    raster::zoomCentreX = 13;
    raster::zoomCentreY = 20;
    for (auto _ : state) {
        raster::plasmaZoom(archive::work400, archive::workA + 20);
        benchmark::ClobberMemory();
    }
    archive::releaseWorkBuffers();
}
BENCHMARK(plasmaFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
