#pragma once
// The textured floor-and-ceiling plane: a camera turning between two infinite textured planes
// (height +6 and -6). Rays are traced in floating point only at the 41 x 26 corners of a grid of
// 8x8-pixel cells; raster::drawGridMapped fills the picture by interpolating between them.
#include <array>
#include <cstdint>

#include "raster/gridmap.h"

namespace effects {

using PlaneVertex = raster::GridVertex;
inline constexpr int kPlaneGridColumns = raster::kGridColumns;
inline constexpr int kPlaneGridRows = raster::kGridRows;
inline constexpr int kPlaneGridVertices = raster::kGridVertices;

// 256x256 texels (row = high byte of the index), at an address that is a multiple of 65536,
// followed directly by planeShade: entry texel * 256 + light is the colour drawn for that
// texel at that light level (0 darkest). The scene fills both before showing the plane.
extern std::uint8_t* const planeTexture;
extern std::uint8_t* const planeShade;

// The grid, row after row. A frame rewrites every light value, but u and v only where the ray
// meets a plane within range: the others keep the previous frame's values (zero at start).
extern std::array<PlaneVertex, kPlaneGridVertices> planeGrid;

// The 320-byte-wide picture drawGridMapped writes: rows 0..207 and the byte after row 207, so it
// must have at least 208 * 320 + 1 bytes. Set to core::buffers.sourcePage by planeSetup.
extern std::uint8_t* planeTarget;

// Camera angles (radians) and forward offset; all zero after set-up, then each frame sets them
// from the scene clock for the frame after.
extern double planeAngleA;
extern double planeAngleB;
extern double planeAngleC;
extern double planeScroll;

// One-time set-up, run by the preparation right after the work buffers are allocated.
void planeSetup();
// Traces the grid for the current camera, advances the camera from sceneTime, and draws the
// whole of planeTarget.
void planeFrame();

}  // namespace effects
