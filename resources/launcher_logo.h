#pragma once
// The launcher's logo: a 213x133 picture of 24 bits per pixel.
#include <cstdint>
#include <span>

namespace resources {

inline constexpr int kLauncherLogoWidth = 213;
inline constexpr int kLauncherLogoHeight = 133;

// Rows of red, green, blue bytes, top row first.
std::span<const std::uint8_t> launcherLogo();

}  // namespace resources
