#pragma once
// Additive lines: the light the metaball wire frame and other figures are drawn with.
#include <cstdint>

namespace raster {

// Adds light along the line from (x1, y1) to (x2, y2), both ends included, on a 320-byte-wide
// picture of 200 rows, saturating at 255: 50 per pixel when both ends lie on the picture,
// otherwise 20 on the pixels of the line that fall inside it (the rest are skipped).
//
// The pixels are those of an error-term walk from (x1, y1) along the longer axis. Any 32-bit
// end points are accepted: the walk is computed in 64 bits and jumps straight to the part
// that crosses the picture, so far-off lines cost no more than on-picture ones.
void addLine(std::uint8_t* target, std::int32_t x1, std::int32_t y1, std::int32_t x2,
             std::int32_t y2);

}  // namespace raster
