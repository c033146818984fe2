#include "resources/logo.h"

#include <array>
#include <cstddef>

namespace resources {

// Defined in the file the build generates from logo.bmp.
extern const std::uint8_t kLogoBmp[];
extern const std::size_t kLogoBmpSize;

std::span<const std::uint8_t> logoBmpFile() {
    return {kLogoBmp, kLogoBmpSize};
}

std::span<const std::uint8_t> logoPixelsRgb() {
    // Unpacked once from the bitmap: 54-byte header, rows bottom-up, padded to 4 bytes, BGR.
    static const std::array<std::uint8_t, kLogoWidth* kLogoHeight* 3> pixels = [] {
        std::array<std::uint8_t, kLogoWidth * kLogoHeight * 3> rgb{};
        constexpr std::size_t kHeader = 54;
        constexpr std::size_t kRowBytes = (kLogoWidth * 3 + 3) & ~std::size_t{3};
        if (kLogoBmpSize < kHeader + kRowBytes * kLogoHeight) {
            return rgb;  // a damaged file shows as black rather than reading past its end
        }
        for (int y = 0; y < kLogoHeight; ++y) {
            const std::uint8_t* row = kLogoBmp + kHeader + kRowBytes * (kLogoHeight - 1 - y);
            for (int x = 0; x < kLogoWidth; ++x) {
                const std::size_t out = (static_cast<std::size_t>(y) * kLogoWidth + x) * 3;
                rgb[out] = row[x * 3 + 2];
                rgb[out + 1] = row[x * 3 + 1];
                rgb[out + 2] = row[x * 3];
            }
        }
        return rgb;
    }();
    return pixels;
}

}  // namespace resources
