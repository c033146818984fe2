#include "effects/plane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/buffers.h"
#include "core/show.h"
#include "display/engine.h"
#include "display/state.h"
#include "sequencer/preparation.h"

namespace {

using effects::PlaneVertex;

std::uint32_t fnv1a(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < count; ++i) {
        hash = (hash ^ bytes[i]) * 16777619u;
    }
    return hash;
}

const PlaneVertex& vertexAt(int row, int column) {
    return effects::plane.grid[row * 41 + column];
}

// The plane on the show's own buffers: drawn into sourcePage, the shade table is scaleTable.
struct PlaneFixture : ::testing::Test {
    void SetUp() override {
        sequencer::prepareWorkBuffers();  // runs planeSetup, as at start-up
        for (int row = 0; row < 256; ++row) {
            for (int column = 0; column < 256; ++column) {
                effects::plane.texture()[row * 256 + column] =
                    static_cast<std::uint8_t>(row * 3 + column * 5 + ((row * column) >> 4));
            }
        }
        display::buildScaleTable();
        std::memcpy(effects::plane.shade(), display::state.scaleTable.data(), 65536);
    }
    void TearDown() override {
        core::releaseWorkBuffers();
        core::motion.sceneTime = 0.0f;
    }
};

TEST_F(PlaneFixture, SetupPlacesTablesAndTarget) {
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(effects::plane.texture()) % 65536, 0u);
    EXPECT_EQ(effects::plane.shade(), effects::plane.texture() + 65536);
    EXPECT_EQ(effects::plane.scroll, 0.0);
}

TEST_F(PlaneFixture, ZeroAnglesSplitCeilingAndFloorWithAFadedBandBetween) {
    // Stale values that the rays beyond the cut-off must leave alone.
    effects::plane.grid.fill(PlaneVertex{111, 222, 333});
    core::motion.sceneTime = 7.25f;
    effects::planeFrame(core::buffers.sourcePage);

    // Top row centre looks up at the ceiling at t = 12; bottom-right corner down at the floor.
    EXPECT_EQ(vertexAt(0, 20).u, 0);
    EXPECT_EQ(vertexAt(0, 20).v, 12288);
    EXPECT_EQ(vertexAt(0, 20).light, -12000);
    EXPECT_EQ((vertexAt(0, 20).light >> 8) & 255, 209);
    EXPECT_EQ(vertexAt(25, 40).u, 8688);
    EXPECT_EQ(vertexAt(25, 40).v, 12288);
    EXPECT_EQ(vertexAt(0, 0).u, -vertexAt(25, 40).u);  // mirror image across the horizon

    // Rows 11..14 look past 65.4 units: light 255 (level 0), u and v untouched.
    for (int row = 0; row < 26; ++row) {
        const bool faded = row >= 11 && row <= 14;
        for (int column = 0; column < 41; ++column) {
            const PlaneVertex& vertex = vertexAt(row, column);
            if (faded) {
                EXPECT_EQ(vertex.light, 255);
                EXPECT_EQ(vertex.u, 111);
                EXPECT_EQ(vertex.v, 222);
            } else {
                EXPECT_LT(vertex.light, -6000) << row;
            }
        }
    }

    // The frame leaves the camera set for the next one.
    EXPECT_EQ(effects::plane.angleA, std::sin(7.25 / 12.0));
    EXPECT_EQ(effects::plane.angleB, std::sin(7.25 / 13.0));
    EXPECT_EQ(effects::plane.angleC, std::cos(7.25 / 10.0));
    EXPECT_EQ(effects::plane.scroll, 18850.0);
}

TEST_F(PlaneFixture, GoldenFramesOnWork400) {
    core::motion.sceneTime = 7.25f;
    effects::planeFrame(core::buffers.sourcePage);
    EXPECT_EQ(fnv1a(core::buffers.sourcePage, 208 * 320 + 1), 0x3c1dbbf0u);
    core::motion.sceneTime = 7.5f;
    effects::planeFrame(
        core::buffers.sourcePage);  // turned camera; some stale u and v from the first frame
    EXPECT_EQ(vertexAt(0, 0).u, -2399);
    EXPECT_EQ(vertexAt(0, 0).v, 17950);
    EXPECT_EQ(vertexAt(0, 0).light, -4914);
    EXPECT_EQ(vertexAt(18, 33).v, 30417);
    EXPECT_EQ(fnv1a(core::buffers.sourcePage, 208 * 320 + 1), 0xacd4740au);
    EXPECT_EQ(core::buffers.sourcePage[100 * 320 + 160], 40);
    EXPECT_EQ(core::buffers.sourcePage[208 * 320], 144);
    EXPECT_EQ(core::buffers.sourcePage[208 * 320 + 1], 0);
}

TEST_F(PlaneFixture, HugeForwardOffsetWrapsModulo32Bits) {
    effects::plane.scroll = 1e12;
    effects::planeFrame(core::buffers.sourcePage);
    // trunc(12288 + 1e12) modulo 2^32, as a signed value; the texture row still repeats.
    EXPECT_EQ(vertexAt(0, 20).v, -727367680);
}

}  // namespace
