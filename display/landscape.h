#pragma once
// The textured landscape: a scrolling 256x256 height field seen in perspective over a band
// of the sky picture. One call per frame in the landscape scenes.
#include <cstdint>

namespace display {

// View state kept between calls. The sequencer writes landTilt and landHeading before each
// call; the rest starts at these values and is kept up to date by drawLandscape.
extern std::uint16_t landTilt;      // angle index into the sine tables (450..750 in the show)
extern std::uint16_t landHeading;   // angle index into the sine tables (300..1000 in the show)
extern std::uint8_t landScrollU;    // added to every texture column; -8 per call
extern std::uint8_t landScrollV;    // added to every texture row; +4 per call
extern std::int32_t landEyeHeight;  // kept within 1 .. landHorizon - 1 after each call
extern std::int32_t landHorizon;    // recomputed from landTilt at each call

// Puts the view state back to its start values (tilt 300, heading 0, scroll 110/120, eye
// 230, horizon 250).
void resetLandscape();

// The 64-bit dividend of the per-line perspective division for eye-minus-horizon k:
// k in the upper 32 bits and k * 65536 (as a 32-bit pattern) in the lower 32 bits.
std::int64_t landscapeDividend(std::int32_t k);

// Draws one frame into a 320-wide picture at `destination`.
//
// Reads the sky from the first 64000 bytes of core::buffers.layerPage, the colour map from
// core::buffers.landscapeColours and the widened height map (16-bit row offsets 320..10240) from
// core::buffers.landscapeHeights; the sine tables must be built. Writes reach from 30 rows above
// the destination to row 224 below it, so the caller must own those margins (the sequencer passes
// sourcePage + core::kLandscapeInSourcePage). Even height words outside the widened range stay
// within rows -31..+394, which that address also covers.
//
// Angle indices are taken modulo 1024, and a sky offset that is still outside the picture
// after its one reduction copies no sky, so no value of the view state reads outside a table.
void drawLandscape(std::uint8_t* destination);

}  // namespace display
