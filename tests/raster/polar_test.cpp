#include "raster/polar.h"
#include "raster/state.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/show.h"

namespace {

class PolarTablesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        raster::buildPolarTable();
        raster::buildWindowMap();
        raster::buildPolarMaps();
    }
    static std::uint16_t tunnel(int x, int y) { return raster::state.polarTable[y * 640 + x]; }
    static std::uint16_t window(int x, int y) { return raster::state.windowMap[y * 80 + x]; }
    static const std::uint8_t* polar(int x, int y) {
        return raster::state.polarMap.data() + (y * 320 + x) * 3;
    }
};

TEST_F(PolarTablesTest, TunnelTableCentreHasOnlyItsAngle) {
    // r = 0: the ripple has no value, the depth counts as 0, the entry is trunc(82.48).
    EXPECT_EQ(tunnel(320, 200), 0x0052);
    // One column right: still inside the undefined ripple; trunc(-127.49) keeps its low 16 bits.
    EXPECT_EQ(tunnel(321, 200), 0xFF81);
}

TEST_F(PolarTablesTest, TunnelTablePinnedPositions) {
    // Reference values worked out independently; the low byte is the angle, the high the depth.
    EXPECT_EQ(tunnel(0, 0), 0xB661);
    EXPECT_EQ(tunnel(639, 399), 0xB661);
    EXPECT_EQ(tunnel(100, 300), 0x3896);
    EXPECT_EQ(tunnel(320, 0), 0x3700);
    EXPECT_EQ(tunnel(500, 150), 0x108E);
    EXPECT_EQ(tunnel(330, 210), 0xD752);
}

TEST_F(PolarTablesTest, TunnelTableMatchesExtendedPrecisionEverywhere) {
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 640; ++x) {
            ASSERT_EQ(tunnel(x, y), raster::polarTableEntryExtended(x, y)) << x << "," << y;
        }
    }
}

TEST_F(PolarTablesTest, WindowMapUsesItsOwnDepthFormula) {
    EXPECT_EQ(window(40, 25), 0x0052);
    EXPECT_EQ(window(0, 0), 0x7961);
    EXPECT_EQ(window(79, 49), 0x8462);
    EXPECT_EQ(window(10, 40), 0xD098);
    EXPECT_EQ(window(60, 5), 0xE4AD);
}

TEST_F(PolarTablesTest, PolarMapAnglesAndRadii) {
    for (int y = 0; y < 100; ++y) {
        ASSERT_EQ(polar(160, y)[1], 128) << y;  // straight up: 41 * pi = 128.8
    }
    EXPECT_EQ(polar(160, 150)[1], 0);   // straight down
    EXPECT_EQ(polar(300, 100)[1], 64);  // right: 41 * pi / 2
    EXPECT_EQ(polar(20, 100)[1], 192);  // left: -64 as a byte
    EXPECT_EQ(polar(160, 100)[0], 0);   // the centre
    EXPECT_EQ(polar(160, 100)[1], 0);
    EXPECT_EQ(polar(160, 0)[0], 135);  // 1.35 * 100
    EXPECT_EQ(polar(0, 100)[0], 179);  // 1.35 * 0.83 * 160 = 179.28
    // The third byte is never written.
    for (int i = 0; i < 64000; ++i) {
        ASSERT_EQ(raster::state.polarMap[i * 3 + 2], 0);
    }
}

TEST_F(PolarTablesTest, PolarOffsetsSpanTheDocumentedMargins) {
    const auto [low, high] =
        std::minmax_element(raster::state.polarOffsets.begin(), raster::state.polarOffsets.end());
    EXPECT_EQ(*low, -raster::kPolarMarginBefore);
    EXPECT_EQ(*high, 64000 + raster::kPolarMarginAfter - 1);
    for (int j = 0; j < 256; ++j) {
        ASSERT_EQ(raster::state.polarOffsets[256 * j], 100 * 320 + 160);  // radius 0: the centre
    }
    // Angle 0 points straight down: q = trunc(100 / 2.22) = 45 rows, no sideways step.
    EXPECT_EQ(raster::state.polarOffsets[100], (45 + 100) * 320 + 160);
}

TEST(WindowBendTest, SineTimesAmplitudeLowByte) {
    raster::buildWindowBend(0, 0.37f);
    EXPECT_TRUE(std::all_of(raster::state.windowBend.begin(), raster::state.windowBend.end(),
                            [](auto v) { return v == 0; }));
    raster::buildWindowBend(100, 0.5f);
    EXPECT_EQ(raster::state.windowBend[0], 0);
    EXPECT_EQ(raster::state.windowBend[3], 99);   // sin(1.5) * 100 = 99.7
    EXPECT_EQ(raster::state.windowBend[7], 221);  // sin(3.5) * 100 = -35.1
    raster::buildWindowBend(-200, 0.5f);
    EXPECT_EQ(raster::state.windowBend[3], static_cast<std::uint8_t>(-199));
}

TEST(AngleTwistTest, TruncatesSwayIntoEveryEntry) {
    const float saved = core::motion.sway;
    core::motion.sway = -1.5f;
    raster::fillAngleTwist();
    EXPECT_TRUE(std::all_of(raster::state.angleTwist.begin(), raster::state.angleTwist.end(),
                            [](auto v) { return v == 255; }));
    core::motion.sway = 300.9f;
    raster::fillAngleTwist();
    EXPECT_EQ(raster::state.angleTwist[0], 44);  // 300 mod 256
    EXPECT_EQ(raster::state.angleTwist[255], 44);
    core::motion.sway = saved;
}

}  // namespace
