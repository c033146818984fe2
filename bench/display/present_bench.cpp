#include <benchmark/benchmark.h>

#include <vector>

#include "display/palette.h"
#include "display/present.h"
#include "display/state.h"

namespace {

// A picture that uses every palette entry and a palette with every channel different.
void prepare() {
    if (display::state.frameBuffer == nullptr) {
        display::allocateScreenBuffers();
    }
    std::vector<std::uint8_t> palette(768);
    for (int i = 0; i < 768; ++i) {
        palette[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 37) % 64);
    }
    display::setPalette(palette.data());
    for (int i = 0; i < core::kPicturePixels; ++i) {
        display::state.frameBuffer[i] = static_cast<std::uint8_t>(i * 13 + i / 320);
    }
    display::expandFrame();
}

void setPixelRate(benchmark::State& state) {
    state.counters["Mpixel/s"] = benchmark::Counter(
        static_cast<double>(core::kPicturePixels) * static_cast<double>(state.iterations()) / 1e6,
        benchmark::Counter::kIsRate);
}

void BM_expandFrame(benchmark::State& state) {
    prepare();
    for (auto _ : state) {
        display::expandFrame();
        benchmark::ClobberMemory();
    }
    setPixelRate(state);
}
BENCHMARK(BM_expandFrame);

template <void (*Convert)(std::uint8_t*, std::int32_t), int BytesPerPixel>
void BM_convert(benchmark::State& state) {
    prepare();
    std::vector<std::uint8_t> surface(static_cast<std::size_t>(core::kPicturePixels) *
                                      BytesPerPixel);
    for (auto _ : state) {
        Convert(surface.data(), 0);
        benchmark::ClobberMemory();
    }
    setPixelRate(state);
}
BENCHMARK(BM_convert<display::convert32, 4>)->Name("BM_convert32");
BENCHMARK(BM_convert<display::convert24, 3>)->Name("BM_convert24");
BENCHMARK(BM_convert<display::convert565, 2>)->Name("BM_convert565");
BENCHMARK(BM_convert<display::convert555, 2>)->Name("BM_convert555");

}  // namespace
