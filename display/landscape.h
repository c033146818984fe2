#pragma once
// The textured landscape: a scrolling 256x256 height field seen in perspective over a band
// of the sky picture. One call per frame in the landscape scenes.
#include <cstdint>

namespace display {

// Where the camera looks: angle indices into the sine tables.
struct LandscapeAim {
    std::uint16_t tilt;     // 450..750 in the show
    std::uint16_t heading;  // 300..1000 in the show
};

// View state kept between calls (display::state.landscape): it starts at these values and
// drawLandscape keeps it up to date.
struct Landscape {
    std::uint8_t scrollU = 110;    // added to every texture column; -8 per call
    std::uint8_t scrollV = 120;    // added to every texture row; +4 per call
    std::int32_t eyeHeight = 230;  // kept within 1 .. horizon - 1 after each call
    std::int32_t horizon = 250;    // recomputed from the tilt at each call
};

// Puts the view state back to its start values.
void resetLandscape();

// The 64-bit dividend of the per-line perspective division for eye-minus-horizon k:
// k in the upper 32 bits and k * 65536 (as a 32-bit pattern) in the lower 32 bits.
std::int64_t landscapeDividend(std::int32_t k);

// Draws one frame, seen as `aim` says, into a 320-wide picture at `destination`.
//
// Reads the sky from the first 64000 bytes of core::buffers.layerPage, the colour map from
// core::buffers.landscapeColours and the widened height map (16-bit row offsets 320..10240) from
// core::buffers.landscapeHeights; the sine tables must be built. Writes reach from 30 rows above
// the destination to row 224 below it, so the caller must own those margins (the sequencer passes
// sourcePage + core::kLandscapeInSourcePage). Even height words outside the widened range stay
// within rows -31..+394, which that address also covers.
//
// Angle indices are taken modulo 1024, and a sky offset that is still outside the picture
// after its one reduction copies no sky, so no aim or view state reads outside a table.
void drawLandscape(std::uint8_t* destination, LandscapeAim aim);

}  // namespace display
