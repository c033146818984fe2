#include <benchmark/benchmark.h>

#include <vector>

#include "display/engine.h"

namespace {

constexpr double kPixels = 64000.0;

void setPixelRate(benchmark::State& state, double pixelsPerCall) {
    state.counters["Mpixel/s"] = benchmark::Counter(
        pixelsPerCall * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

std::vector<std::uint8_t> rampPicture(int seed) {
    std::vector<std::uint8_t> picture(64000);
    for (int i = 0; i < 64000; ++i) {
        picture[i] = static_cast<std::uint8_t>(i * seed + i / 320);
    }
    return picture;
}

void BM_buildScaleTable(benchmark::State& state) {
    for (auto _ : state) {
        display::buildScaleTable();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_buildScaleTable)->Unit(benchmark::kMicrosecond);

void BM_fillBuffer(benchmark::State& state) {
    auto picture = rampPicture(3);
    for (auto _ : state) {
        display::fillBuffer(picture.data(), 64000, 0x01020304);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, kPixels);
}
BENCHMARK(BM_fillBuffer);

void BM_copyBuffer(benchmark::State& state) {
    auto source = rampPicture(3);
    auto destination = rampPicture(5);
    for (auto _ : state) {
        display::copyBuffer(source.data(), destination.data(), 64000);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, kPixels);
}
BENCHMARK(BM_copyBuffer);

void BM_clearBuffer(benchmark::State& state) {
    auto picture = rampPicture(3);
    for (auto _ : state) {
        display::clearBuffer(picture.data(), 64000);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, kPixels);
}
BENCHMARK(BM_clearBuffer);

void BM_addBuffer(benchmark::State& state) {
    auto source = rampPicture(3);
    auto destination = rampPicture(5);
    for (auto _ : state) {
        display::addBuffer(source.data(), destination.data(), 64000);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, kPixels);
}
BENCHMARK(BM_addBuffer);

void BM_darkenBuffer(benchmark::State& state) {
    auto picture = rampPicture(3);
    for (auto _ : state) {
        display::darkenBuffer(picture.data(), 1);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, kPixels);
}
BENCHMARK(BM_darkenBuffer);

void BM_brightenBuffer(benchmark::State& state) {
    auto picture = rampPicture(3);
    for (auto _ : state) {
        display::brightenBuffer(picture.data(), 1);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, kPixels);
}
BENCHMARK(BM_brightenBuffer);

void BM_crossFade(benchmark::State& state) {
    display::buildScaleTable();
    auto a = rampPicture(3);
    auto b = rampPicture(5);
    std::vector<std::uint8_t> destination(64000);
    for (auto _ : state) {
        display::crossFade(a.data(), b.data(), destination.data(), 128);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, kPixels);
}
BENCHMARK(BM_crossFade);

void BM_blurBuffer(benchmark::State& state) {
    auto picture = rampPicture(3);
    for (auto _ : state) {
        display::blurBuffer(picture.data());
        benchmark::ClobberMemory();
    }
    setPixelRate(state, kPixels);
}
BENCHMARK(BM_blurBuffer);

void BM_captureThumbnail(benchmark::State& state) {
    auto picture = rampPicture(3);
    for (auto _ : state) {
        display::captureThumbnail(picture.data());
        benchmark::ClobberMemory();
    }
    setPixelRate(state, 4000.0);
}
BENCHMARK(BM_captureThumbnail);

void BM_stampThumbnail(benchmark::State& state) {
    auto picture = rampPicture(3);
    display::captureThumbnail(picture.data());
    for (auto _ : state) {
        display::stampThumbnail(picture.data() + 240);
        benchmark::ClobberMemory();
    }
    setPixelRate(state, 4000.0);
}
BENCHMARK(BM_stampThumbnail);

}  // namespace
