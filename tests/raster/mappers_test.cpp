#include "raster/mappers.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/buffers.h"
#include "raster/polar.h"
#include "raster/state.h"

namespace {

// Fills the tables with asymmetric patterns so a swapped byte or a flipped axis shows.
class MappersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedPolar_ = raster::state.polarTable;
        savedRemap_ = core::buffers.tunnelRemap;
        for (std::size_t i = 0; i < raster::state.polarTable.size(); ++i) {
            raster::state.polarTable[i] = static_cast<std::uint16_t>(i * 40503u + (i >> 7));
        }
        setRemapIdentity();
        target_.assign(64000, 0xEE);
    }
    void TearDown() override {
        raster::state.polarTable = savedPolar_;
        core::buffers.tunnelRemap = savedRemap_;
    }
    static void setRemapIdentity() {
        for (int v = 0; v < 65536; ++v) {
            core::buffers.tunnelRemap[2 * v] = static_cast<std::uint8_t>(v);
            core::buffers.tunnelRemap[2 * v + 1] = static_cast<std::uint8_t>(v >> 8);
        }
    }
    void panned(std::uint8_t twist, std::int32_t windowOffset) {
        raster::mapPolarPanned(texture_.data(), target_.data(), twist, windowOffset);
    }
    void shifted(std::uint8_t high, std::uint8_t low) {
        raster::mapPolarShifted(texture_.data(), target_.data(), {.high = high, .low = low});
    }
    void textureOfColumns() {
        for (int v = 0; v < 65536; ++v) {
            texture_[v] = static_cast<std::uint8_t>(v);
        }
    }
    void textureOfRows() {
        for (int v = 0; v < 65536; ++v) {
            texture_[v] = static_cast<std::uint8_t>(v >> 8);
        }
    }
    static std::uint16_t windowEntry(int x, int y) {
        return raster::state.polarTable[64160 + y * 640 + x];
    }

    std::array<std::uint16_t, 640 * 400> savedPolar_{};
    std::array<std::uint8_t, 131072> savedRemap_{};
    std::vector<std::uint8_t> texture_ = std::vector<std::uint8_t>(65536, 0);
    std::vector<std::uint8_t> target_;
};

TEST_F(MappersTest, PannedIdentityShowsTheTableWindowsLowBytes) {
    textureOfColumns();
    panned(0, 0);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            ASSERT_EQ(target_[y * 320 + x], windowEntry(x, y) & 0xFF) << x << "," << y;
        }
    }
    // Moving the window 3 rows up and 7 columns right.
    textureOfRows();
    panned(0, -3 * 640 + 7);
    EXPECT_EQ(target_[0], windowEntry(7, -3) >> 8);
    EXPECT_EQ(target_[199 * 320 + 319], windowEntry(326, 196) >> 8);
}

TEST_F(MappersTest, PannedTwistAddsToBothLookUpsWithoutCarry) {
    textureOfColumns();
    panned(2, 0);
    EXPECT_EQ(target_[5], static_cast<std::uint8_t>(windowEntry(5, 0) + 4));

    raster::state.polarTable[64160] = 0x12FF;
    textureOfRows();
    panned(1, 0);
    EXPECT_EQ(target_[0], 0x12);  // 0x12FF + 1 -> 0x1200, then 0x1201: the row stays 0x12

    // A remap that is not the identity: the second twist lands on the remapped value.
    core::buffers.tunnelRemap[2 * 0x1200] = 0xFF;
    core::buffers.tunnelRemap[2 * 0x1200 + 1] = 0x40;
    textureOfColumns();
    panned(1, 0);
    EXPECT_EQ(target_[0], 0x00);  // 0x40FF + 1 in the low byte only
}

TEST_F(MappersTest, ShiftedCarriesFirstAndCrossesTheShiftsAfter) {
    raster::state.polarTable[64160] = 0x12FF;
    raster::state.polarTable[64161] = 0x0102;
    textureOfRows();
    shifted(0, 1);
    EXPECT_EQ(target_[0], 0x14);  // 0x12FF + 0x0001 = 0x1300, then its row + 1

    shifted(0x03, 0x10);
    EXPECT_EQ(target_[1], 0x14);  // 0x0102 + 0x0310 = 0x0412; row 0x04 + the low shift
    textureOfColumns();
    shifted(0x03, 0x10);
    EXPECT_EQ(target_[1], 0x15);  // column 0x12 + the high shift

    // The second additions do not carry: remap 0x0412 to 0xF0FE, then +3 low, +0x10 high.
    core::buffers.tunnelRemap[2 * 0x0412] = 0xFE;
    core::buffers.tunnelRemap[2 * 0x0412 + 1] = 0xF0;
    shifted(0x03, 0x10);
    EXPECT_EQ(target_[1], 0x01);
    textureOfRows();
    shifted(0x03, 0x10);
    EXPECT_EQ(target_[1], 0x00);
}

TEST_F(MappersTest, WindowOffsetsAreClampedToTheTable) {
    EXPECT_EQ(raster::clampWindowOffset(0), 0);
    EXPECT_EQ(raster::clampWindowOffset(-70 * 640 + 150), -70 * 640 + 150);
    EXPECT_EQ(raster::clampWindowOffset(100 * 640 - 160), 100 * 640 - 160);
    EXPECT_EQ(raster::clampWindowOffset(-100 * 640 + 160), -100 * 640 + 160);
    EXPECT_EQ(raster::clampWindowOffset(101 * 640 + 5), 100 * 640 + 5);
    EXPECT_EQ(raster::clampWindowOffset(-3 * 640 - 200), -3 * 640 - 160);
    // Far-off offsets keep their column remainder and stop at the top or bottom row.
    EXPECT_EQ(raster::clampWindowOffset(INT32_MIN), -100 * 640 - 128);
    EXPECT_EQ(raster::clampWindowOffset(INT32_MAX), 100 * 640 + 127);

    // At the extreme corners every read stays inside the table (checked under the sanitizer).
    textureOfColumns();
    for (std::int32_t offset : {INT32_MIN, INT32_MAX, -100 * 640 - 160, 100 * 640 + 160}) {
        panned(0, offset);
    }
    EXPECT_EQ(target_[199 * 320 + 319], raster::state.polarTable[399 * 640 + 639] & 0xFF);
}

}  // namespace
