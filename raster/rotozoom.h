#pragma once
// The layered rotozoom: five rotated, scaled copies of one tiled 256x256 texture added
// together at half resolution, zooming in without end.
#include <array>
#include <cstdint>

namespace raster {

// One layer: an angle of 256 units per turn and a zoom (256 = one texel per 2x2 block;
// smaller values magnify).
struct ZoomLayer {
    std::uint8_t angle;
    std::uint16_t zoom;
};

// The five layers and their countdown are state.zoomLayers and state.zoomCountdown
// (raster/state.h).

// Per-angle texture steps in 8.8 fixed point, rounded to nearest: a picture column steps
// (256 cos, 256 sin); a picture row steps (-307.2 sin, 307.2 cos), 1.2 times longer to suit
// the non-square pixels.
extern const std::array<std::int16_t, 256> colStepU;
extern const std::array<std::int16_t, 256> colStepV;
extern const std::array<std::int16_t, 256> rowStepU;
extern const std::array<std::int16_t, 256> rowStepV;

// Angles 0/32/64/96/128 with zooms 500/400/300/200/100, countdown 10.
void initZoomLayers();

// Adds the five layers of the 65536-byte texture into the 320x200 target picture (saturating
// at 255), then advances the animation. The caller clears the target first.
void drawZoomLayers(const std::uint8_t* texture, std::uint8_t* target);

}  // namespace raster
