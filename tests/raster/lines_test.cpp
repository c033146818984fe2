#include "raster/lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kWidth = 320;
using Picture = std::array<std::uint8_t, 64000>;

// The plain walk, one pixel per step, clipping each pixel: what addLine must reproduce.
void referenceLine(Picture& p, int x1, int y1, int x2, int y2) {
    const bool inside =
        x1 >= 0 && x1 < 320 && x2 >= 0 && x2 < 320 && y1 >= 0 && y1 < 200 && y2 >= 0 && y2 < 200;
    const int light = inside ? 50 : 20;
    const int sx = x2 >= x1 ? 1 : -1;
    const int sy = y2 >= y1 ? 1 : -1;
    const int dx = std::abs(x2 - x1);
    const int dy = std::abs(y2 - y1);
    int err = (dx - dy) >> 1;
    int x = x1;
    int y = y1;
    for (;;) {
        if (x >= 0 && x < 320 && y >= 0 && y < 200) {
            p[y * kWidth + x] = static_cast<std::uint8_t>(std::min(p[y * kWidth + x] + light, 255));
        }
        if (dx >= dy) {
            if (err <= 0) {
                err += dx;
                y += sy;
            }
            err -= dy;
            x += sx;
            if (x == x2 + sx) {
                break;
            }
        } else {
            if (err > 0) {
                err -= dy;
                x += sx;
            }
            err += dx;
            y += sy;
            if (y == y2 + sy) {
                break;
            }
        }
    }
}

int litCount(const Picture& p) {
    return static_cast<int>(std::count_if(p.begin(), p.end(), [](std::uint8_t b) { return b; }));
}

TEST(AddLine, WholeLineGets50AndAClippedOne20) {
    Picture p{};
    raster::addLine(p.data(), 10, 5, 13, 5);
    for (int x = 10; x <= 13; ++x) {
        EXPECT_EQ(p[5 * kWidth + x], 50);
    }
    EXPECT_EQ(litCount(p), 4);

    p.fill(0);
    raster::addLine(p.data(), 10, 5, 400, 5);
    EXPECT_EQ(p[5 * kWidth + 10], 20);
    EXPECT_EQ(p[5 * kWidth + 319], 20);
    EXPECT_EQ(litCount(p), 310);  // nothing wrapped onto row 6

    p.fill(240);
    raster::addLine(p.data(), 7, 9, 7, 9);
    EXPECT_EQ(p[9 * kWidth + 7], 255);
}

TEST(AddLine, MatchesThePlainWalkOnAndAroundThePicture) {
    std::uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
    };
    for (int trial = 0; trial < 4000; ++trial) {
        const int spread = trial < 2000 ? 700 : 5000;
        const int x1 = next(spread) - spread / 2 + 160;
        const int y1 = next(spread) - spread / 2 + 100;
        const int x2 = trial % 7 == 0 ? x1 + next(3) - 1 : next(spread) - spread / 2 + 160;
        const int y2 = trial % 5 == 0 ? y1 + next(3) - 1 : next(spread) - spread / 2 + 100;
        Picture expected{};
        Picture actual{};
        referenceLine(expected, x1, y1, x2, y2);
        raster::addLine(actual.data(), x1, y1, x2, y2);
        ASSERT_EQ(actual, expected) << x1 << "," << y1 << " -> " << x2 << "," << y2;
    }
}

TEST(AddLine, ExtremeEndPointsNeitherOverflowNorCrawl) {
    Picture p{};
    raster::addLine(p.data(), INT_MIN, 100, INT_MAX, 100);
    EXPECT_EQ(p[100 * kWidth], 20);
    EXPECT_EQ(p[100 * kWidth + 319], 20);
    EXPECT_EQ(litCount(p), 320);
    p.fill(0);
    raster::addLine(p.data(), INT_MAX, INT_MAX, INT_MIN, INT_MIN);  // the diagonal y = x
    EXPECT_EQ(p[0], 20);
    EXPECT_EQ(p[199 * kWidth + 199], 20);
    EXPECT_EQ(litCount(p), 200);
    p.fill(0);
    raster::addLine(p.data(), -1000000000, -999999993, 1000000000, 1000000007);  // y = x + 7
    EXPECT_EQ(p[7 * kWidth], 20);
    EXPECT_EQ(p[199 * kWidth + 192], 20);
    EXPECT_EQ(litCount(p), 193);
}

}  // namespace
