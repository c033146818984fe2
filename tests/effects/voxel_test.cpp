#include "effects/voxel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/buffers.h"
#include "raster/grain.h"
#include "raster/random.h"

namespace {

using effects::voxel;

std::uint32_t fnv1a(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < count; ++i) {
        hash = (hash ^ bytes[i]) * 16777619u;
    }
    return hash;
}

int cell(int row, int column) {
    return (row & 255) * 256 + (column & 255);
}

// The sky picture: asymmetric, so untouched rows are recognisable.
void fillSky() {
    for (int i = 0; i < 64000; ++i) {
        core::buffers.skyPicture[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 5));
    }
}

// The program's order: the grain table draws 128000 numbers, then the terrain build.
void buildShowTerrain() {
    raster::resetRandom();
    raster::fillNoise();
    effects::voxelSetup();
}

TEST(VoxelTerrain, GrowsFromTheSharedGeneratorAfterTheGrainTable) {
    buildShowTerrain();
    EXPECT_EQ(fnv1a(voxel.terrainHeight.data(), 65536), 0x76a17520u);
    EXPECT_EQ(fnv1a(voxel.terrainShade.data(), 65536), 0x6bf6e9beu);
    EXPECT_EQ(voxel.terrainHeight[0], 123);
    EXPECT_EQ(voxel.terrainHeight[1], 125);
    EXPECT_EQ(voxel.terrainHeight[cell(37, 200)], 193);
    EXPECT_EQ(raster::nextRandom(), 18266);

    // Three draws per cell step over the eight passes: 3 * (1 + 4 + ... + 16384) = 65535.
    raster::resetRandom();
    effects::buildTerrain();
    const std::int32_t afterBuild = raster::nextRandom();
    raster::resetRandom();
    for (int i = 0; i < 65535; ++i) {
        raster::nextRandom();
    }
    EXPECT_EQ(raster::nextRandom(), afterBuild);
}

TEST(VoxelTerrain, BilinearSample) {
    std::vector<std::uint8_t> map(65536, 0);
    map[cell(5, 7)] = 10;
    map[cell(5, 8)] = 50;
    map[cell(6, 7)] = 100;
    map[cell(6, 8)] = 30;
    // fx = 0x40, fy = 0xC0: top 5120, bottom 21120, result 5120 * 256 + 16000 * 192.
    const std::int32_t x = (7 << 16) | (0x40 << 8) | 0x3F;  // bits 0..7 play no part
    const std::int32_t y = (5 << 16) | (0xC0 << 8);
    EXPECT_EQ(effects::sampleTerrain(map.data(), x, y), 4382720);
    // Only bits 8..23 select: whole laps of the map, and negative coordinates, land on the
    // same ground.
    EXPECT_EQ(effects::sampleTerrain(map.data(), x + (256 << 16), y - (512 << 16)), 4382720);
    // Column 255 interpolates toward column 0 of the same row.
    map[cell(5, 255)] = 200;
    map[cell(5, 0)] = 100;
    EXPECT_EQ(effects::sampleTerrain(map.data(), (255 << 16) | (0x80 << 8), 5 << 16),
              (200 * 256 - 100 * 128) * 256);
}

TEST(VoxelRender, FirstDrawnSpanClipsAt199AndRampsShade) {
    fillSky();
    // Flat ground of height 10 (eye level -28); shade rising 12 per map column.
    voxel.terrainHeight.fill(10);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            voxel.terrainShade[cell(y, x)] = static_cast<std::uint8_t>(x * 12);
        }
    }
    effects::renderVoxels(16 << 16, 128 << 16, 0.0f, effects::VoxelBackdrop::sky);
    // Column 160 looks straight along x. Slices 0..3 lie below the picture and only record their
    // shade; slice 4 reaches row 195, ramping from slice 3's shade 14251008 by 111206 per row,
    // one step already taken at the clip from row 200 to 199.
    const int column = 160;
    EXPECT_EQ(voxel.frame.data()[199 * 320 + column], 54);
    EXPECT_EQ(voxel.frame.data()[198 * 320 + column], 55);
    EXPECT_EQ(voxel.frame.data()[197 * 320 + column], 55);
    EXPECT_EQ(voxel.frame.data()[196 * 320 + column], 56);
    // The farthest slice tops out at row 103; above it the sky stays.
    EXPECT_EQ(effects::voxel.top[column], 103);
    EXPECT_EQ(voxel.frame.data()[103 * 320 + column], core::buffers.skyPicture[103 * 320 + column]);
    EXPECT_NE(voxel.frame.data()[104 * 320 + column], core::buffers.skyPicture[104 * 320 + column]);

    // Without the sky the frame keeps what it held above the ground.
    std::memset(voxel.frame.data(), 0xAB, 64000);
    effects::renderVoxels(16 << 16, 128 << 16, 0.0f, effects::VoxelBackdrop::asLeft);
    EXPECT_EQ(voxel.frame.data()[50 * 320 + column], 0xAB);
    EXPECT_EQ(voxel.frame.data()[196 * 320 + column], 56);
}

TEST(VoxelRender, PositionsWrapAfter256CellsAnd32Bits) {
    buildShowTerrain();
    std::memset(voxel.frame.data(), 0, 64000);
    effects::renderVoxels(0x01234567, 0x00ABCDEF, 0.0f, effects::VoxelBackdrop::asLeft);
    std::vector<std::uint8_t> first(voxel.frame.data(), voxel.frame.data() + 64000);
    std::memset(voxel.frame.data(), 0, 64000);
    effects::renderVoxels(0x01234567 + (256 << 16), 0x00ABCDEF + (1024 << 16), 0.0f,
                          effects::VoxelBackdrop::asLeft);
    EXPECT_EQ(std::vector<std::uint8_t>(voxel.frame.data(), voxel.frame.data() + 64000), first);

    // Flying past the 32-bit range wraps the position instead of overflowing.
    effects::voxel.posX = 2147483647 - 100000;
    effects::voxel.posY = -2147483647;
    effects::voxelFrame(0.0f,
                        effects::VoxelBackdrop::asLeft);  // x + 147456; y - 147456 * (0.2 + 0)
    EXPECT_EQ(effects::voxel.posX, static_cast<std::int32_t>(2147483647u - 100000u + 147456u));
    EXPECT_EQ(effects::voxel.posY, 2147454158);  // -2147513138.2 truncated, modulo 2^32
}

TEST(VoxelRender, GoldenFrameWithSkyAndZeroedMargins) {
    buildShowTerrain();
    fillSky();
    effects::voxelFrame(0.0f, effects::VoxelBackdrop::sky);
    effects::voxelFrame(3.25f, effects::VoxelBackdrop::sky);
    EXPECT_EQ(effects::voxel.posX, 294912);
    EXPECT_EQ(effects::voxel.posY, 2524583);
    EXPECT_EQ(fnv1a(voxel.frame.data(), 64000), 0xfad335c1u);
    EXPECT_EQ(voxel.frame.data()[199 * 320], 60);
    EXPECT_EQ(voxel.frame.data()[150 * 320 + 100], 12);
    EXPECT_EQ(voxel.frame.data()[60 * 320 + 300], 85);
    // Everything the polar remap may read around the picture: readable, and zero.
    for (int offset = -4341; offset < 0; ++offset) {
        ASSERT_EQ(voxel.frame.data()[offset], 0) << offset;
    }
    for (int offset = 64000; offset <= 68658; ++offset) {
        ASSERT_EQ(voxel.frame.data()[offset], 0) << offset;
    }
}

}  // namespace
