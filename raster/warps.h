#pragma once
// Table-driven picture warps: each output pixel reads another picture at a displaced position.
#include <cstdint>

namespace raster {

// destination[i] = source[polarOffsets[r + 256 * ((a + angleTwist[a]) & 255)]] with radius r
// and angle a from polarMap (the tables in raster::state). The offsets reach 4341 bytes before and
// 4659 bytes after the source picture, so the source needs that much readable storage around it.
void polarRemap(const std::uint8_t* source, std::uint8_t* destination);
// For k = 1..64000: destination[k] = texture[(k + 320 * gRow + gCol) mod 65536], where gRow and
// gCol are the 16-bit height differences to the right and lower neighbours shifted right by
// 3. Heights are signed 16-bit words, 64000 of them; words past the field read as 0. The
// texture must hold 65536 bytes and the destination 64001.
void gradientWarp(const std::uint8_t* texture, const std::uint8_t* heights,
                  std::uint8_t* destination);
// Shifts rows and columns of source by core::warpWave into the window x 10..309, y 10..189 of
// target (two pixels per look-up; displaced positions outside 0..64000 leave the target as it
// was), then frames the window in colour 200. source must be readable up to byte 64001.
void waveWarp(const std::uint8_t* source, std::uint8_t* target);

}  // namespace raster
