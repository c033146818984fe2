// Runs the raster routines on the work buffers and at the positions the scenes use, with the
// extreme offsets and depths they can reach, so the sanitizer build proves every access lands
// inside its allocation.
#include <gtest/gtest.h>

#include "core/buffers.h"
#include "core/show.h"
#include "display/engine.h"
#include "display/sprite.h"
#include "raster/grain.h"
#include "raster/mappers.h"
#include "raster/polar.h"
#include "raster/state.h"
#include "raster/strips.h"
#include "raster/warps.h"
#include "raster/windows.h"
#include "sequencer/preparation.h"

namespace {

class ShowBuffersTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Another suite of this program may already hold the buffers; share them then.
        ownsBuffers_ = core::buffers.sourcePage == nullptr;
        if (ownsBuffers_) {
            sequencer::prepareWorkBuffers();
        }
        raster::buildPolarTable();
        raster::buildWindowMap();
        raster::buildPolarMaps();
    }
    static void TearDownTestSuite() {
        if (ownsBuffers_) {
            core::releaseWorkBuffers();
        }
    }
    static inline bool ownsBuffers_ = false;
};

TEST_F(ShowBuffersTest, WarpsOnTheSceneBuffers) {
    using namespace core;
    for (int i = 0; i < 65536; ++i) {
        buffers.sourcePage[128000 + i - 4341] = static_cast<std::uint8_t>(i);
    }
    core::motion.sway = -1.5f;
    raster::fillAngleTwist();
    raster::polarRemap(buffers.sourcePage + core::kLandscapeInSourcePage, buffers.mixPage + 64000);
    EXPECT_EQ(buffers.mixPage[64000 + 100 * 320 + 160],
              buffers.sourcePage[128000 + 100 * 320 + 160]);

    raster::gradientWarp(buffers.layerPage, buffers.warpHeights, buffers.grainPage);

    core::motion.warpWave.fill(0);
    raster::waveWarp(buffers.sourcePage + core::kLandscapeInSourcePage, buffers.mixPage);
    core::motion.warpWave.fill(0);
    EXPECT_EQ(buffers.mixPage[10 * 320 + 10], 200);
}

TEST_F(ShowBuffersTest, StripsWindowsAndGrainOnTheSceneBuffers) {
    using namespace core;
    raster::fadeEdges(buffers.grainPage);
    raster::state.bandOffset = 698;
    raster::addBand(buffers.grainPage + core::kBandRowsAt);
    for (int call = 0; call < 1001; ++call) {
        raster::scrollStrip(buffers.layerPage + 10 + (200 >> 1));
    }

    raster::buildWindowBend(141, 0.05f);
    for (std::int32_t offset : {0, 25600, 25600 - 320 * 200, 320 * 400 + 9600}) {
        raster::drawLeftWindow(buffers.crystalTexture.data(), buffers.layerPage, offset);
        raster::drawRightWindow(buffers.crystalTexture.data(), buffers.layerPage);
    }

    raster::mapPolarPanned(buffers.crystalTexture.data(), buffers.mixPage, 2, -70 * 640 - 158);
    raster::mapPolarPanned(buffers.crystalTexture.data(), buffers.mixPage, 2, 70 * 640 + 158);
    raster::mapPolarShifted(buffers.crystalTexture.data(), buffers.grainPage,
                            {.high = 0xC4, .low = 0x3B});

    raster::state.noiseOffset = 63583;
    raster::addNoise(buffers.openingPicture.data(), buffers.grainPage, 1);
    raster::addNoise(buffers.layerPage, buffers.layerPage, 2);
    EXPECT_EQ(raster::state.noiseOffset, 871u);
}

TEST_F(ShowBuffersTest, SpritesAndEngineServicesOnTheSceneBuffers) {
    using namespace core;
    display::buildScaleTable();
    for (std::int32_t z : {0, 100 * 65536, 500 * 65536 - 200 * 65536, 650 * 65535,
                           static_cast<std::int32_t>(0xFAC80000u)}) {
        display::drawZoomSprite(60, 125, buffers.smallLight.data(), buffers.grainPage, z);
        display::drawZoomSprite(260, 125, buffers.smallLight.data(), buffers.grainPage, z);
        display::drawZoomSprite(150, 50, buffers.largeFlare.data(), buffers.sourcePage, z);
    }
    display::blurBuffer(buffers.stormPicture.data());
    display::crossFade(buffers.flashBurst.data(), buffers.grainPage, buffers.grainPage, 175);
    display::captureThumbnail(buffers.mixPage);
    for (int offset : {0, 120, 240, 48000, 48240}) {
        display::stampThumbnail(buffers.mixPage + offset);
    }
    display::addBuffer(buffers.captionPressure.data(), buffers.mixPage + core::kPressureCaptionAt,
                       9600);
    display::brightenBuffer(buffers.mixPage, -5);
    display::darkenBuffer(buffers.sourcePage, 255);
    EXPECT_EQ(buffers.sourcePage[0], 0);
}

}  // namespace
