#include <benchmark/benchmark.h>

#include "core/buffers.h"
#include "effects/voxel.h"
#include "raster/grain.h"
#include "raster/random.h"

namespace {

// One landscape frame over the show's terrain, starting from the sky picture.
void BM_VoxelFrame(benchmark::State& state) {
    raster::resetRandom();
    raster::fillNoise();
    effects::voxelSetup();
    float time = 0.0f;
    for (auto _ : state) {
        effects::voxelFrame(time, effects::VoxelBackdrop::sky);
        time += 0.2f;
        benchmark::DoNotOptimize(effects::voxel.frame.data()[32000]);
    }
}
BENCHMARK(BM_VoxelFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
