#include "raster/plasma.h"

#include <algorithm>

#include "core/picture.h"
#include "raster/state.h"

namespace raster {

namespace {

constexpr int kWidth = core::kPictureWidth;
constexpr int kRows = core::kPictureHeight;
constexpr int kWindowLeft = 32;
constexpr int kWindowColumns = 255;
constexpr int kFrameRight = kWindowLeft + kWindowColumns;  // 287
constexpr std::uint8_t kFrameColour = 200;

// Where zoom value k pulls a pixel: the picture's centre scaled by (255 - k) / 256, moved by
// the centre bytes. Entry 255 is left 0, so the largest zoom value ignores the centre.
std::array<std::uint8_t, 256> offsetX{};
std::array<std::uint8_t, 256> offsetY{};

void buildOffsets(ZoomCentre centre) {
    for (int k = 0; k < 255; ++k) {
        offsetX[static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>(((160 * (255 - k)) >> 8) + centre.x);
        offsetY[static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>(((100 * (255 - k)) >> 8) + centre.y);
    }
}

}  // namespace

const std::uint8_t* plasmaMapFromWave() {
    for (int r = 0; r < kRows; ++r) {
        std::uint8_t* row = state.plasmaMap.data() + r * kWidth;
        for (int c = 0; c < 160; ++c) {
            const auto value =
                static_cast<std::uint8_t>(state.plasmaWave[static_cast<std::size_t>(c)] +
                                          state.plasmaWave[static_cast<std::size_t>(r)]);
            row[2 * c] = value;
            row[2 * c + 1] = value;
        }
    }
    return state.plasmaMap.data();
}

namespace {

void drawFrame(std::uint8_t* destination) {
    for (int r = 0; r < kRows; ++r) {
        destination[r * kWidth + kWindowLeft] = kFrameColour;
        destination[r * kWidth + kFrameRight] = kFrameColour;
    }
    std::fill_n(destination + kWindowLeft, kFrameRight - kWindowLeft + 1, kFrameColour);
    std::fill_n(destination + (kRows - 1) * kWidth + kWindowLeft, kFrameRight - kWindowLeft + 1,
                kFrameColour);
}

}  // namespace

void plasmaZoom(const std::uint8_t* source, std::uint8_t* destination, const std::uint8_t* zoomMap,
                ZoomCentre centre) {
    buildOffsets(centre);
    for (int r = 0; r < kRows; ++r) {
        const std::uint8_t* zoomRow = zoomMap + r * kWidth;
        std::uint8_t* out = destination + r * kWidth + kWindowLeft;
        // The rows darken downward: each row loses its own offsetX entry.
        const int dimming = offsetX[static_cast<std::size_t>(r)];
        for (int c = 0; c < kWindowColumns; ++c) {
            const unsigned v = zoomRow[c];
            const unsigned x = (((v * c) >> 8) + offsetX[v]) & 0xFFu;
            const unsigned y = (((v * r) >> 8) + offsetY[v]) & 0xFFu;
            const int p = source[y * kWidth + x] - dimming;
            out[c] = static_cast<std::uint8_t>(p < 0 ? 0 : p);
        }
    }

    std::rotate(state.plasmaWave.rbegin(), state.plasmaWave.rbegin() + 1, state.plasmaWave.rend());
    drawFrame(destination);
}

}  // namespace raster
