#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "raster/gridmap.h"

namespace {

// The grid fill alone, on a perspective-like grid (u spreads, v and light fall per row).
void BM_DrawGridMapped(benchmark::State& state) {
    std::vector<std::uint8_t> target(208 * 320 + 1);
    std::vector<std::uint8_t> texture(65536);
    std::vector<std::uint8_t> shade(65536);
    for (int i = 0; i < 65536; ++i) {
        texture[i] = static_cast<std::uint8_t>(i * 13 + (i >> 8));
        shade[i] = static_cast<std::uint8_t>(i >> 8);
    }
    std::array<raster::GridVertex, raster::kGridVertices> grid{};
    for (int row = 0; row < raster::kGridRows; ++row) {
        for (int column = 0; column < raster::kGridColumns; ++column) {
            grid[row * raster::kGridColumns + column] = {
                (column - 20) * (300 + row * 40), row * 900 + column * 11, -60000 + row * 2000};
        }
    }
    for (auto _ : state) {
        raster::drawGridMapped({grid, texture.data(), shade.data(), target.data()});
        benchmark::DoNotOptimize(target[32000]);
    }
}
BENCHMARK(BM_DrawGridMapped)->Unit(benchmark::kMicrosecond);

}  // namespace
