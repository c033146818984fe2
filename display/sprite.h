#pragma once
// Zoomed additive sprite: a 256x256 8-bit sprite centred on a point, scaled by a depth and
// added to a 320x200 picture with saturation. Glows, flares and light balls.
#include <cstdint>

namespace display {

// Depth at which the sprite has shrunk to nothing: 800.0 in 16.16 fixed point.
inline constexpr std::int64_t kSpriteVanishingDepth = 52428800;

// The square a call covers, after clipping; used by the sprite and by its tests.
struct SpriteSpan {
    std::int32_t halfSize;     // h: half the drawn square, 128 at depth 0
    std::uint32_t step;        // source distance per destination pixel, 16.16
    std::int32_t firstColumn;  // destination columns firstColumn .. endColumn - 1
    std::int32_t endColumn;
    std::int32_t firstRow;  // destination rows firstRow .. endRow - 1
    std::int32_t endRow;
    std::uint32_t sourceColumn;  // 16.16 horizontal start in the sprite
    std::uint32_t sourceRow;     // whole starting sprite row
    bool visible;                // false: nothing is drawn
};

// Size, visibility and clipping for a sprite centred on (x, y) at depth z (16.16).
SpriteSpan spriteSpan(std::int32_t x, std::int32_t y, std::int32_t z);

// Adds the sprite, scaled for depth z, onto the picture centred on (x, y). z = 0 draws it 1:1;
// depths toward 800.0 shrink it, negative depths enlarge it. A sprite clipped on the right
// never covers column 319. Depths above 793.75 (where the square has no size) and squares
// clipped to no width or height draw nothing.
void drawZoomSprite(std::int32_t x, std::int32_t y, const std::uint8_t* sprite,
                    std::uint8_t* destination, std::int32_t z);

}  // namespace display
