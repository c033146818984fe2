#pragma once
// Grid-interpolated texture mapping: fills a picture from texture coordinates and light given
// only at the corners of 8x8-pixel cells (the textured plane's grid).
#include <array>
#include <cstdint>

namespace raster {

// Texture coordinates and light at one grid corner, 8.8 fixed point: bits 8..15 of u and v
// pick the texel, bits 8..15 of light the light level. Only the low 16 bits take part in the
// interpolation.
struct GridVertex {
    std::int32_t u;
    std::int32_t v;
    std::int32_t light;
};

inline constexpr int kGridColumns = 41;
inline constexpr int kGridRows = 26;
inline constexpr int kGridVertices = kGridColumns * kGridRows;

struct GridMapping {
    // The grid, row after row.
    const std::array<GridVertex, kGridVertices>& grid;
    // 256x256 texels (row = high byte of the index).
    const std::uint8_t* texture;
    // Entry texel * 256 + light is the colour drawn for that texel at that light level.
    const std::uint8_t* shade;
    // 320 bytes a row; at least 208 * 320 + 1 bytes.
    std::uint8_t* target;
};

// Writes the mapping's target: 26 cell rows of 8 pixel rows (rows 0..207) and the byte after
// row 207. Cell row 25 has no grid row below it; it interpolates toward a repeat of grid row 25.
void drawGridMapped(const GridMapping& mapping);

}  // namespace raster
