#pragma once
// Everything the vector renderer keeps between calls, in one object: the sine and wobble
// tables, the last transformed mesh, the faces of the frame being drawn and the two posed
// objects. Main thread only; zero at program start.
#include <array>
#include <cstdint>

#include "vector/fill.h"
#include "vector/renderer.h"
#include "vector/transform.h"

namespace vector {

struct State {
    // sineTable[i] = trunc(sin(i / 651.8986) * 65536): 4096 entries per turn, 1.25 turns long
    // so the cosine, entry i + 1024, never runs off the end. Peaks are +-65535, not 65536.
    std::array<std::int32_t, kSineEntries> sineTable{};
    // wobbleTable[i] = trunc(sin(i / 10) * 4 * 65536): +-4 model units of jitter for the tube.
    std::array<std::int32_t, kWobbleEntries> wobbleTable{};

    // Per vertex of the last transformed mesh: screen pixel and rotated integer position.
    std::array<ScreenPoint, kMaxVertices> projectedVertices{};
    std::array<ViewPoint, kMaxVertices> rotatedVertices{};

    // The faces kept by the cull, later reordered nearest first by the sort.
    VisibleFaces visibleFaces{};
    // Per visible face: the sum of its corners' rotated z (larger is nearer).
    std::array<std::int32_t, kMaxVisibleFaces + 1> depthKeys{};
    // Per visible face, in view space: (P1 - P0) x (P0 - P2); nz < 0 faces the viewer.
    std::array<Normal, kMaxVisibleFaces> faceNormals{};
    // Per screen row, the x of the edge walk in column 0 and column 1; kNoEdge where none
    // wrote.
    std::array<std::array<std::int32_t, 2>, core::kPictureHeight> edgeTable{};

    VectorRendererA vectorA{};  // the mask
    VectorRendererB vectorB{};  // the tube
};

extern State state;

}  // namespace vector
