#pragma once
// The voxel landscape: a flight low over an endless, wrapping 256x256 height map grown by
// random midpoint displacement, drawn column by column from near to far with a per-column
// horizon, its colours ramped between successive depth slices.
#include <array>
#include <cstddef>
#include <cstdint>

namespace effects {

// Height and brightness maps, index = row * 256 + column; both coordinates wrap.
extern std::array<std::uint8_t, 65536> terrainHeight;
extern std::array<std::uint8_t, 65536> terrainShade;

// The landscape's 320x200 picture. The polar remap reads up to 4341 bytes before it and 4659
// after it, so it sits inside zeroed margins at least that large that nothing ever writes.
inline constexpr std::size_t kVoxelMarginBefore = 4352;
inline constexpr std::size_t kVoxelMarginAfter = 4672;
extern std::uint8_t* const voxelFrameBuffer;

// Per-column state of the frame being drawn: the highest row drawn so far, and the previous
// slice's shade (16.16), -1 before the first slice.
extern std::array<std::int32_t, 320> voxelTop;
extern std::array<std::int32_t, 320> voxelLastShade;

// Camera: map position in 16.16 (integer part the cell, bits 8..15 the fraction), speed, and
// view direction in radians (0 looks along increasing x).
extern std::int32_t voxelPosX;
extern std::int32_t voxelPosY;
extern float voxelSpeed;
extern float voxelAngle;
// Set by the scene: 1 starts every frame from a copy of the sky picture (skyPicture).
extern std::uint8_t voxelSky;

// Grows the height map from the shared random generator (three numbers per cell step), smooths
// it and shades it by slope.
void buildTerrain();
// The bilinear sample of a 256x256 map at a 16.16 point, as a 16.16 value.
std::int32_t sampleTerrain(const std::uint8_t* map, std::int32_t x, std::int32_t y);
// buildTerrain, then the start camera.
void voxelSetup();
// Moves the camera by the scene clock s and draws the landscape into voxelFrameBuffer.
void voxelFrame(float s);
// Draws the landscape seen from (x, y) in direction angle into voxelFrameBuffer.
void renderVoxels(std::int32_t x, std::int32_t y, float angle);

}  // namespace effects
