#pragma once
// Reading back what a screen shows: a presented staging area, in any of the four pixel
// formats, as 8-bit RGB.
#include <array>
#include <cstdint>

#include "core/picture.h"
#include "platform/video.h"

namespace host {

using RgbFrame = std::array<std::uint8_t, core::kPicturePixels * 3>;

// Decodes the 320x200 staging area of a presented frame into red, green, blue bytes; 5- and
// 6-bit channels are widened by repeating their top bits.
void stagingToRgb(const platform::PresentedFrame& frame, RgbFrame& rgb);

}  // namespace host
