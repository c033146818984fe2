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

// Layer 0 is the outermost and dimmest (texels >> 5), layer 4 the innermost (texels >> 1).
extern std::array<ZoomLayer, 5> zoomLayers;
// Frames left until the layers hand over to their inner neighbours.
extern std::uint16_t zoomCountdown;

// Per-angle texture steps in 8.8 fixed point, rounded to nearest: a picture column steps
// (256 cos, 256 sin); a picture row steps (-307.2 sin, 307.2 cos), 1.2 times longer to suit
// the non-square pixels.
extern const std::array<std::int16_t, 256> colStepU;
extern const std::array<std::int16_t, 256> colStepV;
extern const std::array<std::int16_t, 256> rowStepU;
extern const std::array<std::int16_t, 256> rowStepV;

// Angles 0/32/64/96/128 with zooms 500/400/300/200/100, countdown 10.
void initZoomLayers();

// Adds the five layers of the texture in the first 65536 bytes of core::sourcePage into the
// 320x200 picture at core::layerPage (saturating at 255), then advances the animation. The
// caller clears layerPage first.
void drawZoomLayers();

}  // namespace raster
