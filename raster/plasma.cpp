#include "raster/plasma.h"

#include <algorithm>

#include "core/picture.h"

namespace raster {

const std::array<std::uint8_t, 255> plasmaWaveStart{
    54,  58,  63,  67,  71,  74,  78,  81,  85,  88,  91,  93,  96,  98,  100, 101, 103, 104, 104,
    105, 105, 105, 105, 104, 103, 102, 101, 100, 98,  97,  95,  93,  91,  89,  86,  84,  82,  79,
    77,  75,  72,  70,  67,  65,  63,  61,  59,  56,  54,  53,  51,  49,  47,  46,  44,  43,  41,
    40,  39,  38,  37,  36,  35,  34,  33,  32,  32,  31,  31,  30,  30,  29,  29,  29,  29,  29,
    28,  28,  28,  28,  28,  29,  29,  29,  29,  29,  29,  30,  30,  30,  31,  31,  32,  32,  33,
    33,  34,  35,  35,  36,  37,  38,  39,  40,  40,  41,  42,  44,  45,  46,  47,  48,  49,  51,
    52,  53,  55,  56,  57,  59,  60,  62,  63,  65,  66,  68,  69,  71,  72,  74,  75,  77,  78,
    80,  81,  82,  84,  85,  86,  88,  89,  90,  91,  92,  93,  94,  95,  96,  97,  98,  99,  100,
    100, 101, 102, 102, 103, 103, 104, 104, 105, 106, 108, 110, 112, 111, 108, 107, 106, 105, 103,
    103, 105, 106, 108, 105, 104, 104, 104, 103, 103, 102, 102, 101, 100, 99,  99,  98,  97,  96,
    95,  93,  92,  91,  89,  88,  86,  85,  83,  81,  79,  77,  75,  73,  71,  68,  66,  63,  61,
    58,  55,  53,  50,  47,  44,  42,  39,  36,  33,  30,  28,  25,  23,  21,  18,  16,  14,  12,
    10,  9,   7,   6,   6,   5,   5,   5,   5,   6,   7,   8,   9,   11,  13,  15,  17,  20,  22,
    25,  29,  32,  35,  39,  43,  46,  50,
};

std::array<std::uint8_t, 64000> plasmaMap{};
std::array<std::uint8_t, 255> plasmaWave = plasmaWaveStart;
std::uint8_t zoomCentreX = 0;
std::uint8_t zoomCentreY = 0;
std::uint8_t plasmaFromWave = 0;

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

void buildOffsets() {
    for (int k = 0; k < 255; ++k) {
        offsetX[static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>(((160 * (255 - k)) >> 8) + zoomCentreX);
        offsetY[static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>(((100 * (255 - k)) >> 8) + zoomCentreY);
    }
}

void buildPlasmaFromWave() {
    for (int r = 0; r < kRows; ++r) {
        std::uint8_t* row = plasmaMap.data() + r * kWidth;
        for (int c = 0; c < 160; ++c) {
            const auto value = static_cast<std::uint8_t>(plasmaWave[static_cast<std::size_t>(c)] +
                                                         plasmaWave[static_cast<std::size_t>(r)]);
            row[2 * c] = value;
            row[2 * c + 1] = value;
        }
    }
}

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

void plasmaZoom(const std::uint8_t* source, std::uint8_t* destination) {
    buildOffsets();
    if (plasmaFromWave == 1) {
        buildPlasmaFromWave();
    }

    for (int r = 0; r < kRows; ++r) {
        const std::uint8_t* zoomRow = plasmaMap.data() + r * kWidth;
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

    std::rotate(plasmaWave.rbegin(), plasmaWave.rbegin() + 1, plasmaWave.rend());
    drawFrame(destination);
}

}  // namespace raster
