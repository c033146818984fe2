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

// Everything the effect keeps between calls. Main thread only.
struct Plane {
    // 256x256 texels (row = high byte of the index), then the shade table: entry
    // texel * 256 + light is the colour drawn for that texel at that light level (0 darkest).
    // The mapper forms both look-ups by replacing the low 16 bits of one block address, so the
    // block starts on a 65536-byte boundary. The scene fills both before showing the plane.
    alignas(65536) std::array<std::uint8_t, 131072> tables{};
    std::uint8_t* texture() { return tables.data(); }
    std::uint8_t* shade() { return tables.data() + 65536; }

    // The grid, row after row. A frame rewrites every light value, but u and v only where the
    // ray meets a plane within range: the others keep the previous frame's values (zero at
    // start).
    std::array<PlaneVertex, kPlaneGridVertices> grid{};

    // Camera angles (radians) and forward offset; all zero after set-up, then each frame sets
    // them from the scene clock for the frame after.
    double angleA = 0.0;
    double angleB = 0.0;
    double angleC = 0.0;
    double scroll = 0.0;
};
extern Plane plane;

// One-time set-up, run by the preparation right after the work buffers are allocated.
void planeSetup();
// Traces the grid for the current camera, advances the camera from sceneTime, and draws the
// whole of target, 320 bytes a row: rows 0..207 and the byte after row 207, so it must have at
// least 208 * 320 + 1 bytes.
void planeFrame(std::uint8_t* target);

}  // namespace effects
