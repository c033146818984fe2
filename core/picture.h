#pragma once
// The picture every routine draws: 320x200 palette indices, 256 colours of three bytes.
#include <cstddef>

namespace core {

inline constexpr int kPictureWidth = 320;
inline constexpr int kPictureHeight = 200;
inline constexpr int kPicturePixels = kPictureWidth * kPictureHeight;  // 64000
inline constexpr std::size_t kPictureBytes = kPicturePixels;
inline constexpr std::size_t kPaletteBytes = 768;

}  // namespace core
