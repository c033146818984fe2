#pragma once
// The launcher's logo: 213 x 133 pixels, 24-bit colour, made by the content generator from the
// show's opening picture (resources/logo.bmp, regenerated with `sg2-content --logo-bmp`).
#include <cstdint>
#include <span>

namespace resources {

inline constexpr int kLogoWidth = 213;
inline constexpr int kLogoHeight = 133;

// The whole logo.bmp file: a 24-bit, bottom-up Windows bitmap.
std::span<const std::uint8_t> logoBmpFile();

// The logo's pixels as red, green, blue bytes, rows from top to bottom (213 x 133 x 3 bytes).
std::span<const std::uint8_t> logoPixelsRgb();

}  // namespace resources
