#include "raster/gridmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

using raster::GridVertex;

constexpr std::size_t kWrittenBytes = 208 * 320 + 1;

// The mapper's own grid, texture and shade table, and a target exactly as large as it may
// write, so AddressSanitizer catches any overrun, plus a poisoned tail checked by hand in the
// normal build.
std::array<GridVertex, raster::kGridVertices> grid{};
std::vector<std::uint8_t> texture(65536);
std::vector<std::uint8_t> shade(65536);

struct GridMapFixture : ::testing::Test {
    std::vector<std::uint8_t> target = std::vector<std::uint8_t>(kWrittenBytes + 64, 0xEE);

    void SetUp() override {
        for (int row = 0; row < 256; ++row) {
            for (int column = 0; column < 256; ++column) {
                // Asymmetric in row and column, so a swap of u and v shows.
                texture[row * 256 + column] =
                    static_cast<std::uint8_t>(row * 3 + column * 5 + ((row * column) >> 4));
            }
        }
        for (int texel = 0; texel < 256; ++texel) {
            for (int light = 0; light < 256; ++light) {
                shade[texel * 256 + light] = static_cast<std::uint8_t>(texel ^ (light >> 1));
            }
        }
    }
    void draw() { raster::drawGridMapped({grid, texture.data(), shade.data(), target.data()}); }
    std::uint8_t pixel(int x, int y) const { return target[y * 320 + x]; }
};

// The mapper written out the plain way: nine samples per cell, every one stored.
std::vector<std::uint8_t> referenceMap() {
    std::vector<std::uint8_t> out(kWrittenBytes + 64, 0xEE);
    auto d = [](std::uint32_t a, std::uint32_t b) {
        return static_cast<std::uint32_t>(static_cast<std::int16_t>(b - a) >> 3);
    };
    std::uint32_t cur[41][3];
    for (int i = 0; i < 41; ++i) {
        cur[i][0] = grid[i].u;
        cur[i][1] = grid[i].v;
        cur[i][2] = grid[i].light;
    }
    for (int j = 0; j < 26; ++j) {
        const GridVertex* next = &grid[std::min(j + 1, 25) * 41];
        std::uint32_t step[41][3];
        for (int i = 0; i < 41; ++i) {
            step[i][0] = d(cur[i][0], next[i].u);
            step[i][1] = d(cur[i][1], next[i].v);
            step[i][2] = d(cur[i][2], next[i].light);
        }
        for (int row = j * 8; row < j * 8 + 8; ++row) {
            for (int i = 0; i < 40; ++i) {
                std::uint32_t s[3] = {cur[i][0], cur[i][1], cur[i][2]};
                for (int k = 0; k < 9; ++k) {
                    const int texel = texture[((s[1] >> 8) & 255) * 256 + ((s[0] >> 8) & 255)];
                    out[row * 320 + 8 * i + k] = shade[texel * 256 + ((s[2] >> 8) & 255)];
                    for (int c = 0; c < 3; ++c) {
                        s[c] += d(cur[i][c], cur[i + 1][c]);
                    }
                }
            }
            for (int i = 0; i < 41; ++i) {
                for (int c = 0; c < 3; ++c) {
                    cur[i][c] += step[i][c];
                }
            }
        }
    }
    return out;
}

TEST_F(GridMapFixture, ConstantGridFillsWithOneShadedTexel) {
    grid.fill(GridVertex{0x1234, 0x5678, 0x9ABC});
    draw();
    const std::uint8_t texel = texture[0x56 * 256 + 0x12];
    const std::uint8_t expected = shade[texel * 256 + 0x9A];
    EXPECT_TRUE(std::all_of(target.begin(), target.begin() + kWrittenBytes,
                            [&](std::uint8_t p) { return p == expected; }));
    // Nothing past the byte after row 207.
    EXPECT_TRUE(std::all_of(target.begin() + kWrittenBytes, target.end(),
                            [](std::uint8_t p) { return p == 0xEE; }));
}

TEST_F(GridMapFixture, HorizontalStepsAndTheShortWayAcrossTheWrap) {
    // u grows 8 texels per vertex: one texel per pixel. v stays on texture row 9.
    for (int row = 0; row < 26; ++row) {
        for (int i = 0; i < 41; ++i) {
            grid[row * 41 + i] = {i * 8 * 256, 9 * 256, 255 * 256};
        }
    }
    // In cell 3 of every row the u difference crosses the 16-bit wrap: 0xFF00 -> 0x0100
    // must step forward by 0x40 per pixel (texels 0xFF, 0xFF, 0xFF, 0xFF, 0x00, ...).
    for (int row = 0; row < 26; ++row) {
        grid[row * 41 + 3].u = 0xFF00;
        grid[row * 41 + 4].u = 0x10100;  // only the low 16 bits take part
    }
    draw();
    auto shaded = [](int u) { return shade[texture[9 * 256 + (u & 255)] * 256 + 255]; };
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(pixel(x, 37), shaded(x)) << x;
    }
    const int wrapTexels[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(pixel(24 + k, 37), shaded(wrapTexels[k])) << k;
    }
    EXPECT_EQ(pixel(32, 199), shaded(0x10100 >> 8));
}

TEST_F(GridMapFixture, MatchesThePlainNineSampleMapperOnAnIrregularGrid) {
    std::uint32_t state = 12345;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::int32_t>(state);
    };
    for (auto& vertex : grid) {
        vertex = {next(), next(), next()};
    }
    draw();
    EXPECT_EQ(target, referenceMap());
}

TEST_F(GridMapFixture, AccumulatesWithoutDriftAndRepeatsTheLastRow) {
    // Texel = texture row, shade = texel: a pixel shows bits 8..15 of v.
    for (int i = 0; i < 65536; ++i) {
        texture[i] = static_cast<std::uint8_t>(i >> 8);
        shade[i] = static_cast<std::uint8_t>(i >> 8);
    }
    // v rises 2055 per grid row: a step taken from the grid alone (2055 >> 3 = 256 per pixel
    // row) would lose 7 per cell row, 175 by grid row 25, and show texture row 199 there.
    for (int row = 0; row < 26; ++row) {
        for (int i = 0; i < 41; ++i) {
            grid[row * 41 + i] = {i * 256, row * 2055 - 75, 0};
        }
    }
    draw();
    EXPECT_EQ(target, referenceMap());
    EXPECT_EQ(pixel(0, 200), 200);  // grid row 25 is v = 200 * 256 + 100
    // Cell row 25 aims at a repeat of grid row 25: it stays on texture row 200.
    EXPECT_EQ(pixel(5, 207), 200);
    EXPECT_EQ(target[208 * 320], 200);  // the last ninth sample, on the byte after row 207
}

}  // namespace
