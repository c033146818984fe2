#include <benchmark/benchmark.h>

#include <vector>

#include "display/sprite.h"

namespace {

// Mpixel/s counts the destination pixels the square covers.
void BM_drawZoomSprite(benchmark::State& state) {
    std::vector<std::uint8_t> sprite(65536);
    for (int i = 0; i < 65536; ++i) {
        sprite[i] = static_cast<std::uint8_t>(i % 61);
    }
    std::vector<std::uint8_t> picture(64000, 0);
    const auto z = static_cast<std::int32_t>(state.range(0));
    const display::SpriteSpan span = display::spriteSpan(160, 100, z);
    const double covered = static_cast<double>(span.endColumn - span.firstColumn) *
                           static_cast<double>(span.endRow - span.firstRow);
    for (auto _ : state) {
        display::drawZoomSprite(160, 100, sprite.data(), picture.data(), z);
        benchmark::ClobberMemory();
    }
    state.counters["Mpixel/s"] = benchmark::Counter(
        covered * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_drawZoomSprite)->Arg(0)->Arg(26214400)->Arg(-87556096);

}  // namespace
