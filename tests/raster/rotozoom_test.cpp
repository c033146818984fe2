#include "raster/rotozoom.h"
#include "raster/state.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/buffers.h"
#include "sequencer/preparation.h"

namespace {

constexpr int kWidth = 320;

class RotozoomTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sequencer::prepareWorkBuffers();
        raster::initZoomLayers();
    }
    void TearDown() override { core::releaseWorkBuffers(); }

    static void allLayers(std::uint8_t angle, std::uint16_t zoom) {
        for (raster::ZoomLayer& layer : raster::state.zoomLayers) {
            layer = {angle, zoom};
        }
    }
    // An asymmetric texture without zeros: a swap of u and v or a flip changes the picture.
    static std::uint8_t texel(int column, int row) {
        return static_cast<std::uint8_t>(1 + ((column * 3 + row * 7) & 127));
    }
    static void fillTexture() {
        for (int row = 0; row < 256; ++row) {
            for (int column = 0; column < 256; ++column) {
                core::buffers.sourcePage[row * 256 + column] = texel(column, row);
            }
        }
    }
    // Each 2x2 block holds the sum of the five layers' shares of one texel.
    static void expectBlocks(int (*column)(int c, int r), int (*row)(int c, int r)) {
        for (int r = 0; r < 100; ++r) {
            for (int c = 0; c < 160; ++c) {
                const int t = texel(column(c, r), row(c, r));
                const int sum = (t >> 5) + (t >> 4) + (t >> 3) + (t >> 2) + (t >> 1);
                for (int offset : {0, 1, kWidth, kWidth + 1}) {
                    ASSERT_EQ(core::buffers.layerPage[2 * r * kWidth + 2 * c + offset], sum)
                        << c << "," << r;
                }
            }
        }
    }
};

TEST(RotozoomTables, TellingEntriesRoundToNearest) {
    using raster::colStepU, raster::colStepV, raster::rowStepU, raster::rowStepV;
    EXPECT_EQ((std::array{colStepU[0], colStepV[0], rowStepU[0], rowStepV[0]}),
              (std::array<std::int16_t, 4>{256, 0, 0, 307}));
    EXPECT_EQ((std::array{colStepU[32], colStepV[32], rowStepU[32], rowStepV[32]}),
              (std::array<std::int16_t, 4>{181, 181, -217, 217}));
    EXPECT_EQ((std::array{colStepU[64], colStepV[64], rowStepU[64], rowStepV[64]}),
              (std::array<std::int16_t, 4>{0, 256, -307, 0}));
}

TEST_F(RotozoomTest, TenFramesAdvanceThenHandOver) {
    raster::drawZoomLayers(core::buffers.sourcePage, core::buffers.layerPage);
    EXPECT_EQ(raster::state.zoomLayers[0].angle, 2);
    EXPECT_EQ(raster::state.zoomLayers[4].zoom, 90);
    EXPECT_EQ(raster::state.zoomCountdown, 9);
    for (int frame = 2; frame <= 10; ++frame) {
        raster::drawZoomLayers(core::buffers.sourcePage, core::buffers.layerPage);
    }
    const std::array<int, 5> angles{36, 20, 52, 84, 116};
    const std::array<int, 5> zooms{500, 400, 300, 200, 100};
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(raster::state.zoomLayers[k].angle, angles[k]);
        EXPECT_EQ(raster::state.zoomLayers[k].zoom, zooms[k]);
    }
    EXPECT_EQ(raster::state.zoomCountdown, 10);
}

TEST_F(RotozoomTest, ZeroTextureAddsNothingAndFullTextureSaturates) {
    std::memset(core::buffers.layerPage, 77, 64000);
    raster::drawZoomLayers(core::buffers.sourcePage, core::buffers.layerPage);
    for (int i = 0; i < 64000; ++i) {
        ASSERT_EQ(core::buffers.layerPage[i], 77);
    }
    // 255 adds 7, 15, 31, 63 and 127 from layers 0 to 4.
    std::memset(core::buffers.sourcePage, 255, 65536);
    std::memset(core::buffers.layerPage, 0, 64000);
    raster::drawZoomLayers(core::buffers.sourcePage, core::buffers.layerPage);
    EXPECT_EQ(core::buffers.layerPage[0], 243);
    EXPECT_EQ(core::buffers.layerPage[63999], 243);
    std::memset(core::buffers.layerPage, 13, 64000);
    raster::drawZoomLayers(core::buffers.sourcePage, core::buffers.layerPage);
    EXPECT_EQ(core::buffers.layerPage[31999], 255);
    EXPECT_EQ(core::buffers.layerPage[64000], 0);  // nothing below the picture
}

TEST_F(RotozoomTest, UnrotatedLayerStepsOneTexelAcrossAndAFifthMoreDown) {
    fillTexture();
    allLayers(0, 256);  // du = 256, dv = 0, ru = 0, rv = 307
    raster::drawZoomLayers(core::buffers.sourcePage, core::buffers.layerPage);
    expectBlocks([](int c, int) { return 49 + c; },
                 [](int, int r) { return (0x8000 - 50 * 307 + r * 307) >> 8; });
}

TEST_F(RotozoomTest, QuarterTurnStartsTwentyFiveRowStepsUpInU) {
    fillTexture();
    allLayers(64, 256);  // du = 0, dv = 256, ru = -307, rv = 0
    raster::drawZoomLayers(core::buffers.sourcePage, core::buffers.layerPage);
    expectBlocks([](int, int r) { return ((0x8000 + 25 * 307 - r * 307) & 0xFFFF) >> 8; },
                 [](int c, int) { return 49 + c; });
}

TEST_F(RotozoomTest, GoldenFrames) {
    fillTexture();
    for (int frame = 0; frame < 13; ++frame) {
        std::memset(core::buffers.layerPage, 0, 64000);
        raster::drawZoomLayers(core::buffers.sourcePage, core::buffers.layerPage);
    }
    std::uint32_t hash = 2166136261u;
    for (int i = 0; i < 64000; ++i) {
        hash = (hash ^ core::buffers.layerPage[i]) * 16777619u;
    }
    EXPECT_EQ(hash, 1271675825u);  // matches an independent model across a hand-over
}

}  // namespace
