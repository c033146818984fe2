#pragma once
// The voxel landscape: a flight low over an endless, wrapping 256x256 height map grown by
// random midpoint displacement, drawn column by column from near to far with a per-column
// horizon, its colours ramped between successive depth slices.
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/picture.h"

namespace effects {

// The landscape's 320x200 picture. The polar remap reads up to 4341 bytes before it and 4659
// after it, so it sits inside zeroed margins at least that large that nothing ever writes.
inline constexpr std::size_t kVoxelMarginBefore = 4352;
inline constexpr std::size_t kVoxelMarginAfter = 4672;

// Everything the effect keeps between calls. Main thread only.
struct Voxel {
    // Height and brightness maps, index = row * 256 + column; both coordinates wrap.
    std::array<std::uint8_t, 65536> terrainHeight{};
    std::array<std::uint8_t, 65536> terrainShade{};

    // The picture between its margins.
    std::array<std::uint8_t, kVoxelMarginBefore> frameMarginBefore{};
    std::array<std::uint8_t, core::kPictureBytes> frame{};
    std::array<std::uint8_t, kVoxelMarginAfter> frameMarginAfter{};

    // Per-column state of the frame being drawn: the highest row drawn so far, and the previous
    // slice's shade (16.16), -1 before the first slice.
    std::array<std::int32_t, core::kPictureWidth> top{};
    std::array<std::int32_t, core::kPictureWidth> lastShade{};

    // Camera: map position in 16.16 (integer part the cell, bits 8..15 the fraction), speed,
    // and view direction in radians (0 looks along increasing x).
    std::int32_t posX = 0;
    std::int32_t posY = 0;
    float speed = 0.0f;
    float angle = 0.0f;
};
static_assert(offsetof(Voxel, frame) == offsetof(Voxel, frameMarginBefore) + kVoxelMarginBefore &&
                  offsetof(Voxel, frameMarginAfter) == offsetof(Voxel, frame) + core::kPictureBytes,
              "the picture's margins must touch it");
extern Voxel voxel;

// What each frame starts from: a copy of the sky picture, or the picture as the caller left it.
enum class VoxelBackdrop : std::uint8_t { sky, asLeft };

// Grows the height map from the shared random generator (three numbers per cell step), smooths
// it and shades it by slope.
void buildTerrain();
// The bilinear sample of a 256x256 map at a 16.16 point, as a 16.16 value.
std::int32_t sampleTerrain(const std::uint8_t* map, std::int32_t x, std::int32_t y);
// buildTerrain, then the start camera.
void voxelSetup();
// Moves the camera by the scene clock s and draws the landscape into voxel.frame over the
// backdrop.
void voxelFrame(float s, VoxelBackdrop backdrop);
// Draws the landscape seen from (x, y) in direction angle into voxel.frame over the backdrop.
void renderVoxels(std::int32_t x, std::int32_t y, float angle, VoxelBackdrop backdrop);

}  // namespace effects
