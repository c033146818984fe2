#include "raster/warps.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/buffers.h"
#include "core/show.h"
#include "raster/polar.h"
#include "raster/state.h"

namespace {

std::uint8_t pattern(int i) {
    return static_cast<std::uint8_t>(i * 13 + i / 320 * 5 + 1);
}

TEST(PolarRemapTest, LooksUpThroughTheTwistedOffsetsIncludingTheMargins) {
    raster::buildPolarMaps();
    // A source picture with exactly the margins the offsets reach.
    std::vector<std::uint8_t> storage(raster::kPolarMarginBefore + 64000 +
                                      raster::kPolarMarginAfter);
    for (std::size_t i = 0; i < storage.size(); ++i) {
        storage[i] = pattern(static_cast<int>(i));
    }
    const std::uint8_t* source = storage.data() + raster::kPolarMarginBefore;
    std::vector<std::uint8_t> destination(64000, 0);

    raster::state.angleTwist.fill(0);
    raster::polarRemap(source, destination.data());
    for (int i = 0; i < 64000; ++i) {
        const int radius = raster::state.polarMap[3 * i];
        const int angle = raster::state.polarMap[3 * i + 1];
        ASSERT_EQ(destination[i], source[raster::state.polarOffsets[radius + 256 * angle]]) << i;
    }

    // The twist is indexed by the angle and wraps: angle a reads angle a + twist[a] mod 256.
    for (int a = 0; a < 256; ++a) {
        raster::state.angleTwist[a] = static_cast<std::uint8_t>(a % 2 == 0 ? 200 : 7);
    }
    raster::polarRemap(source, destination.data());
    for (int i = 0; i < 64000; i += 97) {
        const int radius = raster::state.polarMap[3 * i];
        const int angle = raster::state.polarMap[3 * i + 1];
        const int turned = (angle + (angle % 2 == 0 ? 200 : 7)) % 256;
        ASSERT_EQ(destination[i], source[raster::state.polarOffsets[radius + 256 * turned]]) << i;
    }

    // Every offset of the table, extremes included, is readable (checked under the sanitizer).
    for (int i = 0; i < 65536; i += 256) {
        const std::uint8_t saved[3] = {raster::state.polarMap[0], raster::state.polarMap[1], 0};
        raster::state.angleTwist.fill(0);
        for (int r = 0; r < 256; ++r) {
            raster::state.polarMap[3 * r] = static_cast<std::uint8_t>(r);
            raster::state.polarMap[3 * r + 1] = static_cast<std::uint8_t>(i / 256);
        }
        raster::polarRemap(source, destination.data());
        raster::state.polarMap[0] = saved[0];
        raster::state.polarMap[1] = saved[1];
    }
    raster::buildPolarMaps();
    raster::state.angleTwist.fill(0);
}

class GradientWarpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        texture_.resize(65536);
        for (int i = 0; i < 65536; ++i) {
            texture_[i] = pattern(i);
        }
    }
    void setHeight(int word, std::int16_t value) {
        std::memcpy(heights_.data() + 2 * word, &value, 2);
    }
    std::vector<std::uint8_t> texture_;
    std::vector<std::uint8_t> heights_ = std::vector<std::uint8_t>(core::kWarpHeightsBytes, 0);
    std::vector<std::uint8_t> destination_ = std::vector<std::uint8_t>(64001, 0xEE);
};

TEST_F(GradientWarpTest, FlatFieldCopiesFromByteOneOn) {
    raster::gradientWarp(texture_.data(), heights_.data(), destination_.data());
    EXPECT_EQ(destination_[0], 0xEE);
    for (int k = 1; k <= 64000; ++k) {
        ASSERT_EQ(destination_[k], texture_[k]) << k;
    }
}

TEST_F(GradientWarpTest, RightDifferenceMovesRowsLowerDifferenceMovesColumns) {
    setHeight(1001, 16);   // right neighbour higher by 16: two rows down
    setHeight(1320, -24);  // lower neighbour lower by 24: three columns left
    raster::gradientWarp(texture_.data(), heights_.data(), destination_.data());
    EXPECT_EQ(destination_[1000], texture_[1000 + 640 - 3]);

    // The subtractions wrap in 16 bits: 32767 - (-32768) is -1, one row up, and 0 - (-32768)
    // is -32768, 4096 columns left; the index wraps within the texture.
    setHeight(2000, -32768);
    setHeight(2001, 32767);
    raster::gradientWarp(texture_.data(), heights_.data(), destination_.data());
    EXPECT_EQ(destination_[2000], texture_[(2000 - 320 - 4096) & 0xFFFF]);
}

TEST_F(GradientWarpTest, HeightsPastTheFieldReadAsZeroAndTheIndexWraps) {
    setHeight(63999, -80);
    raster::gradientWarp(texture_.data(), heights_.data(), destination_.data());
    // Both neighbours lie past the field and read 0: +10 rows and +10 columns, modulo 65536.
    EXPECT_EQ(destination_[63999], texture_[(63999 + 3200 + 10) % 65536]);
    EXPECT_EQ(destination_[64000], texture_[64000]);
}

class WaveWarpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = core::motion.warpWave;
        core::motion.warpWave.fill(0);
        source_.resize(64002);
        for (int i = 0; i < 64002; ++i) {
            source_[i] = pattern(i);
        }
        target_.assign(64000, 0xEE);
    }
    void TearDown() override { core::motion.warpWave = saved_; }
    std::uint8_t at(int x, int y) const { return target_[y * 320 + x]; }

    std::array<std::int32_t, 320> saved_{};
    std::vector<std::uint8_t> source_;
    std::vector<std::uint8_t> target_;
};

TEST_F(WaveWarpTest, StillWaveCopiesTheWindowAndFramesIt) {
    raster::waveWarp(source_.data(), target_.data());
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            const bool frame = ((x == 10 || x == 310) && y >= 10 && y <= 189) ||
                               ((y == 10 || y == 189) && x >= 10 && x <= 309);
            const bool window = x >= 10 && x <= 309 && y >= 10 && y <= 189;
            const std::uint8_t expected = frame ? 200 : (window ? source_[y * 320 + x] : 0xEE);
            ASSERT_EQ(at(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(WaveWarpTest, DisplacementsOutsideThePictureLeaveTheTarget) {
    core::motion.warpWave[50] = -1000;  // row 50 reads far above the picture
    core::motion.warpWave[100] = 1000;  // row 100 reads far below it
    core::motion.warpWave[30] = -30;    // row 30 reads source row 0 ...
    core::motion.warpWave[60] = -61;    // ... and column 60 there lands at offset -1
    core::motion.warpWave[20] = 180;    // row 20 reads source row 200 ...
    core::motion.warpWave[40] = -40;    // ... column 40 there is offset 64000 exactly: still read
    raster::waveWarp(source_.data(), target_.data());
    EXPECT_EQ(at(100, 50), 0xEE);
    EXPECT_EQ(at(101, 100), 0xEE);
    EXPECT_EQ(at(60, 30), 0xEE);
    EXPECT_EQ(at(62, 30), source_[62]);
    EXPECT_EQ(at(40, 20), source_[64000]);
    EXPECT_EQ(at(41, 20), source_[64001]);
    // Column 50 is displaced too in the other rows: 950 bytes back.
    EXPECT_EQ(at(50, 70), source_[70 * 320 - 950]);

    core::motion.warpWave.fill(INT32_MAX);
    raster::waveWarp(source_.data(), target_.data());
    core::motion.warpWave.fill(INT32_MIN);
    raster::waveWarp(source_.data(), target_.data());
    EXPECT_EQ(at(100, 100), 0xEE);
}

}  // namespace
