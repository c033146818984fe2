#include <benchmark/benchmark.h>

#include <vector>

#include "effects/plane.h"
#include "raster/gridmap.h"

namespace {

// The grid fill alone, on a perspective-like grid (u spreads, v and light fall per row).
void BM_DrawGridMapped(benchmark::State& state) {
    std::vector<std::uint8_t> target(208 * 320 + 1);
    effects::planeTarget = target.data();
    for (int i = 0; i < 65536; ++i) {
        effects::planeTexture[i] = static_cast<std::uint8_t>(i * 13 + (i >> 8));
        effects::planeShade[i] = static_cast<std::uint8_t>(i >> 8);
    }
    for (int row = 0; row < effects::kPlaneGridRows; ++row) {
        for (int column = 0; column < effects::kPlaneGridColumns; ++column) {
            effects::planeGrid[row * 41 + column] = {(column - 20) * (300 + row * 40),
                                                     row * 900 + column * 11, -60000 + row * 2000};
        }
    }
    for (auto _ : state) {
        raster::drawGridMapped(
            {effects::planeGrid, effects::planeTexture, effects::planeShade, effects::planeTarget});
        benchmark::DoNotOptimize(target[32000]);
    }
}
BENCHMARK(BM_DrawGridMapped)->Unit(benchmark::kMicrosecond);

}  // namespace
