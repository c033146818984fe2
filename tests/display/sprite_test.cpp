#include "display/sprite.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Each sprite byte names its position: no two of the sampled positions share a value, and none
// is 0, so a swapped axis or an off-by-one shows.
std::vector<std::uint8_t> labelledSprite() {
    std::vector<std::uint8_t> sprite(65536);
    for (int r = 0; r < 256; ++r) {
        for (int c = 0; c < 256; ++c) {
            sprite[r * 256 + c] = static_cast<std::uint8_t>(1 + (c * 3 + r * 7) % 250);
        }
    }
    return sprite;
}

std::uint8_t label(int column, int row) {
    return static_cast<std::uint8_t>(1 + (column * 3 + row * 7) % 250);
}

TEST(SpriteSpanTest, SizeAndStepFromDepth) {
    const auto unit = display::spriteSpan(160, 100, 0);
    EXPECT_EQ(unit.halfSize, 128);
    EXPECT_EQ(unit.step, 65536u);
    const auto half = display::spriteSpan(160, 100, 26214400);
    EXPECT_EQ(half.halfSize, 64);
    EXPECT_EQ(half.step, 131072u);
    const auto near = display::spriteSpan(160, 100, static_cast<std::int32_t>(0xFAC80000u));
    EXPECT_EQ(near.halfSize, 341);
    EXPECT_EQ(near.step, 24600u);
    EXPECT_EQ(near.firstColumn, 0);
    EXPECT_EQ(near.endColumn, 319);
    EXPECT_EQ(near.firstRow, 0);
    EXPECT_EQ(near.endRow, 200);
    const auto tiny = display::spriteSpan(160, 100, 52019200);
    EXPECT_EQ(tiny.halfSize, 1);
    EXPECT_EQ(tiny.step, 8388608u);
}

TEST(SpriteSpanTest, NothingBeyondTheVanishingDepthOrOffThePicture) {
    for (std::int32_t z : {52019201, 52428800, 60000000, INT32_MAX}) {
        EXPECT_FALSE(display::spriteSpan(160, 100, z).visible) << z;
    }
    EXPECT_FALSE(display::spriteSpan(-129, 100, 0).visible);
    EXPECT_FALSE(display::spriteSpan(-128, 100, 0).visible);  // touches column 0 with no width
    EXPECT_TRUE(display::spriteSpan(-127, 100, 0).visible);
    EXPECT_FALSE(display::spriteSpan(448, 100, 0).visible);
    EXPECT_FALSE(display::spriteSpan(160, 328, 0).visible);
    EXPECT_FALSE(display::spriteSpan(160, -128, 0).visible);
    EXPECT_FALSE(display::spriteSpan(INT32_MAX, INT32_MIN, 0).visible);
}

TEST(DrawZoomSpriteTest, DepthZeroDrawsOneToOneClipped) {
    const auto sprite = labelledSprite();
    std::vector<std::uint8_t> picture(64000, 0);
    display::drawZoomSprite(100, 60, sprite.data(), picture.data(), 0);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            const bool inside = x < 228 && y < 188;  // columns 0..227 (x - 128 < 0), rows 0..187
            const std::uint8_t expected = inside ? label(x - 100 + 128, y - 60 + 128) : 0;
            ASSERT_EQ(picture[y * 320 + x], expected) << x << "," << y;
        }
    }
}

TEST(DrawZoomSpriteTest, LeftClipStartsAtSourceColumn138) {
    const auto sprite = labelledSprite();
    std::vector<std::uint8_t> picture(64000, 0);
    display::drawZoomSprite(-10, 100, sprite.data(), picture.data(), 0);
    EXPECT_EQ(picture[100 * 320 + 0], label(138, 128));
    EXPECT_EQ(picture[100 * 320 + 117], label(255, 128));
    EXPECT_EQ(picture[100 * 320 + 118], 0);
    EXPECT_EQ(picture[0], label(138, 28));
}

TEST(DrawZoomSpriteTest, RightClipNeverCoversTheLastColumn) {
    std::vector<std::uint8_t> sprite(65536, 9);
    std::vector<std::uint8_t> picture(64000, 0);
    display::drawZoomSprite(300, 100, sprite.data(), picture.data(), 0);
    for (int y = 0; y < 200; ++y) {
        ASSERT_EQ(picture[y * 320 + 319], 0) << y;
        ASSERT_EQ(picture[y * 320 + 318], 9) << y;
    }
    display::drawZoomSprite(160, 100, sprite.data(), picture.data(),
                            static_cast<std::int32_t>(0xFAC80000u));
    for (int y = 0; y < 200; ++y) {
        ASSERT_EQ(picture[y * 320 + 319], 0) << y;
        ASSERT_EQ(picture[y * 320], 9) << y;
    }
}

TEST(DrawZoomSpriteTest, HalfSizeSkipsEverySecondSourcePixel) {
    const auto sprite = labelledSprite();
    std::vector<std::uint8_t> picture(64000, 0);
    display::drawZoomSprite(160, 100, sprite.data(), picture.data(), 26214400);
    EXPECT_EQ(picture[36 * 320 + 96], label(0, 0));
    EXPECT_EQ(picture[36 * 320 + 97], label(2, 0));
    EXPECT_EQ(picture[37 * 320 + 96], label(0, 2));
    EXPECT_EQ(picture[163 * 320 + 223], label(254, 254));
    EXPECT_EQ(picture[35 * 320 + 96], 0);
    EXPECT_EQ(picture[164 * 320 + 224], 0);
}

TEST(DrawZoomSpriteTest, SmallestSquareSamplesTheQuarters) {
    const auto sprite = labelledSprite();
    std::vector<std::uint8_t> picture(64000, 0);
    display::drawZoomSprite(50, 60, sprite.data(), picture.data(), 52019200);
    EXPECT_EQ(picture[59 * 320 + 49], label(0, 0));
    EXPECT_EQ(picture[59 * 320 + 50], label(128, 0));
    EXPECT_EQ(picture[60 * 320 + 49], label(0, 128));
    EXPECT_EQ(picture[60 * 320 + 50], label(128, 128));
    int touched = 0;
    for (auto v : picture) {
        touched += v != 0;
    }
    EXPECT_EQ(touched, 4);
}

TEST(DrawZoomSpriteTest, TopClipDropsTheRowFractionAndSaturates) {
    const auto sprite = labelledSprite();
    std::vector<std::uint8_t> picture(64000, 0);
    const auto near = static_cast<std::int32_t>(0xFAC80000u);
    display::drawZoomSprite(160, 100, sprite.data(), picture.data(), near);
    // Start: column (181 * 24600) = 67 + 61688/65536, row trunc(241 * 24600 / 65536) = 90.
    EXPECT_EQ(picture[0], label(67, 90));
    EXPECT_EQ(picture[1], label(68, 90));
    // Row 2 is 2 * 24600 = 49200 / 65536 below: still source row 90, because the dropped
    // fraction (0.46) does not come back.
    EXPECT_EQ(picture[2 * 320], label(67, 90));
    EXPECT_EQ(picture[3 * 320], label(67, 91));

    std::vector<std::uint8_t> glow(65536, 100);
    std::vector<std::uint8_t> bright(64000, 200);
    display::drawZoomSprite(160, 100, glow.data(), bright.data(), 0);
    EXPECT_EQ(bright[100 * 320 + 160], 255);
    EXPECT_EQ(bright[0], 200);
}

TEST(DrawZoomSpriteTest, ExtremeDepthsStayInsideThePicture) {
    std::vector<std::uint8_t> sprite(65536, 1);
    std::vector<std::uint8_t> picture(64000, 0);
    for (std::int32_t z : {INT32_MIN, -87556096, 0, 52019200, 52019201, INT32_MAX}) {
        for (std::int32_t x : {-400, -1, 0, 160, 319, 320, 700}) {
            for (std::int32_t y : {-300, 0, 100, 199, 500}) {
                display::drawZoomSprite(x, y, sprite.data(), picture.data(), z);
            }
        }
    }
    EXPECT_EQ(picture[100 * 320 + 319], 0);
}

}  // namespace
