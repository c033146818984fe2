#include "resources/icon.h"

#include <algorithm>
#include <cstddef>

#include "resources/logo.h"

namespace resources {

namespace {

// Columns of the logo holding the bottle and the plain sky left of it; the title starts right
// of kBottleEnd. The frame centres the bottle and fills the sides from the plain sky.
constexpr int kBottleCentre = 61;
constexpr int kBottleEnd = 86;
constexpr int kPlainSkyEnd = 37;

int sourceColumn(int column) {
    constexpr int kSide = kLogoHeight;
    const int x = column - (kSide / 2 - kBottleCentre);
    if (x < 0) {
        return -x - 1;
    }
    if (x < kBottleEnd) {
        return x;
    }
    // Past the bottle: the plain sky again, mirrored back and forth so it has no seam.
    const int period = 2 * kPlainSkyEnd;
    const int phase = (x - kBottleEnd) % period;
    return phase < kPlainSkyEnd ? kPlainSkyEnd - 1 - phase : phase - kPlainSkyEnd;
}

}  // namespace

std::vector<std::uint8_t> resampleRgb(const std::vector<std::uint8_t>& rgb, int width, int height,
                                      int newWidth, int newHeight) {
    // Source pixel i spans [i * newWidth, (i + 1) * newWidth); destination pixel x spans
    // [x * width, (x + 1) * width): every overlap is a whole number, so is every weight.
    auto overlap = [](int source, int sourceUnit, int target, int targetUnit) {
        const long long begin = std::max(1LL * source * sourceUnit, 1LL * target * targetUnit);
        const long long end =
            std::min(1LL * (source + 1) * sourceUnit, 1LL * (target + 1) * targetUnit);
        return end > begin ? end - begin : 0LL;
    };
    std::vector<std::uint8_t> out(static_cast<std::size_t>(newWidth) * newHeight * 3);
    const long long area = 1LL * width * height;
    for (int y = 0; y < newHeight; ++y) {
        const int firstRow = static_cast<int>(1LL * y * height / newHeight);
        for (int x = 0; x < newWidth; ++x) {
            const int firstColumn = static_cast<int>(1LL * x * width / newWidth);
            long long sums[3] = {0, 0, 0};
            for (int sy = firstRow; sy < height; ++sy) {
                const long long weightY = overlap(sy, newHeight, y, height);
                if (weightY == 0) {
                    break;
                }
                for (int sx = firstColumn; sx < width; ++sx) {
                    const long long weight = weightY * overlap(sx, newWidth, x, width);
                    if (weight == 0) {
                        break;
                    }
                    const std::size_t at = (static_cast<std::size_t>(sy) * width + sx) * 3;
                    for (int c = 0; c < 3; ++c) {
                        sums[c] += weight * rgb[at + c];
                    }
                }
            }
            const std::size_t at = (static_cast<std::size_t>(y) * newWidth + x) * 3;
            for (int c = 0; c < 3; ++c) {
                out[at + c] = static_cast<std::uint8_t>((sums[c] + area / 2) / area);
            }
        }
    }
    return out;
}

std::vector<std::uint8_t> iconFrameRgb() {
    constexpr int kSide = kLogoHeight;
    const auto logo = logoPixelsRgb();
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(kSide) * kSide * 3);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const std::size_t from =
                (static_cast<std::size_t>(y) * kLogoWidth + sourceColumn(x)) * 3;
            const std::size_t to = (static_cast<std::size_t>(y) * kSide + x) * 3;
            for (int c = 0; c < 3; ++c) {
                frame[to + c] = logo[from + c];
            }
        }
    }
    return frame;
}

std::vector<std::uint8_t> iconRgb(int size) {
    return resampleRgb(iconFrameRgb(), kLogoHeight, kLogoHeight, size, size);
}

}  // namespace resources
