#include "display/engine.h"
#include "display/state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

using display::kPictureBytes;

std::vector<std::uint8_t> picture(std::uint8_t value) {
    return std::vector<std::uint8_t>(kPictureBytes, value);
}

class EngineTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { display::buildScaleTable(); }
};

TEST_F(EngineTest, ScaleTableIsFloorOfProductOver255) {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            ASSERT_EQ(display::state.scaleTable[a * 256 + b], a * b / 255) << a << " x " << b;
        }
    }
    EXPECT_EQ(display::state.scaleTable[255 * 256 + 77], 77);
    // The table stands for (a / 255.0L) * b truncated in 64-bit-significand extended
    // precision; where long double is that format, the two must agree everywhere.
    if constexpr (std::numeric_limits<long double>::digits == 64) {
        for (int a = 0; a < 256; ++a) {
            const long double rowScale = static_cast<long double>(a) / 255.0L;
            for (int b = 0; b < 256; ++b) {
                ASSERT_EQ(display::state.scaleTable[a * 256 + b],
                          static_cast<int>(rowScale * static_cast<long double>(b)))
                    << a << " x " << b;
            }
        }
    }
    EXPECT_EQ(display::state.scaleTable[77 * 256 + 255], 77);
    EXPECT_EQ(display::state.scaleTable[1 * 256 + 254], 0);
}

TEST_F(EngineTest, WordOperationsDropTheRemainderOfTheCount) {
    std::vector<std::uint8_t> bytes(10, 0xAA);
    display::fillBuffer(bytes.data(), 7, 0x04030201);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3, 4, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));

    const std::vector<std::uint8_t> source{9, 8, 7, 6, 5, 4};
    std::vector<std::uint8_t> copy(6, 0);
    display::copyBuffer(source.data(), copy.data(), 6);
    EXPECT_EQ(copy, (std::vector<std::uint8_t>{9, 8, 7, 6, 0, 0}));

    display::clearBuffer(bytes.data(), 9);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0xAA, 0xAA}));

    std::vector<std::uint8_t> palette(768, 0);
    display::fillBuffer(palette.data(), 768, 0x3F3F3F3F);
    EXPECT_TRUE(std::all_of(palette.begin(), palette.end(), [](auto v) { return v == 63; }));
}

TEST_F(EngineTest, AddSaturatesAndHonoursItsCount) {
    const std::vector<std::uint8_t> source{100, 10, 50};
    std::vector<std::uint8_t> destination{200, 20, 7};
    display::addBuffer(source.data(), destination.data(), 2);
    EXPECT_EQ(destination, (std::vector<std::uint8_t>{255, 30, 7}));
}

TEST_F(EngineTest, DarkenAndBrightenClampTheAmountAsUnsigned) {
    auto bright = picture(254);
    display::darkenBuffer(bright.data(), 300);
    EXPECT_TRUE(std::all_of(bright.begin(), bright.end(), [](auto v) { return v == 0; }));

    auto mid = picture(100);
    display::darkenBuffer(mid.data(), -1);  // acts as 255
    EXPECT_EQ(mid[0], 0);

    auto ramp = picture(0);
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<std::uint8_t>(i * 7);
    }
    auto same = ramp;
    display::brightenBuffer(same.data(), 0);
    EXPECT_EQ(same, ramp);
    display::brightenBuffer(same.data(), 16);
    EXPECT_EQ(same[1], 23);
    EXPECT_EQ(same[36], 255);  // 252 + 16 saturates
    display::darkenBuffer(same.data(), 20);
    EXPECT_EQ(same[1], 3);
    EXPECT_EQ(same[2], 10);  // 14 + 16 - 20
}

TEST_F(EngineTest, CrossFadeWeighsAAgainstB) {
    auto a = picture(200);
    auto b = picture(100);
    a[5] = 17;
    auto destination = picture(0);
    display::crossFade(a.data(), b.data(), destination.data(), 128);
    EXPECT_EQ(destination[0], 149);
    display::crossFade(a.data(), b.data(), destination.data(), 255);
    EXPECT_EQ(destination, a);
    display::crossFade(a.data(), b.data(), destination.data(), 0);
    EXPECT_EQ(destination, b);
    // In place into A, and a level past 255 acts as 255 rather than reading past the table.
    display::crossFade(a.data(), b.data(), a.data(), 128);
    EXPECT_EQ(a[0], 149);
    display::crossFade(b.data(), a.data(), destination.data(), 1000);
    EXPECT_EQ(destination, b);
}

TEST_F(EngineTest, BlurSmearsTowardLowerRightWithZeroOutside) {
    auto p = picture(0);
    p[320 * 100 + 160] = 200;
    display::blurBuffer(p.data());
    // Before the bright pixel nothing changes except its upper and left neighbours.
    EXPECT_EQ(p[320 * 99 + 160], 50);
    EXPECT_EQ(p[320 * 100 + 159], 50);
    EXPECT_EQ(p[320 * 99 + 159], 0);
    // The centre then reads its already-blurred left and upper neighbours: (50 + 50) >> 2.
    EXPECT_EQ(p[320 * 100 + 160], 25);
    // Right neighbour: left 25 and upper 12 (which itself took 50 from its left): 37 >> 2.
    EXPECT_EQ(p[320 * 99 + 161], 12);
    EXPECT_EQ(p[320 * 100 + 161], 9);
    EXPECT_EQ(p[320 * 101 + 160], (p[320 * 101 + 159] + 25) >> 2);

    auto white = picture(255);
    display::blurBuffer(white.data());
    // First pixel: no left, no upper neighbour.
    EXPECT_EQ(white[0], (0 + 255 + 0 + 255) >> 2);
    EXPECT_EQ(white[1], (white[0] + 255 + 0 + 255) >> 2);
    // Last pixel: no right, no lower neighbour.
    EXPECT_EQ(white[63999], (white[63998] + 0 + white[63679] + 0) >> 2);
    // Row ends run on into the next row: the first pixel of row 1 reads the last of row 0.
    EXPECT_EQ(white[320], (white[319] + 255 + white[0] + 255) >> 2);
}

TEST_F(EngineTest, ThumbnailCapturesEveryFourthPixelAndStampsSaturating) {
    auto source = picture(0);
    for (int r = 0; r < 200; ++r) {
        for (int c = 0; c < 320; ++c) {
            source[r * 320 + c] = static_cast<std::uint8_t>(r + 3 * c);
        }
    }
    display::captureThumbnail(source.data());
    EXPECT_EQ(display::state.thumbnail[0], 0);
    EXPECT_EQ(display::state.thumbnail[1], 12);  // column 4 of row 0
    EXPECT_EQ(display::state.thumbnail[80], 4);  // row 4, column 0
    EXPECT_EQ(display::state.thumbnail[49 * 80 + 79], static_cast<std::uint8_t>(196 + 3 * 316));

    auto destination = picture(250);
    display::stampThumbnail(destination.data() + 240);
    for (int r = 0; r < 200; ++r) {
        for (int c = 0; c < 320; ++c) {
            const std::uint8_t got = destination[r * 320 + c];
            if (r < 50 && c >= 240) {
                const int added = 250 + display::state.thumbnail[r * 80 + c - 240];
                ASSERT_EQ(got, std::min(added, 255)) << r << "," << c;
            } else {
                ASSERT_EQ(got, 250) << r << "," << c;
            }
        }
    }
}

}  // namespace
