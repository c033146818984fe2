// The scenes' own rules, driven through the scene list on the sequencer state: cue rows,
// thresholds, flags and the boundary frame that reads the next pattern's row 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/buffers.h"
#include "core/cues.h"
#include "display/engine.h"
#include "display/landscape.h"
#include "display/palette.h"
#include "display/present.h"
#include "display/sprite.h"
#include "display/state.h"
#include "effects/voxel.h"
#include "raster/blobs.h"
#include "raster/grain.h"
#include "raster/plasma.h"
#include "raster/polar.h"
#include "raster/state.h"
#include "raster/windows.h"
#include "sequencer/preparation.h"
#include "sequencer/scenes.h"
#include "sequencer/show.h"
#include "sequencer/state.h"

namespace {

int framesHanded = 0;
const std::uint8_t* lastHanded = nullptr;
void countFrame(const std::uint8_t* source) {
    ++framesHanded;
    lastHanded = source;
}

bool allEqual(const std::uint8_t* picture, std::uint32_t count, std::uint8_t value) {
    return std::all_of(picture, picture + count, [value](std::uint8_t v) { return v == value; });
}

std::uint32_t countNonZero(const std::uint8_t* picture) {
    return static_cast<std::uint32_t>(
        std::count_if(picture, picture + 64000, [](std::uint8_t v) { return v != 0; }));
}

// Pixels a sprite at whole-unit depth covers when centred on the picture.
std::uint32_t spriteArea(std::int32_t depth) {
    const display::SpriteSpan span = display::spriteSpan(160, 100, depth * 65536);
    if (!span.visible) {
        return 0;
    }
    return static_cast<std::uint32_t>((span.endColumn - span.firstColumn) *
                                      (span.endRow - span.firstRow));
}

class SceneRules : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        sequencer::prepareWorkBuffers();
        if (display::state.frameBuffer == nullptr) {
            ASSERT_TRUE(display::allocateScreenBuffers());
        }
        display::buildScaleTable();
        raster::buildPolarTable();
        raster::buildPolarMaps();
        raster::fillNoise();
        sequencer::buildSineTables();
    }
    void SetUp() override {
        display::setPutFrameObserver(&countFrame);
        framesHanded = 0;
        lastHanded = nullptr;
    }
    void TearDown() override { display::setPutFrameObserver(nullptr); }

    // Begins scene `number` (1-based) at `startOrder`.
    static const sequencer::Scene& begin(int number, std::int32_t startOrder) {
        const sequencer::Scene& scene =
            sequencer::sceneList()[static_cast<std::size_t>(number - 1)];
        sequencer::sceneState.sceneOrder = startOrder;
        sequencer::sceneState.musicOrder = startOrder;
        sequencer::sceneState.musicRow = 0;
        scene.setUp();
        return scene;
    }
    static void frameAt(const sequencer::Scene& scene, std::int32_t order, std::int32_t row) {
        sequencer::sceneState.musicOrder = order;
        sequencer::sceneState.musicRow = row;
        scene.frame();
    }
};

TEST_F(SceneRules, OpeningBoundaryFrameShowsThePictureNotBlack) {
    const auto& scene = begin(1, 0);
    frameAt(scene, 0, 0);
    EXPECT_GE(sequencer::sceneState.flashLevel,
              246);  // 256 - 0 plus a small wobble: the blank side wins
    frameAt(scene, 0, 5);
    frameAt(scene, 0, 0);  // still order 0, but the next pattern's row 0
    EXPECT_LE(sequencer::sceneState.flashLevel, 10);
}

TEST_F(SceneRules, ACueRowLastingSeveralFramesHoldsTheFlashAt175) {
    const auto& scene = begin(6, 5);
    for (int frame = 0; frame < 4; ++frame) {
        frameAt(scene, 5, 3);
        EXPECT_EQ(sequencer::sceneState.flashLevel, 175);
    }
    frameAt(scene, 5, 4);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 150);
    frameAt(scene, 5, 59);  // the tunnel's own extra accent
    EXPECT_EQ(sequencer::sceneState.flashLevel, 175);
}

TEST_F(SceneRules, EachThumbnailThresholdAddsExactlyItsOwnStamp) {
    for (std::size_t i = 0; i < core::buffers.crystalTexture.size(); ++i) {
        core::buffers.crystalTexture[i] = static_cast<std::uint8_t>(i * 13 + (i >> 8));
    }
    const auto& scene = begin(8, 9);
    auto pictureAt = [&](std::int32_t row) {
        raster::state.noiseOffset = 0;  // the same grain for both frames
        frameAt(scene, 9, row);
        return std::vector<std::uint8_t>(core::buffers.mixPage, core::buffers.mixPage + 64000);
    };
    struct Step {
        std::int32_t before, after;
        std::uint32_t offset;
    };
    for (Step step : {Step{2, 3, 48000}, Step{15, 16, 240}, Step{61, 62, 24120}}) {
        const auto before = pictureAt(step.before);
        const auto after = pictureAt(step.after);
        int changed = 0;
        for (std::uint32_t p = 0; p < 64000; ++p) {
            if (before[p] == after[p]) {
                continue;
            }
            ++changed;
            const std::uint32_t x = p % 320;
            const std::uint32_t y = p / 320;
            const std::uint32_t left = step.offset % 320;
            const std::uint32_t top = step.offset / 320;
            ASSERT_TRUE(x >= left && x < left + 80 && y >= top && y < top + 50)
                << "row " << step.after << " changed pixel " << x << "," << y;
        }
        EXPECT_GT(changed, 100) << "row " << step.after;
    }
}

TEST_F(SceneRules, PlasmaFlickerHandsNoFrameOverOnRow48) {
    begin(14, 21);
    const auto& flicker = begin(16, 23);
    framesHanded = 0;
    frameAt(flicker, 23, 47);
    EXPECT_EQ(framesHanded, 1);
    frameAt(flicker, 23, 48);
    EXPECT_EQ(framesHanded, 1);
}

TEST_F(SceneRules, MontageRow12TurnsThePaletteWhiteThenStepsItBack) {
    const auto& scene = begin(17, 24);
    std::fill(core::buffers.paletteB, core::buffers.paletteB + 768, 20);
    frameAt(scene, 24, 2);  // an ordinary row arms the flash
    frameAt(scene, 24, 12);
    EXPECT_EQ(core::buffers.paletteC[0], 63 - 5);
    frameAt(scene, 24, 12);
    EXPECT_EQ(core::buffers.paletteC[0], 63 - 10);
    frameAt(scene, 24, 41);  // only steps
    EXPECT_EQ(core::buffers.paletteC[0], 63 - 15);
}

TEST_F(SceneRules, EmblemSceneReflashesOnEachOfRows28To31) {
    const auto& scene = begin(18, 26);
    std::fill(core::buffers.paletteB, core::buffers.paletteB + 768, 0);
    for (int row = 28; row <= 31; ++row) {
        frameAt(scene, 26, row);
        EXPECT_EQ(core::buffers.paletteC[5], 63 - 5) << "row " << row;
        frameAt(scene, 26, row);  // the same row again only steps
        EXPECT_EQ(core::buffers.paletteC[5], 63 - 10) << "row " << row;
    }
}

TEST_F(SceneRules, ClosingSceneIsBlackFromRow32) {
    core::buffers.dialEmblem.fill(255);
    core::buffers.crestEmblem.fill(255);
    const auto& scene = begin(21, 31);
    frameAt(scene, 31, 31);  // darkened by 248: the emblems still glimmer
    EXPECT_TRUE(std::any_of(display::state.frameBuffer, display::state.frameBuffer + 64000,
                            [](std::uint8_t v) { return v != 0; }));
    frameAt(scene, 31, 32);
    EXPECT_TRUE(std::all_of(display::state.frameBuffer, display::state.frameBuffer + 64000,
                            [](std::uint8_t v) { return v == 0; }));
}

TEST_F(SceneRules, OpeningAdvancesItsOwnClockAndSwaysWithTheAdvancedTime) {
    const auto& scene = begin(1, 0);
    EXPECT_EQ(sequencer::sceneState.timeStep.load(), 0.0f);
    sequencer::motion.sceneTime.store(0.0f);
    frameAt(scene, 0, 1);
    EXPECT_FLOAT_EQ(sequencer::motion.sceneTime.load(), 0.2f);
    // At t = 0 the sway would be exactly 40; the frame's sway is taken at t = 0.2.
    EXPECT_NEAR(sequencer::motion.sway, 41.7681f, 1e-3);
}

TEST_F(SceneRules, LandscapeGrainScenesTellTheirBoundaryRowZeroFromTheirFirst) {
    sequencer::motion.sceneTime.store(0.0f);  // no wobble: sin 0
    const auto& rises = begin(2, 1);
    frameAt(rises, 1, 0);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 0);
    frameAt(rises, 1, 10);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 40);
    frameAt(rises, 1, 0);  // the next pattern's row 0: fully through the grain
    EXPECT_EQ(sequencer::sceneState.flashLevel, 255);

    const auto& sinks = begin(3, 2);
    frameAt(sinks, 2, 0);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 255);
    frameAt(sinks, 2, 10);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 215);
    frameAt(sinks, 2, 0);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 0);
}

TEST_F(SceneRules, FlareDepthsFollowTheRowsAndTheBoundaryFrameContinuesTheRamp) {
    // A blank picture under grain that can only darken it: what remains is the flare alone.
    core::buffers.stormPicture.fill(0);
    core::buffers.largeFlare.fill(1);
    const auto savedNoise = raster::state.noiseTable;
    raster::state.noiseTable.fill(0xFF);
    const auto& recedes = begin(4, 3);
    frameAt(recedes, 3, 0);  // depth 200
    EXPECT_EQ(countNonZero(core::buffers.grainPage), spriteArea(200));
    frameAt(recedes, 3, 10);  // depth -40
    EXPECT_EQ(countNonZero(core::buffers.grainPage), spriteArea(-40));
    frameAt(recedes, 3, 0);  // the next pattern's row 0: depth -1336, all but the last column
    EXPECT_EQ(countNonZero(core::buffers.grainPage), 64000u - 200u);
    EXPECT_EQ(spriteArea(-1336), 64000u - 200u);

    const auto& flies = begin(5, 4);
    frameAt(flies, 4, 0);  // depth -1336 on the scene's own first row 0
    EXPECT_EQ(countNonZero(core::buffers.grainPage), 64000u - 200u);
    frameAt(flies, 4, 20);  // depth -56
    EXPECT_EQ(countNonZero(core::buffers.grainPage), spriteArea(-56));
    frameAt(flies, 4, 0);  // depth 2760: far past vanishing, nothing drawn
    EXPECT_EQ(countNonZero(core::buffers.grainPage), 0u);
    raster::state.noiseTable = savedNoise;
}

TEST_F(SceneRules, TunnelAccentTablesDependOnTheOrder) {
    const auto& first = begin(6, 5);
    frameAt(first, 5, 0);
    EXPECT_EQ(sequencer::sceneState.secondFlashLevel,
              0);  // the overlay accents belong to the second order
    frameAt(first, 6, 0);
    EXPECT_EQ(sequencer::sceneState.secondFlashLevel, 1);
    frameAt(first, 6, 1);
    EXPECT_EQ(sequencer::sceneState.secondFlashLevel, 0);

    sequencer::sceneState.flashLevel = 0;
    const auto& second = begin(7, 7);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 0);  // carried over, not reset
    frameAt(second, 7, 30);
    EXPECT_EQ(sequencer::sceneState.secondFlashLevel, 1);
    frameAt(second, 8, 30);
    EXPECT_EQ(sequencer::sceneState.secondFlashLevel, 0);
    frameAt(second, 8, 32);
    EXPECT_EQ(sequencer::sceneState.secondFlashLevel, 1);
    frameAt(second, 8, 61);  // the extra accent on row 61 is the first order's only
    EXPECT_EQ(sequencer::sceneState.flashLevel, 0);
    frameAt(second, 7, 61);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 175);
}

TEST_F(SceneRules, ThumbnailPlasmaBurnsOutToWhiteOnlyAfterItsLastRows) {
    for (std::size_t i = 0; i < core::buffers.crystalTexture.size(); ++i) {
        core::buffers.crystalTexture[i] = static_cast<std::uint8_t>((i * 7) & 0x7F);
    }
    const auto& scene = begin(8, 9);
    frameAt(scene, 9, 0);
    EXPECT_FALSE(allEqual(core::buffers.mixPage, 64000, 255));
    frameAt(scene, 10, 0);  // the second order's own row 0
    EXPECT_FALSE(allEqual(core::buffers.mixPage, 64000, 255));
    frameAt(scene, 10, 60);
    EXPECT_FALSE(allEqual(core::buffers.mixPage, 64000, 255));
    frameAt(scene, 10, 0);  // the frame that already reads the next pattern's row 0
    EXPECT_TRUE(allEqual(core::buffers.mixPage, 64000, 255));
}

TEST_F(SceneRules, RotozoomFlashTablesAndTheRightWindowOnEvenLateRows) {
    const auto& scene = begin(9, 11);
    EXPECT_EQ(sequencer::sceneState.frameInterval, 64u);
    frameAt(scene, 11, 3);  // a second-order accent only
    EXPECT_EQ(sequencer::sceneState.secondFlashLevel, 0);
    frameAt(scene, 11, 14);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 175);
    frameAt(scene, 12, 3);
    EXPECT_EQ(sequencer::sceneState.secondFlashLevel, 150);
    frameAt(scene, 12, 4);
    EXPECT_EQ(sequencer::sceneState.secondFlashLevel, 100);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 125);

    auto drawsRightWindow = [&](std::int32_t order, std::int32_t row) {
        const std::uint16_t before = raster::state.windowPhaseRight;
        frameAt(scene, order, row);
        return raster::state.windowPhaseRight != before;
    };
    EXPECT_TRUE(drawsRightWindow(11, 55));
    EXPECT_FALSE(drawsRightWindow(11, 56));
    EXPECT_FALSE(drawsRightWindow(11, 58));
    EXPECT_TRUE(drawsRightWindow(12, 58));
    EXPECT_FALSE(drawsRightWindow(12, 59));
}

TEST_F(SceneRules, FlareRingClockTurnsBackOnlyAfterThePaceStepOfLateRows) {
    const auto& scenes = sequencer::sceneList();
    for (int i = 0; i < sequencer::kSceneCount; ++i) {
        EXPECT_EQ(scenes[static_cast<std::size_t>(i)].afterPace != nullptr, i == 9)
            << "scene " << i + 1;
    }
    const auto& scene = begin(10, 13);
    sequencer::motion.sceneTime.store(1.0f);
    frameAt(scene, 13, 56);
    EXPECT_EQ(sequencer::sceneState.flashLevel, 175);     // every row from 56 on is an accent
    EXPECT_EQ(sequencer::motion.sceneTime.load(), 1.0f);  // the frame itself leaves the clock
    scene.afterPace();
    EXPECT_FLOAT_EQ(sequencer::motion.sceneTime.load(), 0.8f);
    frameAt(scene, 14, 55);
    scene.afterPace();
    EXPECT_FLOAT_EQ(sequencer::motion.sceneTime.load(), 0.8f);
}

TEST_F(SceneRules, TitleSceneFlashesOnTopFirstAndSwapsTheCaptionSecond) {
    // Column 315 is outside everything the scene redraws, so what is added there shows alone.
    core::buffers.windowFlashes.fill(0);
    core::buffers.windowCaptions.fill(0);
    for (int y = 0; y < 200; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * 320 + 315;
        core::buffers.windowFlashes[at] = (y >= 30 && y < 90) ? 3 : 0;
        core::buffers.windowCaptions[at] = y < 60 ? 5 : (y >= 130 && y < 190 ? 11 : 0);
    }
    const auto& scene = begin(11, 15);
    EXPECT_EQ(sequencer::sceneState.frameInterval, 32u);
    struct Seen {
        std::uint8_t top, bottom;
    };
    auto frame = [&](std::int32_t order, std::int32_t row) {
        for (int y = 0; y < 200; ++y) {
            core::buffers.layerPage[y * 320 + 315] = 0;
        }
        frameAt(scene, order, row);
        return Seen{core::buffers.layerPage[60 * 320 + 315],
                    core::buffers.layerPage[150 * 320 + 315]};
    };
    Seen seen = frame(15, 1);
    EXPECT_EQ(seen.top, 0);
    EXPECT_EQ(seen.bottom, 0);
    seen = frame(15, 3);  // accent in the first order: the top flash only
    EXPECT_EQ(seen.top, 3);
    EXPECT_EQ(seen.bottom, 0);
    for (int i = 0; i < 7; ++i) {
        frame(15, 4);  // 175 down to 0
    }
    EXPECT_EQ(sequencer::sceneState.flashLevel, 0);
    seen = frame(16, 1);  // second order, quiet: the steady caption
    EXPECT_EQ(seen.top, 0);
    EXPECT_EQ(seen.bottom, 5);
    seen = frame(16, 3);  // second order, accent: the lit caption instead
    EXPECT_EQ(seen.top, 0);
    EXPECT_EQ(seen.bottom, 11);
}

TEST_F(SceneRules, TitleSceneScrollsFromItsFirstLateSecondOrderFrame) {
    sequencer::sceneState.leftWindowMove = 0;
    const auto& scene = begin(11, 15);
    sequencer::motion.sceneTime.store(1.0f);
    frameAt(scene, 15, 40);  // the first order never scrolls
    EXPECT_EQ(sequencer::sceneState.leftWindowMove, 0);
    sequencer::motion.sceneTime.store(2.0f);
    frameAt(scene, 16, 33);  // takes the start time
    EXPECT_EQ(sequencer::sceneState.leftWindowMove, 0);
    sequencer::motion.sceneTime.store(2.5f);
    frameAt(scene, 16, 34);
    EXPECT_EQ(sequencer::sceneState.leftWindowMove, 320 * 20);
}

// Replays scene 12's first frames from the same start with the figures or the spiral.
std::vector<std::vector<std::uint8_t>> danceFrames(bool dance,
                                                   std::initializer_list<std::int32_t> rows) {
    display::resetLandscape();
    sequencer::sceneState.dance = dance;
    const sequencer::Scene& scene = sequencer::sceneList()[11];
    sequencer::sceneState.sceneOrder = 17;
    scene.setUp();
    std::vector<std::vector<std::uint8_t>> pictures;
    for (std::int32_t row : rows) {
        sequencer::sceneState.musicOrder = 17;
        sequencer::sceneState.musicRow = row;
        scene.frame();
        pictures.emplace_back(core::buffers.mixPage, core::buffers.mixPage + 64000);
    }
    return pictures;
}

TEST_F(SceneRules, DanceFiguresOnlyOnQuietFramesAndFlashFramesAlike) {
    // A one-frame dancer of two blobs for each order.
    const std::uint16_t stream[] = {100, 200, 150, 200, 0, 0, 0xFFFF};
    core::buffers.dancerSolo.fill(0);
    core::buffers.dancerPair.fill(0);
    std::memcpy(core::buffers.dancerSolo.data(), stream, sizeof stream);
    std::memcpy(core::buffers.dancerPair.data(), stream, sizeof stream);
    core::buffers.danceBurst.fill(7);
    const bool savedDance = sequencer::sceneState.dance;
    // Row 1 is quiet, row 3 flashes (175), row 4 still flashes (150).
    const auto spiral = danceFrames(false, {1, 3, 4});
    const auto dancing = danceFrames(true, {1, 3, 4});
    sequencer::sceneState.dance = savedDance;
    EXPECT_NE(spiral[0], dancing[0]);
    EXPECT_EQ(spiral[1], dancing[1]);
    EXPECT_EQ(spiral[2], dancing[2]);
    // The spiral's 160 blobs light more of the picture than the dancer's two.
    EXPECT_GT(countNonZero(spiral[0].data()), countNonZero(dancing[0].data()));
    EXPECT_GE(*std::min_element(spiral[1].begin(), spiral[1].end()), 7);  // the flash picture
}

TEST_F(SceneRules, DanceInsetWindowScrollsInEachOrderFromItsOwnStart) {
    const auto& scene = begin(12, 17);
    sequencer::motion.sceneTime.store(1.0f);
    frameAt(scene, 17, 33);
    EXPECT_EQ(sequencer::sceneState.leftWindowMove, 25600);
    sequencer::motion.sceneTime.store(2.6f);
    frameAt(scene, 17, 40);  // trunc(1.6 * 2) = 3 rows up
    EXPECT_EQ(sequencer::sceneState.leftWindowMove, 25600 - 3 * 320);
    frameAt(scene, 18, 10);  // re-arms the start
    sequencer::motion.sceneTime.store(5.0f);
    frameAt(scene, 18, 33);
    EXPECT_EQ(sequencer::sceneState.leftWindowMove, 9600);
    sequencer::motion.sceneTime.store(6.0f);
    frameAt(scene, 18, 41);
    EXPECT_EQ(sequencer::sceneState.leftWindowMove, 9600 + 4 * 320);
}

TEST_F(SceneRules, DanceBoundaryFrameIsBlackOnlyAfterTheSecondOrderHasBegun) {
    core::buffers.dancePillars.fill(9);
    const auto& scene = begin(12, 17);
    frameAt(scene, 18, 0);  // the second order's own row 0: an accent, not black
    EXPECT_FALSE(allEqual(core::buffers.mixPage, 64000, 0));
    frameAt(scene, 18, 3);
    frameAt(scene, 18, 0);
    EXPECT_TRUE(allEqual(core::buffers.mixPage, 64000, 0));
}

TEST_F(SceneRules, FlightCaptionRisesIntoRows160To189OverTheFirstTwentyRows) {
    core::buffers.smallLight.fill(0);
    core::buffers.skyPicture.fill(0);
    core::buffers.captionTitle.fill(255);
    core::buffers.captionLinux.fill(0);
    const auto& scene = begin(13, 19);
    const std::uint8_t* picture = core::buffers.mixPage + 64000;
    auto rowLit = [&](int y) { return allEqual(picture + y * 320, 320, 255); };
    frameAt(scene, 19, 10);  // risen 20 rows: rows 180..199 show its top
    EXPECT_FALSE(rowLit(179));
    EXPECT_TRUE(rowLit(180));
    EXPECT_TRUE(rowLit(199));
    frameAt(scene, 19, 25);  // fully risen
    EXPECT_FALSE(rowLit(159));
    EXPECT_TRUE(rowLit(160));
    EXPECT_TRUE(rowLit(189));
    EXPECT_FALSE(rowLit(190));
    frameAt(scene, 20, 25);  // the second order's strip
    EXPECT_FALSE(rowLit(160));
}

TEST_F(SceneRules, PlasmaFlickerAlternatesWithBlackAndStopsTheFlightAtRow32) {
    begin(14, 21);
    const auto& flicker = begin(16, 23);
    frameAt(flicker, 23, 40);  // no landscape from row 32: the map is the fill alone
    EXPECT_TRUE(allEqual(effects::voxel.frame.data(), 64000, (64 - 40) * 4));
    EXPECT_EQ(lastHanded, core::buffers.layerPage);
    sequencer::motion.sceneTime.store(0.37f);
    frameAt(flicker, 23, 50);
    EXPECT_EQ(lastHanded, core::buffers.layerPage);
    sequencer::motion.sceneTime.store(0.42f);
    frameAt(flicker, 23, 50);
    EXPECT_EQ(lastHanded, core::buffers.warpHeights);
    EXPECT_TRUE(allEqual(core::buffers.warpHeights, 64000, 0));
}

TEST_F(SceneRules, MontageHandsThePictureItsRowNames) {
    std::fill(core::buffers.paletteA, core::buffers.paletteA + 768, 10);
    std::fill(core::buffers.paletteB, core::buffers.paletteB + 768, 40);
    const auto& scene = begin(17, 24);
    struct Cut {
        std::int32_t row;
        const std::uint8_t* picture;
        std::uint8_t colour;  // first colourTable byte: paletteA 40, paletteB 160
    };
    const Cut cuts[] = {
        {0, core::buffers.sourcePage, 160},
        {4, core::buffers.mixPage + 64000, 40},
        {45, core::buffers.mixPage + 64000, 40},
        {8, core::buffers.sourcePage + core::kLandscapeInSourcePage, 40},
        {63, core::buffers.sourcePage + core::kLandscapeInSourcePage, 40},
        {16, core::buffers.grainPage, 40},
        {59, core::buffers.grainPage, 40},
        {22, core::buffers.sourcePage, 40},
        {31, core::buffers.sourcePage, 40},
        {26, core::buffers.lightningPicture.data(), 40},
        {61, core::buffers.lightningPicture.data(), 40},
        {48, core::buffers.crestEmblem.data(), 40},
        {51, core::buffers.crestEmblem.data(), 40},
        {52, core::buffers.sourcePage, 160},
    };
    for (const Cut& cut : cuts) {
        frameAt(scene, 24, cut.row);
        EXPECT_EQ(lastHanded, cut.picture) << "row " << cut.row;
        EXPECT_EQ(display::state.colourTable[0], cut.colour) << "row " << cut.row;
    }
}

TEST_F(SceneRules, EmblemSceneFlashesUntilRow34OfItsSecondOrder) {
    std::fill(core::buffers.paletteB, core::buffers.paletteB + 768, 20);
    const auto& scene = begin(18, 26);
    frameAt(scene, 27, 33);  // an ordinary row: paletteB, flash armed
    EXPECT_EQ(display::state.colourTable[0], 80);
    frameAt(scene, 27, 32);  // a flash row still flashes in the second order
    EXPECT_EQ(display::state.colourTable[0], (63 - 5) * 4);
    frameAt(scene, 27, 60);  // past row 34 the emblems arrive and rows 60..63 no longer flash
    EXPECT_EQ(display::state.colourTable[0], 80);
    EXPECT_EQ(lastHanded, core::buffers.sourcePage);
}

TEST_F(SceneRules, PlaneBoundaryFrameIsBlackUnderTheEmblems) {
    for (std::size_t i = 0; i < core::buffers.crystalTexture.size(); ++i) {
        core::buffers.crystalTexture[i] = static_cast<std::uint8_t>(64 + (i & 0x7F));
    }
    core::buffers.dialEmblem.fill(0);
    core::buffers.crestEmblem.fill(0);
    begin(19, 28);
    const auto& scene = begin(20, 30);
    frameAt(scene, 30, 0);  // the scene's own row 0: not darkened
    const std::uint32_t lit = countNonZero(core::buffers.sourcePage);
    EXPECT_GT(lit, 32000u);
    frameAt(scene, 30, 1);
    frameAt(scene, 30, 0);  // reads the next order's row 0: black
    EXPECT_EQ(countNonZero(core::buffers.sourcePage), 0u);
    core::buffers.dialEmblem.fill(50);  // the emblems are drawn over the darkening
    frameAt(scene, 30, 0);
    EXPECT_EQ(core::buffers.sourcePage[110 * 320 + 160], 50);
    EXPECT_EQ(core::buffers.sourcePage[5 * 320 + 5], 0);
    core::buffers.dialEmblem.fill(0);
}

TEST(SceneList, ScenesBeginAtTheirOrdersAndEndOnExactlyTheNextOne) {
    const std::int32_t starts[sequencer::kSceneCount] = {0,  1,  2,  3,  4,  5,  7,  9,  11, 13, 15,
                                                         17, 19, 21, 22, 23, 24, 26, 28, 30, 31};
    std::int32_t order = 0;
    for (int i = 0; i < sequencer::kSceneCount - 1; ++i) {
        EXPECT_EQ(order, starts[i]) << "scene " << i + 1;
        EXPECT_EQ(core::sceneStartOrder(i), starts[i]) << "scene " << i + 1;
        const std::int32_t length = core::kSceneLengths[static_cast<std::size_t>(i)];
        EXPECT_FALSE(sequencer::sceneEnds(i, order, order, 40)) << "scene " << i + 1;
        EXPECT_EQ(sequencer::sceneEnds(i, order, order + 1, 0), length == 1) << "scene " << i + 1;
        EXPECT_TRUE(sequencer::sceneEnds(i, order, order + length, 0)) << "scene " << i + 1;
        EXPECT_FALSE(sequencer::sceneEnds(i, order, order + length + 1, 0)) << "scene " << i + 1;
        order += length;
    }
    EXPECT_EQ(order, starts[sequencer::kSceneCount - 1]);
    // The last scene ends on its row, whatever the order.
    EXPECT_FALSE(sequencer::sceneEnds(20, 31, 31, 35));
    EXPECT_TRUE(sequencer::sceneEnds(20, 31, 31, 36));
    EXPECT_TRUE(sequencer::sceneEnds(20, 31, 32, 40));
    EXPECT_FALSE(sequencer::sceneEnds(20, 31, 32, 0));
}

}  // namespace
