// The scenes' own rules, driven through the scene list on the sequencer state: cue rows,
// thresholds, flags and the boundary frame that reads the next pattern's row 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/buffers.h"
#include "display/engine.h"
#include "display/palette.h"
#include "display/present.h"
#include "effects/polar.h"
#include "raster/grain.h"
#include "sequencer/scenes.h"
#include "sequencer/state.h"

namespace {

using sequencer::musicOrder;
using sequencer::musicRow;

int framesHanded = 0;
void countFrame(const std::uint8_t*) {
    ++framesHanded;
}

class SceneRules : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        archive::allocateWorkBuffers();
        if (display::frameBuffer == nullptr) {
            ASSERT_TRUE(display::allocateScreenBuffers());
        }
        display::buildScaleTable();
        effects::buildPolarTable();
        effects::buildPolarMaps();
        raster::fillNoise();
        sequencer::buildSineTables();
    }
    void SetUp() override {
        display::setPutFrameObserver(&countFrame);
        framesHanded = 0;
    }
    void TearDown() override { display::setPutFrameObserver(nullptr); }

    // Begins scene `number` (1-based) at `startOrder`.
    static const sequencer::Scene& begin(int number, std::int32_t startOrder) {
        const sequencer::Scene& scene =
            sequencer::sceneList()[static_cast<std::size_t>(number - 1)];
        sequencer::sceneOrder = startOrder;
        musicOrder = startOrder;
        musicRow = 0;
        scene.setUp();
        return scene;
    }
    static void frameAt(const sequencer::Scene& scene, std::int32_t order, std::int32_t row) {
        musicOrder = order;
        musicRow = row;
        scene.frame();
    }
};

TEST_F(SceneRules, OpeningBoundaryFrameShowsThePictureNotBlack) {
    const auto& scene = begin(1, 0);
    frameAt(scene, 0, 0);
    EXPECT_GE(sequencer::pulse, 246);  // 256 - 0 plus a small wobble: the blank side wins
    frameAt(scene, 0, 5);
    frameAt(scene, 0, 0);  // still order 0, but the next pattern's row 0
    EXPECT_LE(sequencer::pulse, 10);
}

TEST_F(SceneRules, ACueRowLastingSeveralFramesHoldsTheFlashAt175) {
    const auto& scene = begin(6, 5);
    for (int frame = 0; frame < 4; ++frame) {
        frameAt(scene, 5, 3);
        EXPECT_EQ(sequencer::pulse, 175);
    }
    frameAt(scene, 5, 4);
    EXPECT_EQ(sequencer::pulse, 150);
    frameAt(scene, 5, 59);  // the tunnel's own extra accent
    EXPECT_EQ(sequencer::pulse, 175);
}

TEST_F(SceneRules, EachThumbnailThresholdAddsExactlyItsOwnStamp) {
    for (std::size_t i = 0; i < archive::resource02.size(); ++i) {
        archive::resource02[i] = static_cast<std::uint8_t>(i * 13 + (i >> 8));
    }
    const auto& scene = begin(8, 9);
    auto pictureAt = [&](std::int32_t row) {
        raster::noiseOffset = 0;  // the same grain for both frames
        frameAt(scene, 9, row);
        return std::vector<std::uint8_t>(archive::workB, archive::workB + 64000);
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
    std::fill(archive::paletteB, archive::paletteB + 768, 20);
    frameAt(scene, 24, 2);  // an ordinary row arms the flash
    frameAt(scene, 24, 12);
    EXPECT_EQ(archive::paletteC[0], 63 - 5);
    frameAt(scene, 24, 12);
    EXPECT_EQ(archive::paletteC[0], 63 - 10);
    frameAt(scene, 24, 41);  // only steps
    EXPECT_EQ(archive::paletteC[0], 63 - 15);
}

TEST_F(SceneRules, EmblemSceneReflashesOnEachOfRows28To31) {
    const auto& scene = begin(18, 26);
    std::fill(archive::paletteB, archive::paletteB + 768, 0);
    for (int row = 28; row <= 31; ++row) {
        frameAt(scene, 26, row);
        EXPECT_EQ(archive::paletteC[5], 63 - 5) << "row " << row;
        frameAt(scene, 26, row);  // the same row again only steps
        EXPECT_EQ(archive::paletteC[5], 63 - 10) << "row " << row;
    }
}

TEST_F(SceneRules, ClosingSceneIsBlackFromRow32) {
    archive::resource32.fill(255);
    archive::resource33.fill(255);
    const auto& scene = begin(21, 31);
    frameAt(scene, 31, 31);  // darkened by 248: the emblems still glimmer
    EXPECT_TRUE(std::any_of(display::frameBuffer, display::frameBuffer + 64000,
                            [](std::uint8_t v) { return v != 0; }));
    frameAt(scene, 31, 32);
    EXPECT_TRUE(std::all_of(display::frameBuffer, display::frameBuffer + 64000,
                            [](std::uint8_t v) { return v == 0; }));
}

}  // namespace
