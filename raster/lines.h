#pragma once
// Additive lines: the light the metaball wire frame and other figures are drawn with.
#include <cstdint>

namespace raster {

// Adds light along the line from (x1, y1) to (x2, y2), both ends included, on a 320-byte-wide
// picture of 200 rows; pixels outside the picture are skipped.
void addLine(std::uint8_t* target, std::int32_t x1, std::int32_t y1, std::int32_t x2,
             std::int32_t y2);

}  // namespace raster
