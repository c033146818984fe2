#pragma once
// The marching-cubes metaballs: three soft balls on Lissajous-like paths whose common surface is
// found on a coarse grid and drawn as an additive wire frame. The trace starts at one surface
// cube per ball and follows the surface from cube to neighbouring cube, so the cost grows with
// the surface, not the volume.
#include <array>
#include <cstdint>

#include "raster/lines.h"

namespace effects {

struct MetaBall {
    float x;
    float y;
    float z;
    float strength;
};

struct MetaPoint {
    float x;
    float y;
    float z;
};

// Grid corners 0..23 per axis at world position 3 * (index - 12); cubes 0..22 per axis.
inline constexpr int kMetaCorners = 24;
inline constexpr int kMetaCubes = kMetaCorners - 1;
inline constexpr float kMetaIsoLevel = 10.0f;

// The standard marching-cubes tables for this corner and edge numbering: per cube index the
// crossed edges (12-bit mask), and up to five triangles as edge numbers ended by -1.
extern const std::array<std::uint16_t, 256> metaEdgeTable;
extern const std::array<std::array<std::int8_t, 16>, 256> metaTriangleTable;

// How the wire frame reaches the picture: raster::addLine, or a recorder in tests.
using MetaLineDrawer = void (*)(std::uint8_t* target, std::int32_t x1, std::int32_t y1,
                                std::int32_t x2, std::int32_t y2);

// Everything the effect keeps between calls. Main thread only.
struct Metaballs {
    std::array<MetaBall, 3> balls{};
    // Motion clocks in degrees, carried over between frames and scenes.
    float clock1 = 0.0f;
    float clock2 = 20.0f;
    // Per-frame caches: the field at each corner (0 = not yet computed), and a mark per cube
    // examined this frame. Indexed [(a * size + b) * size + c].
    std::array<float, kMetaCorners * kMetaCorners * kMetaCorners> field{};
    std::array<std::uint8_t, kMetaCubes * kMetaCubes * kMetaCubes> visited{};
    // The triangles of the cube last polygonised: up to five, three corners each.
    std::array<MetaPoint, 15> triangles{};
    MetaLineDrawer lineDrawer = raster::addLine;
};
extern Metaballs metaballs;

// How fast the balls move: the montage moves them at a fifth of the normal pace.
enum class MetaPace : std::uint8_t { normal, slow };

// One-time set-up, run by the preparation right after the work buffers are allocated.
void metaSetup();
// Places the balls from the clocks, advances the clocks from sceneTime and draws the surface's
// triangle edges into target (320 x 200, additive).
void metaFrame(std::uint8_t* target, MetaPace pace);

// The steps of a frame, callable on their own.
void placeMetaBalls();
void clearMetaCaches();
// Clears the caches, then seeds a trace for each ball in turn: up the c axis from the ball's
// centre to the first cube the surface crosses, traced if it lies below layer 22.
void traceMetaSurface(std::uint8_t* target);
// Field at grid corner (a, b, c), cached for the frame.
float fieldAt(int a, int b, int c);
// Marks cube (a, b, c) examined and returns its index: bit k set when corner k lies outside
// (field below the iso level); 0 when no surface crosses it (0 or 255) or it is out of range.
int cubeIndex(int a, int b, int c);
// Fills metaTriangles for cube (a, b, c) with index; returns the number of triangles.
int polygoniseCube(int a, int b, int c, int index);
// Polygonises cube (a, b, c) with index, projects the triangles and draws edges 0-1, 2-1 and
// 2-0 of each through metaballs.lineDrawer.
void drawMetaCube(std::uint8_t* target, int a, int b, int c, int index);
// Draws cube (a, b, c) with index and walks the surface depth first through its unexamined
// neighbours, on an explicit stack in the order a recursive walk would take.
void traceCube(std::uint8_t* target, int a, int b, int c, int index);

}  // namespace effects
