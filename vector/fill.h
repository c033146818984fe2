#pragma once
// Back-face culling, depth sorting, face lighting and the relief fill with corner glows: turns
// the transformed mesh into pixels of the destination picture, each face shading the source
// picture behind it by one light value.
#include <array>
#include <cstdint>

#include "core/picture.h"
#include "vector/meshes.h"

namespace vector {

// The faces kept by the cull, later reordered nearest first by the sort.
struct VisibleFaces {
    std::int32_t count;
    std::array<Face, kMaxVisibleFaces> faces;
};

struct Normal {
    std::int32_t nx;
    std::int32_t ny;
    std::int32_t nz;
};

// Where no edge walk wrote a row's x (vector::state.edgeTable).
inline constexpr std::int32_t kNoEdge = -32000;

// 9x9 corner glow, row by row; each byte is added shifted right by 3.
extern const std::array<std::uint8_t, 81> glowSprite;

// Keeps, in mesh order, the faces whose screen corners run clockwise (or are degenerate).
void cullFaces(const Mesh& mesh);
// Fills depthKeys and sorts keys and faces together, largest key first.
void sortFaces();
void computeNormals();
// Paints the visible faces farthest first into `destination`, each pixel taken from `source`
// through scaleTable at the face's light. Both pictures are 320x200.
void drawFaces(const std::uint8_t* source, std::uint8_t* destination);

// Walks the edge from (xa, ya) to (xb, yb) into one column of edgeTable, after stamping a glow
// at (xa, ya).
void drawEdge(std::int32_t xa, std::int32_t ya, std::int32_t xb, std::int32_t yb, int column,
              std::uint8_t* destination);
// Adds the glow sprite centred on (x, y) when 0 <= x <= 320 and 10 <= y <= 190. Positions are
// linear, so a glow at the left or right border runs on into the neighbouring row.
void stampGlow(std::int32_t x, std::int32_t y, std::uint8_t* destination);
// 0..255: the share of the normal pointing at the viewer, from -nz / |n|.
std::int32_t faceLight(const Normal& normal);

}  // namespace vector
