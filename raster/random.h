#pragma once
// The program's one pseudo-random generator: state 1 at start, never reseeded. The grain
// table draws from it first, then the voxel terrain build.
#include <cstdint>

namespace raster {

// state = state * 1103515245 + 12345 (mod 2^32); returns bits 16..30 of the new state.
std::int32_t nextRandom();
// Test hook: puts the generator back to its start state.
void resetRandom();

}  // namespace raster
