#include "raster/strips.h"
#include "raster/state.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/buffers.h"

namespace {

std::uint8_t stripPixel(int row, int column) {
    return static_cast<std::uint8_t>(row * 7 + column * 3 + row / 37);
}

class StripsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int r = 0; r < 1000; ++r) {
            for (int c = 0; c < 32; ++c) {
                core::buffers.titleStrip.first.data()[r * 32 + c] = stripPixel(r, c);
                core::buffers.titleStrip.second.data()[r * 32 + c] = stripPixel(r, c);
            }
        }
        for (std::size_t i = 0; i < core::buffers.flareBand.size(); ++i) {
            core::buffers.flareBand[i] = static_cast<std::uint8_t>(1 + i % 7);
        }
        raster::state.stripOffset = 0;
        raster::state.bandOffset = 0;
    }
};

TEST_F(StripsTest, StripScrollsOneRowPerCallAndWrapsAfter999) {
    std::vector<std::uint8_t> picture(64000, 0);
    raster::scrollStrip(picture.data() + 10);
    EXPECT_EQ(raster::state.stripOffset, 32u);
    EXPECT_EQ(picture[10], stripPixel(1, 0));  // the first call starts at the second row
    EXPECT_EQ(picture[199 * 320 + 41], stripPixel(200, 31));
    EXPECT_EQ(picture[9], 0);
    EXPECT_EQ(picture[42], 0);
    for (int call = 2; call <= 999; ++call) {
        raster::scrollStrip(picture.data() + 10);
    }
    EXPECT_EQ(raster::state.stripOffset, 31968u);
    // The window starts at the image's last row and runs on into the second copy without a seam.
    EXPECT_EQ(picture[10], stripPixel(999, 0));
    for (int r = 1; r < 200; ++r) {
        ASSERT_EQ(picture[r * 320 + 10 + 5], stripPixel(r - 1, 5)) << r;
    }
    raster::scrollStrip(picture.data() + 10);
    EXPECT_EQ(raster::state.stripOffset, 0u);
    EXPECT_EQ(picture[10], stripPixel(0, 0));
}

TEST_F(StripsTest, BandScrollsSaturatesAndReadsZeroPastTheImage) {
    std::vector<std::uint8_t> white(64000, 255);
    raster::addBand(white.data() + 54400);
    EXPECT_EQ(raster::state.bandOffset, 1u);
    EXPECT_TRUE(std::all_of(white.begin(), white.end(), [](auto v) { return v == 255; }));

    std::vector<std::uint8_t> picture(240000, 10);
    raster::addBand(picture.data() + 54400);
    EXPECT_EQ(picture[54400], 10 + core::buffers.flareBand[2]);
    EXPECT_EQ(picture[54400 + 320 * 25 + 319], 10 + core::buffers.flareBand[743 * 25 + 2 + 319]);
    EXPECT_EQ(picture[54400 + 320 * 26], 10);

    // A window past column 423 runs on into the next source row.
    raster::state.bandOffset = 499;
    raster::addBand(picture.data());
    EXPECT_EQ(picture[300], 10 + core::buffers.flareBand[743 + 57]);

    // The last offset: the last row has 46 source bytes left; the rest of it adds nothing.
    std::fill(picture.begin(), picture.end(), 10);
    raster::state.bandOffset = 698;
    raster::addBand(picture.data());
    EXPECT_EQ(raster::state.bandOffset, 699u);
    EXPECT_EQ(picture[320 * 25 + 45], 10 + core::buffers.flareBand[19319]);
    EXPECT_EQ(picture[320 * 25 + 46], 10);
    EXPECT_EQ(picture[320 * 25 + 319], 10);
    raster::addBand(picture.data());
    EXPECT_EQ(raster::state.bandOffset, 0u);
}

TEST_F(StripsTest, FadeEdgesDarkensTopRowsAndTheBottomRuns) {
    // A work buffer of the show's size, so the runs past the picture land inside it.
    std::vector<std::uint8_t> work(core::kScenePageBytes, 255);
    raster::fadeEdges(work.data());
    const int topExpected[5] = {5, 55, 105, 155, 205};
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(work[row * 320 + 17], topExpected[row]) << row;
    }
    for (int i = 5 * 320; i < 62000; ++i) {
        ASSERT_EQ(work[i], 255) << i;  // rows 5..192 and columns 0..239 of row 193
    }
    EXPECT_EQ(work[62000], 255);  // run 0 loses 0
    EXPECT_EQ(work[62320], 230);  // run 1 loses 25
    EXPECT_EQ(work[63999], 105);  // run 6, the picture's last byte
    EXPECT_EQ(work[65519], 5);    // run 10, past the picture
    EXPECT_EQ(work[65520], 255);

    std::vector<std::uint8_t> dim(core::kScenePageBytes, 30);
    raster::fadeEdges(dim.data());
    EXPECT_EQ(dim[0], 0);
    EXPECT_EQ(dim[4 * 320], 0);
    EXPECT_EQ(dim[62320], 5);
    EXPECT_EQ(dim[62640], 0);
}

}  // namespace
