#pragma once
// Fixed-point rotation and perspective projection of a mesh's vertices (16.16, 65536 = 1.0).
#include <array>
#include <cstdint>

#include "vector/meshes.h"

namespace vector {

// sineTable[i] = trunc(sin(i / 651.8986) * 65536): 4096 entries per turn, 1.25 turns long so
// the cosine, entry i + 1024, never runs off the end. Peaks are +-65535, not 65536.
inline constexpr std::size_t kSineEntries = 5120;
void buildSineTable();

// wobbleTable[i] = trunc(sin(i / 10) * 4 * 65536): +-4 model units of jitter for the tube.
inline constexpr std::int32_t kWobbleEntries = 1000;
// A constant table: the tube scenes build it once, at their set-up.
void buildWobbleTable();

// An angle is a byte offset into sineTable: four per entry, 16384 per turn.
inline constexpr std::uint32_t kFullTurn = 16384;
// 16384 and above (a negative angle read as unsigned included) start over at 0.
constexpr std::uint32_t resetAngle(std::uint32_t angle) {
    return angle >= kFullTurn ? 0 : angle;
}

// 16.16 product: the 64-bit product shifted right arithmetically by 16, low 32 bits kept.
constexpr std::int32_t mul(std::int32_t p, std::int32_t q) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(p) * q) >> 16);
}

struct Rotation {
    std::int32_t sinX, cosX, sinY, cosY, sinZ, cosZ;
};
// Looks the three angles up in sineTable (angles below one turn).
Rotation rotationFor(std::uint32_t angleX, std::uint32_t angleY, std::uint32_t angleZ);

struct ScreenPoint {
    std::int32_t x;
    std::int32_t y;
};
struct ViewPoint {
    std::int32_t x;
    std::int32_t y;
    std::int32_t z;  // larger is nearer the viewer
};

// The tables and the last transformed mesh are in vector::state (vector/state.h).

// 800.0 in 16.16: the eye's distance from the model origin.
inline constexpr std::int32_t kBaseViewDistance = 800 * 65536;

// Rotates (about x, then y, then z) and projects every vertex in index order. With a wobble
// index, each of the six coordinate loads per vertex adds the next wobbleTable entry and
// advances the index (wrapping at 1000); without one the loads are plain.
void transformVertices(const Mesh& mesh, const Rotation& rotation, std::int32_t viewDistance,
                       std::int32_t* wobbleIndex);

}  // namespace vector
