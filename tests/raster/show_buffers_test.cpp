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
        ownsBuffers_ = core::sourcePage == nullptr;
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
        sourcePage[128000 + i - 4341] = static_cast<std::uint8_t>(i);
    }
    core::sway = -1.5f;
    raster::fillAngleTwist();
    raster::polarRemap(sourcePage + core::kLandscapeInSourcePage, mixPage + 64000);
    EXPECT_EQ(mixPage[64000 + 100 * 320 + 160], sourcePage[128000 + 100 * 320 + 160]);

    raster::gradientWarp(layerPage, warpHeights, grainPage);

    core::warpWave.fill(0);
    raster::waveWarp(sourcePage + core::kLandscapeInSourcePage, mixPage);
    core::warpWave.fill(0);
    EXPECT_EQ(mixPage[10 * 320 + 10], 200);
}

TEST_F(ShowBuffersTest, StripsWindowsAndGrainOnTheSceneBuffers) {
    using namespace core;
    raster::fadeEdges(grainPage);
    raster::state.bandOffset = 698;
    raster::addBand(grainPage + core::kBandRowsAt);
    for (int call = 0; call < 1001; ++call) {
        raster::scrollStrip(layerPage + 10 + (200 >> 1));
    }

    raster::buildWindowBend(141, 0.05f);
    for (std::int32_t offset : {0, 25600, 25600 - 320 * 200, 320 * 400 + 9600}) {
        raster::drawLeftWindow(crystalTexture.data(), layerPage, offset);
        raster::drawRightWindow(crystalTexture.data(), layerPage);
    }

    raster::mapPolarPanned(crystalTexture.data(), mixPage, 2, -70 * 640 - 158);
    raster::mapPolarPanned(crystalTexture.data(), mixPage, 2, 70 * 640 + 158);
    raster::mapPolarShifted(crystalTexture.data(), grainPage, {.high = 0xC4, .low = 0x3B});

    raster::state.noiseOffset = 63583;
    raster::addNoise(openingPicture.data(), grainPage, 1);
    raster::addNoise(layerPage, layerPage, 2);
    EXPECT_EQ(raster::state.noiseOffset, 871u);
}

TEST_F(ShowBuffersTest, SpritesAndEngineServicesOnTheSceneBuffers) {
    using namespace core;
    display::buildScaleTable();
    for (std::int32_t z : {0, 100 * 65536, 500 * 65536 - 200 * 65536, 650 * 65535,
                           static_cast<std::int32_t>(0xFAC80000u)}) {
        display::drawZoomSprite(60, 125, smallLight.data(), grainPage, z);
        display::drawZoomSprite(260, 125, smallLight.data(), grainPage, z);
        display::drawZoomSprite(150, 50, largeFlare.data(), sourcePage, z);
    }
    display::blurBuffer(stormPicture.data());
    display::crossFade(flashBurst.data(), grainPage, grainPage, 175);
    display::captureThumbnail(mixPage);
    for (int offset : {0, 120, 240, 48000, 48240}) {
        display::stampThumbnail(mixPage + offset);
    }
    display::addBuffer(captionPressure.data(), mixPage + core::kPressureCaptionAt, 9600);
    display::brightenBuffer(mixPage, -5);
    display::darkenBuffer(sourcePage, 255);
    EXPECT_EQ(sourcePage[0], 0);
}

}  // namespace
