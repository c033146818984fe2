#include "raster/plasma.h"
#include "raster/state.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/buffers.h"
#include "sequencer/preparation.h"

namespace {

constexpr int kWidth = 320;
constexpr std::uint8_t kUntouched = 3;

class PlasmaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sequencer::prepareWorkBuffers();
        raster::state.plasmaWave = raster::plasmaWaveStart;
        std::memset(core::buffers.layerPage, kUntouched, core::kScenePageBytes);
    }
    void TearDown() override { core::releaseWorkBuffers(); }

    int dimming(int row) const { return ((160 * (255 - row)) >> 8) + centre_.x; }
    void zoom(std::uint8_t* destination) {
        raster::plasmaZoom(core::buffers.sourcePage, destination,
                           fromWave_ ? raster::plasmaMapFromWave() : raster::state.plasmaMap.data(),
                           centre_);
    }
    raster::ZoomCentre centre_{.x = 13, .y = 7};
    bool fromWave_ = false;

    static std::uint8_t window(int column, int row) {
        return core::buffers.layerPage[row * kWidth + 32 + column];
    }
};

TEST_F(PlasmaTest, ZoomZeroSamplesTheShiftedCentreDimmedByRow) {
    raster::state.plasmaMap.fill(0);
    core::buffers.sourcePage[(99 + 7) * kWidth + 159 + 13] = 250;
    zoom(core::buffers.layerPage);
    EXPECT_EQ(window(1, 1), 250 - dimming(1));
    EXPECT_EQ(window(200, 198), 250 - dimming(198));
    EXPECT_EQ(window(254, 100), 250 - dimming(100));
    // A darker source point than the row's dimming gives 0.
    core::buffers.sourcePage[(99 + 7) * kWidth + 159 + 13] = 100;
    zoom(core::buffers.layerPage);
    EXPECT_EQ(window(5, 1), 0);
    EXPECT_EQ(window(5, 198), 100 - dimming(198));
}

TEST_F(PlasmaTest, ZoomFullIgnoresTheCentre) {
    raster::state.plasmaMap.fill(255);
    for (int i = 0; i < 256 * kWidth; ++i) {
        core::buffers.sourcePage[i] =
            static_cast<std::uint8_t>(200 + (i % kWidth) % 37 + (i / kWidth) % 19);
    }
    zoom(core::buffers.layerPage);
    for (int r = 1; r < 199; ++r) {
        for (int c = 1; c < 255; ++c) {
            const int x = c == 0 ? 0 : c - 1;  // (255 c) >> 8
            const int y = r == 0 ? 0 : r - 1;
            const int expected = std::max(0, core::buffers.sourcePage[y * kWidth + x] - dimming(r));
            ASSERT_EQ(window(c, r), expected) << c << "," << r;
        }
    }
}

TEST_F(PlasmaTest, ReadsReachTheSourcesLastRowAndColumn) {
    raster::state.plasmaMap.fill(0);
    centre_ = {.x = 96, .y = 156};  // zoom 0 samples (159 + 96, 99 + 156) = (255, 255)
    core::buffers.sourcePage[255 * kWidth + 255] = 240;
    zoom(core::buffers.layerPage + 20);
    EXPECT_EQ(core::buffers.layerPage[100 * kWidth + 20 + 32 + 9], 240 - dimming(100));
}

TEST_F(PlasmaTest, FrameInColour200AroundTheWindowOnly) {
    zoom(core::buffers.layerPage + 20);
    for (int r = 0; r < 200; ++r) {
        ASSERT_EQ(core::buffers.layerPage[r * kWidth + 52], 200);
        ASSERT_EQ(core::buffers.layerPage[r * kWidth + 307], 200);
        ASSERT_EQ(core::buffers.layerPage[r * kWidth + 51], kUntouched);
        ASSERT_EQ(core::buffers.layerPage[r * kWidth + 308], kUntouched);
    }
    for (int c = 52; c <= 307; ++c) {
        ASSERT_EQ(core::buffers.layerPage[c], 200);
        ASSERT_EQ(core::buffers.layerPage[199 * kWidth + c], 200);
        ASSERT_EQ(core::buffers.layerPage[200 * kWidth + c], kUntouched);
    }
}

TEST_F(PlasmaTest, WaveBuildsTheMapAndTurnsBackAfter255Calls) {
    fromWave_ = true;
    const auto wave = raster::state.plasmaWave;
    zoom(core::buffers.layerPage);
    for (int r = 0; r < 200; ++r) {
        for (int c = 0; c < 160; ++c) {
            const auto expected = static_cast<std::uint8_t>(wave[c] + wave[r]);
            ASSERT_EQ(raster::state.plasmaMap[r * kWidth + 2 * c], expected);
            ASSERT_EQ(raster::state.plasmaMap[r * kWidth + 2 * c + 1], expected);
        }
    }
    EXPECT_EQ(raster::state.plasmaWave[0], 50);  // the old last entry
    EXPECT_EQ(raster::state.plasmaWave[1], 54);
    for (int call = 2; call <= 255; ++call) {
        zoom(core::buffers.layerPage);
    }
    EXPECT_EQ(raster::state.plasmaWave, raster::plasmaWaveStart);
}

TEST_F(PlasmaTest, GoldenFrames) {
    for (int i = 0; i < 256 * kWidth; ++i) {
        core::buffers.sourcePage[i] = static_cast<std::uint8_t>(i * 31 + i / 977);
    }
    fromWave_ = true;
    centre_ = {.x = 255, .y = 255};
    std::uint32_t hash = 2166136261u;
    for (int frame = 0; frame < 3; ++frame) {
        zoom(core::buffers.layerPage + 20);
        for (int i = 0; i < 64000; ++i) {
            hash = (hash ^ core::buffers.layerPage[i]) * 16777619u;
        }
    }
    EXPECT_EQ(hash, 3904386741u);  // matches an independent model
}

}  // namespace
