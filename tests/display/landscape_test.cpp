#include "display/landscape.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "core/buffers.h"
#include "display/state.h"
#include "sequencer/preparation.h"
#include "sequencer/state.h"

namespace {

constexpr int kWidth = 320;
constexpr std::size_t kDestinationOffset = 128000;  // where the show draws the landscape
constexpr std::uint8_t kLand = 9;
constexpr std::uint8_t kUntouched = 1;

class LandscapeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sequencer::prepareWorkBuffers();
        sequencer::buildSineTables();
        display::resetLandscape();
        // Sky values 16..255 never equal the land colour or the untouched fill.
        for (int i = 0; i < 64000; ++i) {
            core::buffers.layerPage[i] = static_cast<std::uint8_t>(16 + (i * 7 + i / 320) % 240);
        }
        std::memset(core::buffers.sourcePage, kUntouched, core::kSourcePageBytes);
    }
    void TearDown() override { core::releaseWorkBuffers(); }

    // Every texel the same colour and the same height byte.
    static void flatMaps(std::uint8_t colour, std::uint8_t height) {
        core::buffers.landscapeColours.fill(colour);
        core::buffers.landscapeHeights.fill(height);
        sequencer::widenLandscapeHeights();
    }
    static std::uint8_t* destination() { return core::buffers.sourcePage + kDestinationOffset; }
    static bool rowIs(int row, std::uint8_t value) {
        const std::uint8_t* p = destination() + row * kWidth;
        for (int x = 0; x < kWidth; ++x) {
            if (p[x] != value) {
                return false;
            }
        }
        return true;
    }
    void view(std::uint16_t tilt, std::uint16_t heading) { aim_ = {tilt, heading}; }
    void draw() const { display::drawLandscape(destination(), aim_); }

    display::LandscapeAim aim_{.tilt = 300, .heading = 0};
};

TEST(LandscapeDividend, UpperWordIsKLowerWordIsKTimes65536) {
    EXPECT_EQ(display::landscapeDividend(-12), -11 * (std::int64_t{1} << 32) - 786432);
    EXPECT_EQ(display::landscapeDividend(-50), -49 * (std::int64_t{1} << 32) - 50 * 65536);
}

TEST_F(LandscapeTest, SkyBandCopiesWholeWordsFromTheViewOffset) {
    // Raw height words of 0x8000 push every drawn run below the picture, leaving the sky.
    core::buffers.landscapeColours.fill(kLand);
    for (std::size_t i = 0; i < 65536; ++i) {
        core::buffers.landscapeHeights[2 * i] = 0x00;
        core::buffers.landscapeHeights[2 * i + 1] = 0x80;
    }
    view(450, 650);
    draw();
    EXPECT_EQ(display::state.landscape.horizon, 242);
    EXPECT_EQ(display::state.landscape.eyeHeight, 230);
    // Offset 72750 reduced to 8750: 13812 words fill bytes 0..55247; 55248 and 55249 are the
    // dropped remainder.
    const std::uint8_t* out = destination();
    for (int i = 0; i < 55248; ++i) {
        ASSERT_EQ(out[i], core::buffers.layerPage[8750 + i]) << i;
    }
    for (int i = 55248; i < 64000; ++i) {
        ASSERT_EQ(out[i], kUntouched) << i;
    }
}

TEST_F(LandscapeTest, SkippedNearLinesStillAdvanceTheRay) {
    flatMaps(kLand, 0);  // height byte 0: 32 rows up, so line L fills rows L+1 .. L+5
    view(450, 650);
    const std::int64_t cA = sequencer::motion.cosTable[450];
    std::int64_t z = 110 * cA - 64 * sequencer::motion.sinTable[450];
    int firstDrawn = 0;
    while (z <= 131072) {
        z -= cA;
        ++firstDrawn;
    }
    ASSERT_GT(firstDrawn, 100);
    draw();
    EXPECT_FALSE(rowIs(firstDrawn, kLand));
    for (int row = firstDrawn + 1; row <= 224; ++row) {
        ASSERT_TRUE(rowIs(row, kLand)) << row;
    }
}

TEST_F(LandscapeTest, HeightRaisesTheFiveRowRunsBetweenTheMargins) {
    view(750, 1000);  // every line is drawn
    flatMaps(kLand, 0);
    draw();
    EXPECT_EQ(display::state.landscape.horizon, 280);  // k = -50
    EXPECT_TRUE(rowIs(-1, kUntouched));
    EXPECT_TRUE(rowIs(224, kLand));

    std::memset(core::buffers.sourcePage, kUntouched, core::kSourcePageBytes);
    flatMaps(kLand, 255);  // one row up: line L fills rows L-30 .. L-26
    draw();
    EXPECT_TRUE(rowIs(-30, kLand));
    EXPECT_TRUE(rowIs(193, kLand));
    EXPECT_TRUE(rowIs(194, kUntouched));
    EXPECT_TRUE(rowIs(224, kUntouched));
}

TEST_F(LandscapeTest, ScrollReturnsAfter32And64Calls) {
    flatMaps(kLand, 0);
    view(600, 650);
    for (int call = 1; call <= 64; ++call) {
        draw();
        if (call == 32) {
            EXPECT_EQ(display::state.landscape.scrollU, 110);
            EXPECT_EQ(display::state.landscape.scrollV, 248);
        }
    }
    EXPECT_EQ(display::state.landscape.scrollU, 110);
    EXPECT_EQ(display::state.landscape.scrollV, 120);
}

TEST_F(LandscapeTest, GoldenFrameAndSafetyOnTheShowsBuffer) {
    for (int i = 0; i < 65536; ++i) {
        core::buffers.landscapeColours[i] = static_cast<std::uint8_t>((i * 13) ^ (i >> 8));
        core::buffers.landscapeHeights[i] = static_cast<std::uint8_t>((i >> 3) * 29 + (i & 255));
    }
    sequencer::widenLandscapeHeights();
    // Tilt 600 skips the near lines; tilt 750 draws them all, with the first 33 carrying in.
    std::uint32_t hash = 2166136261u;
    for (auto [tilt, heading] : {std::pair{600, 500}, {750, 1000}}) {
        view(static_cast<std::uint16_t>(tilt), static_cast<std::uint16_t>(heading));
        draw();
        for (int i = -30 * kWidth; i < 225 * kWidth; ++i) {
            hash = (hash ^ destination()[i]) * 16777619u;
        }
    }
    EXPECT_EQ(hash, 322004628u);  // matches an independent model of the arithmetic

    // The show's extreme views, then values it never uses: nothing may leave sourcePage.
    for (std::uint16_t tilt : {450, 750}) {
        for (std::uint16_t heading : {300, 1000}) {
            view(tilt, heading);
            draw();
        }
    }
    core::buffers.landscapeHeights.fill(0xFF);  // raw height words of 65535
    for (std::uint16_t tilt : {0, 349, 1023, 65535}) {
        view(tilt, 65535);
        draw();
    }
}

}  // namespace
