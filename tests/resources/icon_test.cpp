// The menu icon: area-averaging resample (flat stays flat, averages are exact, upscaling
// repeats), and the square frame built from the logo.
#include "resources/icon.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/logo.h"

namespace {

using Pixels = std::vector<std::uint8_t>;

TEST(IconResample, AveragesAreasAndKeepsFlatColour) {
    // 2x2 to 1x1: the rounded mean of each channel.
    const Pixels square = {0, 10, 255, 1, 20, 255, 2, 30, 0, 4, 41, 0};
    EXPECT_EQ(resources::resampleRgb(square, 2, 2, 1, 1), (Pixels{2, 25, 128}));
    // 3 columns to 2: the middle column is split between both halves.
    const Pixels row = {0, 0, 0, 90, 90, 90, 180, 180, 180};
    EXPECT_EQ(resources::resampleRgb(row, 3, 1, 2, 1), (Pixels{30, 30, 30, 150, 150, 150}));
    // Upscaling by a whole factor repeats each pixel.
    const Pixels two = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(resources::resampleRgb(two, 2, 1, 4, 1),
              (Pixels{1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6}));
    // A flat picture stays flat at a size that shares no factor with the source.
    const Pixels flat(7 * 5 * 3, 77);
    const Pixels out = resources::resampleRgb(flat, 7, 5, 13, 11);
    ASSERT_EQ(out.size(), 13u * 11 * 3);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](std::uint8_t v) { return v == 77; }));
}

TEST(Icon, FrameIsTheBottleColumnsOfTheLogoCentred) {
    const Pixels frame = resources::iconFrameRgb();
    constexpr int kSide = resources::kLogoHeight;
    ASSERT_EQ(frame.size(), static_cast<std::size_t>(kSide * kSide * 3));
    const auto logo = resources::logoPixelsRgb();
    // Some row through the bottle: the frame's middle column is the logo's bottle centre.
    auto brightness = [](const std::uint8_t* p) { return p[0] + p[1] + p[2]; };
    int brightLeft = 0;
    int brightRight = 0;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int b = brightness(&frame[(static_cast<std::size_t>(y) * kSide + x) * 3]);
            if (b > 300) {
                (x < kSide / 2 ? brightLeft : brightRight) += 1;
            }
        }
    }
    // The bright bottle outline falls on both halves about equally; the title's letters
    // (right of the bottle in the logo) would make the right half far brighter.
    EXPECT_GT(brightLeft, 100);
    EXPECT_LT(std::abs(brightLeft - brightRight), brightLeft / 3);
    // Every frame pixel is a logo pixel of the same row.
    const std::size_t row = 60;
    for (int x = 0; x < kSide; ++x) {
        const std::uint8_t* p = &frame[(row * kSide + x) * 3];
        bool found = false;
        for (int lx = 0; lx < resources::kLogoWidth && !found; ++lx) {
            found = std::equal(p, p + 3, &logo[(row * resources::kLogoWidth + lx) * 3]);
        }
        EXPECT_TRUE(found) << x;
    }
    EXPECT_EQ(resources::iconRgb(48).size(), 48u * 48 * 3);
}

}  // namespace
