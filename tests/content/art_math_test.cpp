// The generator's own arithmetic and lettering: close to the library functions it replaces,
// and independent of them so the art is the same on every machine.
#include <gtest/gtest.h>

#include <cmath>

#include "content/art_math.h"
#include "content/canvas.h"

namespace {

TEST(ContentArtMath, TranscendentalsMatchTheLibraryClosely) {
    for (double x = -40.0; x <= 40.0; x += 0.173) {
        EXPECT_NEAR(content::detSin(x), std::sin(x), 1e-13) << x;
        EXPECT_NEAR(content::detCos(x), std::cos(x), 1e-13) << x;
    }
    for (double x = -30.0; x <= 30.0; x += 0.37) {
        EXPECT_NEAR(content::detExp(x) / std::exp(x), 1.0, 1e-13) << x;
    }
    for (double y = -3.0; y <= 3.0; y += 0.41) {
        for (double x = -3.0; x <= 3.0; x += 0.53) {
            EXPECT_NEAR(content::detAtan2(y, x), std::atan2(y, x), 1e-13) << y << "," << x;
        }
    }
    EXPECT_EQ(content::detAtan2(0.0, 0.0), 0.0);
    EXPECT_NEAR(content::detAtan2(0.0, -1.0), content::kPi, 1e-15);
}

TEST(ContentArtMath, RoundingAndBytes) {
    EXPECT_EQ(content::roundToInt(2.5), 3);
    EXPECT_EQ(content::roundToInt(-2.5), -3);
    EXPECT_EQ(content::roundToInt(-0.49), 0);
    EXPECT_EQ(content::toByte(-1.0), 0);
    EXPECT_EQ(content::toByte(2.0), 255);
    EXPECT_EQ(content::toByte(0.5), 128);
}

TEST(ContentArtMath, TiledNoiseRepeatsOverItsPeriod) {
    for (double y = 0.0; y < 4.0; y += 0.37) {
        for (double x = 0.0; x < 4.0; x += 0.29) {
            const double v = content::tiledFbm(x, y, 4, 4, 0.5, 9);
            EXPECT_NEAR(v, content::tiledFbm(x + 4.0, y, 4, 4, 0.5, 9), 1e-12);
            EXPECT_NEAR(v, content::tiledFbm(x, y + 4.0, 4, 4, 0.5, 9), 1e-12);
            EXPECT_GE(v, 0.0);
            EXPECT_LE(v, 1.0);
        }
    }
}

TEST(ContentArtMath, IndicesSkipTheFrameColours) {
    content::Canvas c(4, 1);
    c.at(0, 0) = 99.8 / 255.0;   // rounds to 100, lies below it
    c.at(1, 0) = 100.2 / 255.0;  // rounds to 100, lies above it
    c.at(2, 0) = 200.0 / 255.0;
    c.at(3, 0) = 1.0;
    const auto idx = content::toIndices(c);
    EXPECT_EQ(idx[0], 99);
    EXPECT_EQ(idx[1], 101);
    EXPECT_NE(idx[2], 200);
    EXPECT_EQ(idx[3], 255);
}

TEST(ContentFont, LettersHaveWidthAndStrokes) {
    EXPECT_DOUBLE_EQ(content::textWidth("A", 2.0), 8.0);
    EXPECT_DOUBLE_EQ(content::textWidth("AB", 1.0), 4.0 + 5.6);
    EXPECT_TRUE(content::textStrokes("~", 0, 0, 1.0).empty()) << "unknown glyphs draw nothing";
    // "T" is a bar and a stem; "I" adds serifs; both sit inside their 4 x 6 box.
    const auto t = content::textStrokes("T", 10, 20, 2.0);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_DOUBLE_EQ(t[0].x0, 10.0);
    EXPECT_DOUBLE_EQ(t[0].x1, 18.0);
    EXPECT_DOUBLE_EQ(t[1].y1, 32.0);
    EXPECT_EQ(content::textStrokes("I", 0, 0, 1.0).size(), 3u);
    // Centred text is centred.
    const auto c = content::centredText("O", 50, 50, 1.0);
    double minX = 1e9, maxX = -1e9;
    for (const auto& s : c) {
        minX = std::min({minX, s.x0, s.x1});
        maxX = std::max({maxX, s.x0, s.x1});
    }
    EXPECT_DOUBLE_EQ(minX + maxX, 100.0);
}

TEST(ContentCanvas, StrokesDrawOnceAtJoints) {
    content::Canvas c(40, 40);
    // Two segments meeting at (20, 20): the joint is as bright as the middle of a segment.
    content::addStrokes(c, {{5, 20.5, 20.5, 20.5}, {20.5, 20.5, 20.5, 35}}, 1.0, 0.5, 2.0, 0.0);
    EXPECT_DOUBLE_EQ(c.at(20, 20), c.at(12, 20));
    EXPECT_DOUBLE_EQ(c.at(12, 20), 0.5);
    EXPECT_DOUBLE_EQ(c.at(30, 5), 0.0);
}

}  // namespace
