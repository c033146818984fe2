#include "raster/windows.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/buffers.h"
#include "raster/mappers.h"
#include "raster/polar.h"
#include "raster/state.h"

namespace {

class WindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedMap_ = raster::state.windowMap;
        savedBend_ = raster::state.windowBend;
        texture_.resize(65536);
        for (int v = 0; v < 65536; ++v) {
            texture_[v] = static_cast<std::uint8_t>((v >> 8) * 5 + (v & 0xFF) * 3 + 1);
        }
        target_.assign(core::kScenePageBytes, 0xEE);
        raster::state.windowMap.fill(0);
        raster::state.windowBend.fill(0);
    }
    void TearDown() override {
        raster::state.windowMap = savedMap_;
        raster::state.windowBend = savedBend_;
    }
    void left(std::int32_t move = 0) {
        raster::drawLeftWindow(texture_.data(), target_.data(), move);
    }
    void right() { raster::drawRightWindow(texture_.data(), target_.data()); }
    std::uint8_t texel(int row, int column) const { return texture_[row * 256 + column]; }
    std::uint8_t at(int x, int y) const { return target_[y * 320 + x]; }

    std::array<std::uint16_t, 4000> savedMap_{};
    std::array<std::uint8_t, 256> savedBend_{};
    std::vector<std::uint8_t> texture_;
    std::vector<std::uint8_t> target_;
};

TEST_F(WindowsTest, PhasesStepEachByteOnItsOwn) {
    raster::state.windowPhaseLeft = 0x01FF;
    raster::state.windowPhaseRight = 0x00FE;
    left();
    right();
    EXPECT_EQ(raster::state.windowPhaseLeft, 0xFF01);
    EXPECT_EQ(raster::state.windowPhaseRight, 0xFE01);
}

TEST_F(WindowsTest, LeftWindowCarriesIntoTheDepthAndBendsRows) {
    raster::state.windowMap[0] = 0x05FF;
    raster::state.windowMap[81] = 0x0310;  // window row 1, column 1
    raster::state.windowBend[6] = 0;
    raster::state.windowBend[3] = 100;
    raster::state.windowPhaseLeft = 0x0200;  // becomes 0x0002 on this call
    left();
    // 0x05FF + 0x0002 = 0x0601: depth 6, row 12, column 0x01 + 12.
    EXPECT_EQ(at(5, 120), texel(12, 13));
    // 0x0310 + 0x0002 = 0x0312: depth 3, row 6 + 100, column 0x12 + 106.
    EXPECT_EQ(at(6, 121), texel(106, 0x12 + 106));
    EXPECT_EQ(at(84, 169), texel(0, 2));
}

TEST_F(WindowsTest, RightWindowExchangesTheMapBytes) {
    raster::state.windowMap[0] = 0x0305;
    raster::state.windowBend[3] = 250;
    raster::state.windowPhaseRight = 0x0000;  // becomes 0xFE03
    right();
    // Exchanged 0x0503 + 0xFE03 = 0x0306: depth 3, row (6 + 250) mod 256 = 0, column 6.
    EXPECT_EQ(at(210, 120), texel(0, 6));
    // An empty entry: 0xFE03, depth 254, row 508 mod 256 = 252, column 3 + 252.
    EXPECT_EQ(at(289, 169), texel(252, 255));
}

TEST_F(WindowsTest, FramesSurroundTheWindowsAndMoveWithTheLeftOffset) {
    auto checkFrame = [this](int left, int top) {
        for (int x = left; x <= left + 81; ++x) {
            ASSERT_EQ(at(x, top), 100) << x;
            ASSERT_EQ(at(x, top + 51), 100) << x;
        }
        for (int y = top; y <= top + 51; ++y) {
            ASSERT_EQ(at(left, y), 100) << y;
            ASSERT_EQ(at(left + 81, y), 100) << y;
        }
        EXPECT_EQ(at(left - 1, top), 0xEE);
        EXPECT_EQ(at(left + 82, top + 51), 0xEE);
        EXPECT_EQ(at(left, top - 1), 0xEE);
        EXPECT_EQ(at(left, top + 52), 0xEE);
        EXPECT_NE(at(left + 1, top + 1), 100);
    };
    left();
    right();
    checkFrame(4, 119);
    checkFrame(209, 119);

    target_.assign(target_.size(), 0xEE);
    left(-320 * 10);
    checkFrame(4, 109);
    EXPECT_EQ(at(4, 170), 0xEE);
}

TEST_F(WindowsTest, FarOffsetsAreClampedInsideTheWorkBuffer) {
    left(INT32_MAX);
    EXPECT_EQ(target_[749 * 320 + 4], 100);
    left(INT32_MIN);
    EXPECT_EQ(target_[4], 100);
}

}  // namespace
