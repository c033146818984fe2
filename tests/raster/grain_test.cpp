#include "raster/grain.h"

#include <gtest/gtest.h>

#include <vector>

#include "raster/random.h"
#include "raster/state.h"

namespace {

class GrainTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = raster::state.noiseTable;
        raster::state.noiseOffset = 0;
    }
    void TearDown() override {
        raster::state.noiseTable = saved_;
        raster::state.noiseOffset = 0;
    }
    std::array<std::uint8_t, 128000> saved_{};
};

TEST_F(GrainTest, FillDrawsFromTheSharedGeneratorInOrder) {
    raster::resetRandom();
    raster::fillNoise();
    raster::resetRandom();
    // The generator from state 1: first results 16838, 5758, 10113.
    EXPECT_EQ(raster::state.noiseTable[0], 16838 / 128);
    EXPECT_EQ(raster::state.noiseTable[1], 5758 / 128);
    EXPECT_EQ(raster::state.noiseTable[2], 10113 / 128);
    for (int i = 0; i < 128000; ++i) {
        ASSERT_EQ(raster::state.noiseTable[i], raster::nextRandom() / 128) << i;
    }
    // The voxel terrain continues the same sequence after the fill.
    raster::resetRandom();
    raster::fillNoise();
    const std::int32_t next = raster::nextRandom();
    raster::resetRandom();
    for (int i = 0; i < 128000; ++i) {
        raster::nextRandom();
    }
    EXPECT_EQ(next, raster::nextRandom());
    raster::resetRandom();
}

TEST_F(GrainTest, ShiftsAreArithmeticAndSaturate) {
    raster::state.noiseTable.fill(0);
    raster::state.noiseTable[0] = 0x80;  // -128
    raster::state.noiseTable[1] = 0x7F;  // 127
    raster::state.noiseTable[2] = 0xFF;  // -1
    raster::state.noiseTable[3] = 0x90;  // negative on a black pixel
    raster::state.noiseTable[4] = 0x10;  // positive on a white pixel
    raster::state.noiseTable[5] = 0xFD;  // -3
    std::vector<std::uint8_t> source(64000, 100);
    source[3] = 0;
    source[4] = 255;
    std::vector<std::uint8_t> destination(64000, 7);

    const std::pair<int, std::vector<int>> cases[] = {
        {1, {36, 163, 99, 0, 255, 98}},
        {2, {68, 131, 99, 0, 255, 99}},
        {3, {84, 115, 99, 0, 255, 99}},
        {9, {99, 100, 99, 0, 255, 99}},
    };
    for (const auto& [shift, expected] : cases) {
        raster::state.noiseOffset = 0;
        raster::addNoise(source.data(), destination.data(), static_cast<std::uint8_t>(shift));
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(destination[i], expected[i]) << "shift " << shift << " byte " << i;
        }
        EXPECT_EQ(destination[6], 100);
    }
}

TEST_F(GrainTest, WindowMovesBy871AndCyclesEvery74Calls) {
    std::vector<std::uint8_t> picture(64000, 0);
    for (int call = 1; call <= 73; ++call) {
        raster::addNoise(picture.data(), picture.data(), 3);
        ASSERT_EQ(raster::state.noiseOffset,
                  (call * 871u) % 64000u == call * 871u ? call * 871u : 0u);
    }
    EXPECT_EQ(raster::state.noiseOffset, 63583u);
    raster::addNoise(picture.data(), picture.data(), 3);
    EXPECT_EQ(raster::state.noiseOffset, 0u);

    // The window really moves: with one marked byte at 871 the second call shows it at pixel 0.
    raster::state.noiseTable.fill(0);
    raster::state.noiseTable[871] = 0x7F;
    std::vector<std::uint8_t> out(64000, 0);
    raster::addNoise(picture.data(), out.data(), 3);
    EXPECT_EQ(out[871], 15);
    raster::addNoise(picture.data(), out.data(), 3);
    EXPECT_EQ(out[0], 15);

    // A stray offset outside the window range reads as a fresh start, never past the table.
    raster::state.noiseOffset = 127999;
    raster::addNoise(picture.data(), out.data(), 3);
    EXPECT_EQ(raster::state.noiseOffset, 871u);
}

TEST_F(GrainTest, InPlaceEqualsSeparateBuffers) {
    raster::resetRandom();
    raster::fillNoise();
    raster::resetRandom();
    std::vector<std::uint8_t> picture(64000);
    for (int i = 0; i < 64000; ++i) {
        picture[i] = static_cast<std::uint8_t>(i * 31 + i / 320);
    }
    for (std::uint8_t shift : {1, 2, 3}) {
        raster::state.noiseOffset = 1742;
        std::vector<std::uint8_t> separate(64000, 0);
        raster::addNoise(picture.data(), separate.data(), shift);
        raster::state.noiseOffset = 1742;
        auto inPlace = picture;
        raster::addNoise(inPlace.data(), inPlace.data(), shift);
        EXPECT_EQ(inPlace, separate) << int(shift);
        EXPECT_NE(separate, picture);
    }
}

}  // namespace
