#include "raster/rotozoom.h"

#include <cmath>
#include <numbers>

#include "core/picture.h"
#include "raster/state.h"

namespace raster {

namespace {

constexpr int kLayerCount = 5;
constexpr int kBlockColumns = 160;
constexpr int kBlockRows = 100;
constexpr int kWidth = core::kPictureWidth;
constexpr std::uint16_t kCountdownStart = 10;
constexpr std::array<std::uint16_t, kLayerCount> kStartZooms{500, 400, 300, 200, 100};

std::array<std::int16_t, 256> stepTable(double scale, bool useSine) {
    std::array<std::int16_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / 256.0;
        const double value = scale * (useSine ? std::sin(angle) : std::cos(angle));
        table[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(value));
    }
    return table;
}

// Signed 32-bit product shifted arithmetically, low 16 bits kept.
std::uint16_t scaledStep(std::int16_t step, std::uint16_t zoom) {
    return static_cast<std::uint16_t>((std::int32_t{step} * std::int32_t{zoom}) >> 8);
}

void addSaturating(std::uint8_t& pixel, int add) {
    const int sum = pixel + add;
    pixel = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
}

void addLayer(const std::uint8_t* texture, std::uint8_t* target, const ZoomLayer& layer,
              int shift) {
    const std::uint16_t du = scaledStep(colStepU[layer.angle], layer.zoom);
    const std::uint16_t dv = scaledStep(colStepV[layer.angle], layer.zoom);
    const std::uint16_t ru = scaledStep(rowStepU[layer.angle], layer.zoom);
    const std::uint16_t rv = scaledStep(rowStepV[layer.angle], layer.zoom);
    // Centred on the 160 block columns; the rows start 25 row steps up in u but 50 in v.
    const auto uStart = static_cast<std::uint16_t>(0x8000 - 80 * du - 25 * ru);
    const auto vStart = static_cast<std::uint16_t>(0x8000 - 80 * dv - 50 * rv);

    for (int r = 0; r < kBlockRows; ++r) {
        auto u = static_cast<std::uint16_t>(uStart + r * ru);
        auto v = static_cast<std::uint16_t>(vStart + r * rv);
        std::uint8_t* top = target + 2 * r * kWidth;
        std::uint8_t* bottom = top + kWidth;
        for (int c = 0; c < kBlockColumns; ++c) {
            u = static_cast<std::uint16_t>(u + du);
            v = static_cast<std::uint16_t>(v + dv);
            const std::uint8_t texel = texture[(v & 0xFF00u) | (u >> 8)];
            if (texel == 0) {
                continue;
            }
            const int add = texel >> shift;
            addSaturating(top[2 * c], add);
            addSaturating(top[2 * c + 1], add);
            addSaturating(bottom[2 * c], add);
            addSaturating(bottom[2 * c + 1], add);
        }
    }
}

}  // namespace

const std::array<std::int16_t, 256> colStepU = stepTable(256.0, false);
const std::array<std::int16_t, 256> colStepV = stepTable(256.0, true);
const std::array<std::int16_t, 256> rowStepU = stepTable(-307.2, true);
const std::array<std::int16_t, 256> rowStepV = stepTable(307.2, false);

void initZoomLayers() {
    for (int k = 0; k < kLayerCount; ++k) {
        state.zoomLayers[static_cast<std::size_t>(k)] = {static_cast<std::uint8_t>(32 * k),
                                                         kStartZooms[static_cast<std::size_t>(k)]};
    }
    state.zoomCountdown = kCountdownStart;
}

void drawZoomLayers(const std::uint8_t* texture, std::uint8_t* target) {
    for (int k = 0; k < kLayerCount; ++k) {
        addLayer(texture, target, state.zoomLayers[static_cast<std::size_t>(k)], 5 - k);
    }

    for (ZoomLayer& layer : state.zoomLayers) {
        layer.angle = static_cast<std::uint8_t>(layer.angle + 2);
        layer.zoom = static_cast<std::uint16_t>(layer.zoom - 10);
    }
    state.zoomCountdown = static_cast<std::uint16_t>(state.zoomCountdown - 1);

    if (state.zoomCountdown == 0) {
        // Every layer continues at the scale and angle its outer neighbour reached; the
        // innermost one is dropped.
        for (int k = kLayerCount - 1; k > 0; --k) {
            state.zoomLayers[static_cast<std::size_t>(k)].angle =
                state.zoomLayers[static_cast<std::size_t>(k - 1)].angle;
        }
        state.zoomLayers[0].angle = static_cast<std::uint8_t>(state.zoomLayers[0].angle + 16);
        for (int k = 0; k < kLayerCount; ++k) {
            state.zoomLayers[static_cast<std::size_t>(k)].zoom =
                kStartZooms[static_cast<std::size_t>(k)];
        }
        state.zoomCountdown = kCountdownStart;
    }
}

}  // namespace raster
