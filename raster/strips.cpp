#include "raster/strips.h"

#include <algorithm>
#include <cstring>

#include "core/buffers.h"
#include "raster/state.h"

namespace raster {

namespace {

constexpr std::uint32_t kStripWidth = 32;
constexpr std::uint32_t kStripImageBytes = 32000;
constexpr std::uint32_t kBandSourceWidth = 743;
constexpr std::uint32_t kBandRows = 26;
constexpr std::uint32_t kBandOffsetLimit = 700;

void subtractFloored(std::uint8_t* bytes, std::uint32_t count, int amount) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const int value = bytes[i] - amount;
        bytes[i] = static_cast<std::uint8_t>(value < 0 ? 0 : value);
    }
}

}  // namespace

void scrollStrip(std::uint8_t* destination) {
    state.stripOffset += kStripWidth;
    if (state.stripOffset >= kStripImageBytes) {
        state.stripOffset = 0;
    }
    // The two copies are adjacent members of one object, so the window may run on from the
    // first into the second.
    const auto* image =
        reinterpret_cast<const std::uint8_t*>(&core::buffers.titleStrip) + state.stripOffset;
    for (std::uint32_t r = 0; r < 200; ++r) {
        std::memcpy(destination + 320 * r, image + kStripWidth * r, kStripWidth);
    }
}

void addBand(std::uint8_t* destination) {
    state.bandOffset += 1;
    if (state.bandOffset >= kBandOffsetLimit) {
        state.bandOffset = 0;
    }
    const std::uint32_t sourceBytes = static_cast<std::uint32_t>(core::buffers.flareBand.size());
    for (std::uint32_t r = 0; r < kBandRows; ++r) {
        const std::uint32_t start = kBandSourceWidth * r + state.bandOffset;
        // Only the last row can reach past the end of the image; the rest of it adds 0.
        const std::uint32_t available = std::min<std::uint32_t>(320, sourceBytes - start);
        const std::uint8_t* source = core::buffers.flareBand.data() + start;
        std::uint8_t* out = destination + 320 * r;
        for (std::uint32_t c = 0; c < available; ++c) {
            const unsigned sum = out[c] + source[c];
            out[c] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
        }
    }
}

void fadeEdges(std::uint8_t* picture) {
    for (int row = 0; row < 5; ++row) {
        subtractFloored(picture + 320 * row, 320, 250 - 50 * row);
    }
    for (int k = 0; k < 11; ++k) {
        subtractFloored(picture + 62000 + 320 * k, 320, 25 * k);
    }
}

}  // namespace raster
