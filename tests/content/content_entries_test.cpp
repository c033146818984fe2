// The generated entries against the uses the show makes of them: shapes and capacities,
// palette ramps and frame colours, seamless strips, sprites that fade out, the tunnel remap.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "content/entries.h"
#include "raster/plasma.h"
#include "raster/state.h"

namespace {

const std::vector<content::Bytes>& entries() {
    static const std::vector<content::Bytes> all = content::buildAllEntries();
    return all;
}

int luma(const content::Palette& p, int i) {
    // Integer luma weights (sum 100) on the 6-bit channels.
    return 30 * p[i * 3u] + 59 * p[i * 3u + 1] + 11 * p[i * 3u + 2];
}

TEST(ContentEntries, EveryEntryHasItsShapeAndFitsItsSlot) {
    ASSERT_EQ(entries().size(), 36u);
    for (int i = 0; i < content::kEntryCount; ++i) {
        const std::size_t size = entries()[static_cast<std::size_t>(i)].size();
        SCOPED_TRACE(i);
        EXPECT_LE(size, core::entryCapacity(i));
        if (content::entryKind(i) == content::EntryKind::dancer) {
            EXPECT_GT(size, 1000u);
        } else {
            EXPECT_EQ(size, content::entryShapeBytes(i));
        }
    }
    // Spot checks of the load list's odd shapes.
    EXPECT_EQ(entries()[0].size(), 131072u);
    EXPECT_EQ(entries()[5].size(), 65536u);  // widened to words by the program after loading
    EXPECT_EQ(entries()[17].size(), 65536u);
    EXPECT_EQ(entries()[18].size(), 32000u);
    EXPECT_EQ(entries()[19].size(), 19320u);  // 743 x 26 and two dark bytes to fill the slot
    EXPECT_EQ(entries()[29].size(), 64768u);
    EXPECT_EQ(entries()[33].size(), 65536u);
}

TEST(ContentEntries, PalettesAreRampsThroughTheFrameColoursToo) {
    // Smooth pictures, dimmed, mapped and grained, land on every index: a colour that stood
    // out of the ramp at the frames' indices 100 and 200 would draw contour lines across them.
    const content::Palette b = content::makePaletteB();
    for (const content::Palette& p : {content::makePaletteA(), b}) {
        EXPECT_EQ(p[0] + p[1] + p[2], 0) << "index 0 is black";
        EXPECT_GE(luma(p, 255), 98 * 63) << "the ramp ends near white";
        for (std::uint8_t v : p) {
            EXPECT_LE(v, 63);
        }
        for (int i = 1; i < 256; ++i) {
            EXPECT_GE(luma(p, i), luma(p, i - 1)) << "brightness falls at " << i;
            int step = 0;
            for (int c = 0; c < 3; ++c) {
                step += std::abs(p[i * 3u + c] - p[(i - 1) * 3u + c]);
            }
            EXPECT_LE(step, 4) << "a jump in colour at " << i;
        }
    }
    // Entries 1 and 30 are these palettes, and entry 29 carries B after its picture.
    const content::Palette a = content::makePaletteA();
    EXPECT_TRUE(std::equal(a.begin(), a.end(), entries()[1].begin()));
    EXPECT_TRUE(std::equal(b.begin(), b.end(), entries()[30].begin()));
    EXPECT_TRUE(std::equal(b.begin(), b.end(), entries()[29].begin() + 64000));
    EXPECT_NE(a, b);
}

TEST(ContentEntries, PicturesLeaveTheFrameColoursToTheFrames) {
    for (int i = 0; i < content::kEntryCount; ++i) {
        const content::EntryKind kind = content::entryKind(i);
        if (kind == content::EntryKind::remapTable || kind == content::EntryKind::palette ||
            kind == content::EntryKind::dancer || kind == content::EntryKind::heightMap) {
            continue;
        }
        const content::Bytes& e = entries()[static_cast<std::size_t>(i)];
        const std::size_t end = i == 29 ? 64000 : e.size();
        const auto used = std::count_if(e.begin(), e.begin() + static_cast<long>(end),
                                        [](std::uint8_t v) { return v == 100 || v == 200; });
        EXPECT_EQ(used, 0) << "entry " << i;
    }
}

TEST(ContentEntries, PicturesUseTheRangeAndAreNotBlank) {
    for (int i : {7, 8, 9, 10, 11, 12, 13, 15, 16, 24, 25, 31, 34, 35}) {
        const content::Bytes& e = entries()[static_cast<std::size_t>(i)];
        const auto [lo, hi] = std::minmax_element(e.begin(), e.begin() + 64000);
        EXPECT_LT(*lo, 40) << "entry " << i;
        EXPECT_GT(*hi, 200) << "entry " << i;
    }
}

TEST(ContentEntries, TitleStripWrapsWithoutASeam) {
    const content::Bytes& strip = entries()[18];
    auto rowDifference = [&](int a, int b) {
        int sum = 0;
        for (int x = 0; x < 32; ++x) {
            sum += std::abs(strip[a * 32u + x] - strip[b * 32u + x]);
        }
        return sum;
    };
    int largestInside = 0;
    for (int y = 1; y < 1000; ++y) {
        largestInside = std::max(largestInside, rowDifference(y - 1, y));
    }
    // Row 999 runs into row 0 of the second copy: no harder step than any inside the strip,
    // and the blank rows around the wrap match exactly.
    EXPECT_LE(rowDifference(999, 0), largestInside / 4);
    EXPECT_GT(largestInside, 0);
    EXPECT_EQ(rowDifference(999, 499), 0);
    EXPECT_EQ(rowDifference(0, 500), 0);
}

TEST(ContentEntries, BandScrollsRoundWithoutAJump) {
    const content::Bytes& band = entries()[19];
    constexpr int kWidth = 743;
    for (int y = 0; y < 26; ++y) {
        // The window wraps from offset 699 to 0: columns 700.. must show what 0.. shows.
        for (int x = 0; x < kWidth - 700; ++x) {
            ASSERT_EQ(band[y * kWidth + 700u + x], band[y * kWidth + static_cast<unsigned>(x)])
                << "row " << y << " column " << x;
        }
        // Past a row's end the window reads the next row's first columns; those hold only
        // the rail, which differs little from row to row.
        if (y + 1 < 26) {
            EXPECT_LE(std::abs(band[(y + 1) * kWidth + 5u] - band[y * kWidth + 5u]), 40);
        }
    }
    EXPECT_EQ(band[25 * kWidth + 5u], 0) << "the last row fades out before the unread bytes";
    EXPECT_GT(*std::max_element(band.begin(), band.end()), 200) << "the lettering is there";
}

TEST(ContentEntries, BandTitleReadsOverTheWireframeBall) {
    // The ball's lines are added under the band. Where the band adds rail or haze around the
    // letters, the lines there light up as brightly as the letters and the title dissolves;
    // so around the letters the band adds nothing, and the letters themselves come near white.
    const content::Bytes& band = entries()[19];
    constexpr int kWidth = 743;
    auto at = [&](int x, int y) { return static_cast<int>(band[y * kWidth + x]); };
    int firstRow = 26, lastRow = -1;
    for (int y = 0; y < 26; ++y) {
        for (int x = 356; x <= 664; ++x) {
            if (at(x, y) >= 200) {
                firstRow = std::min(firstRow, y);
                lastRow = std::max(lastRow, y);
                continue;
            }
            bool letterEdge = false;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int ny = y + dy;
                    letterEdge = letterEdge || (ny >= 0 && ny < 26 && at(x + dx, ny) >= 200);
                }
            }
            if (!letterEdge) {
                ASSERT_LE(at(x, y), 8) << "light around the title at column " << x << " row " << y;
            }
        }
    }
    EXPECT_GE(lastRow - firstRow, 10) << "the title is there";
}

TEST(ContentEntries, SpritesFadeToNothingAtTheirEdges) {
    for (int i : {4, 14, 32, 33}) {
        const content::Bytes& s = entries()[static_cast<std::size_t>(i)];
        int edgeSum = 0;
        for (int k = 0; k < 256; ++k) {
            edgeSum += s[k] + s[255u * 256 + k] + s[k * 256u] + s[k * 256u + 255];
        }
        EXPECT_EQ(edgeSum, 0) << "entry " << i;
        EXPECT_GT(*std::max_element(s.begin(), s.end()), 200) << "entry " << i;
    }
}

TEST(ContentEntries, TunnelRemapHasCharacterAndNoSeams) {
    const content::Bytes& remap = entries()[0];
    auto texel = [&](int depth, int angle) {
        const std::size_t i = (static_cast<std::size_t>(depth & 255) * 256 + (angle & 255)) * 2;
        return std::pair<int, int>{remap[i + 1], remap[i]};  // (row, column)
    };
    auto wrapDistance = [](int a, int b) {
        const int d = std::abs(a - b) & 255;
        return std::min(d, 256 - d);
    };
    int notIdentity = 0;
    for (int depth = 0; depth < 256; ++depth) {
        for (int angle = 0; angle < 256; ++angle) {
            const auto here = texel(depth, angle);
            const auto right = texel(depth, angle + 1);
            const auto down = texel(depth + 1, angle);
            // Neighbours stay neighbours, also across the wrap of angle and depth.
            ASSERT_LE(wrapDistance(here.first, right.first), 3) << depth << "," << angle;
            ASSERT_LE(wrapDistance(here.second, right.second), 3) << depth << "," << angle;
            ASSERT_LE(wrapDistance(here.first, down.first), 4) << depth << "," << angle;
            ASSERT_LE(wrapDistance(here.second, down.second), 4) << depth << "," << angle;
            notIdentity += here != std::pair<int, int>{depth, angle};
        }
    }
    EXPECT_GT(notIdentity, 60000);
}

// A tiling map changes no more across its wrap (last row to first, last column to first)
// than between some pair of neighbouring rows or columns inside it.
void expectTiles(const content::Bytes& map, int entry) {
    auto at = [&](int x, int y) {
        return map[static_cast<std::size_t>(y & 255) * 256 + (x & 255)];
    };
    auto rowStep = [&](int y) {
        long sum = 0;
        for (int k = 0; k < 256; ++k) {
            sum += std::abs(at(k, y) - at(k, y + 1));
        }
        return sum;
    };
    auto columnStep = [&](int x) {
        long sum = 0;
        for (int k = 0; k < 256; ++k) {
            sum += std::abs(at(x, k) - at(x + 1, k));
        }
        return sum;
    };
    long rowMax = 0, columnMax = 0;
    for (int k = 0; k < 255; ++k) {
        rowMax = std::max(rowMax, rowStep(k));
        columnMax = std::max(columnMax, columnStep(k));
    }
    EXPECT_LE(rowStep(255), rowMax) << "entry " << entry;
    EXPECT_LE(columnStep(255), columnMax) << "entry " << entry;
    EXPECT_GT(rowMax, 0) << "entry " << entry;
}

TEST(ContentEntries, MapsThatWrapTileWithoutSeams) {
    for (int i : {2, 3, 5, 6}) {
        expectTiles(entries()[static_cast<std::size_t>(i)], i);
    }
}

TEST(ContentEntries, SkyBrightensTowardTheHorizon) {
    // The landscape shows the sky from about row 25 down; the light gathers low.
    const content::Bytes& sky = entries()[7];
    auto bandMean = [&](int y0, int y1) {
        long sum = 0;
        for (int i = y0 * 320; i < y1 * 320; ++i) {
            sum += sky[static_cast<std::size_t>(i)];
        }
        return sum / ((y1 - y0) * 320);
    };
    EXPECT_LT(bandMean(20, 60), bandMean(100, 140));
    EXPECT_LT(bandMean(100, 140), bandMean(160, 200));
    EXPECT_LT(bandMean(0, 40), 40) << "a dark sky above, for the stars";
}

TEST(ContentEntries, LandscapeHasHillsAndValleys) {
    const content::Bytes& heights = entries()[5];
    int low = 0, high = 0;
    for (std::uint8_t b : heights) {
        low += (b >> 3) < 6;
        high += (b >> 3) > 24;
    }
    EXPECT_GT(low, 2000);
    EXPECT_GT(high, 1000);
    // Both maps wrap: the first and last rows and columns are neighbours on the ground.
    for (int k = 0; k < 256; ++k) {
        EXPECT_LE(std::abs(heights[k] - heights[255u * 256 + k]), 48);
        EXPECT_LE(std::abs(heights[k * 256u] - heights[k * 256u + 255]), 48);
    }
}

TEST(ContentEntries, WindowSceneFlashesOnlyLightColumnsThatAreRedrawn) {
    // Columns outside the zoom window would keep every flash added onto them.
    const content::Bytes& flashes = entries()[20];
    const content::Bytes& captions = entries()[21];
    for (int y = 0; y < 200; ++y) {
        for (int x = 307; x < 320; ++x) {
            ASSERT_EQ(flashes[y * 320u + x], 0) << x << "," << y;
            ASSERT_EQ(captions[y * 320u + x], 0) << x << "," << y;
        }
        for (int x = 0; x < 52; ++x) {
            ASSERT_EQ(flashes[y * 320u + x], 0) << x << "," << y;
        }
    }
}

TEST(ContentEntries, CaptionThatIsAddedAtColumn72StaysOnItsRows) {
    // Entry 28 is added 9600 bytes long from row 85, column 72: strip columns 248..319 would
    // spill onto the next screen row's start, so they stay dark.
    const content::Bytes& strip = entries()[28];
    for (int y = 0; y < 30; ++y) {
        for (int x = 248; x < 320; ++x) {
            ASSERT_LT(strip[y * 320u + x], 8) << x << "," << y;
        }
    }
}

TEST(ContentEntries, LogoIsTheOpeningArtInColour) {
    const content::Bytes logo = content::buildLogoRgb();
    ASSERT_EQ(logo.size(), 213u * 133u * 3u);
    const auto [lo, hi] = std::minmax_element(logo.begin(), logo.end());
    EXPECT_LT(*lo, 20);
    EXPECT_GT(*hi, 230);
}

TEST(ContentEntries, EntryThirtyThreeReadsAsAPictureInBothWidths) {
    // The show draws entry 33 as a 256-wide sprite and puts it on screen 320 wide. A picture
    // read at the wrong width shears: each row lands 64 pixels off the one above, and the
    // picture changes far more from row to row than along a row. Read either way, this one
    // changes no more down than across.
    const content::Bytes& entry = entries()[33];
    for (const auto& size : {std::pair{256, 256}, std::pair{320, 200}}) {
        // Plain names: clang 14 refuses a lambda that captures a structured binding.
        const int width = size.first;
        const int height = size.second;
        double down = 0.0;
        double across = 0.0;
        for (int y = 0; y + 1 < height; ++y) {
            for (int x = 0; x + 1 < width; ++x) {
                const auto at = [&](int dx, int dy) {
                    return static_cast<int>(
                        entry[static_cast<std::size_t>((y + dy) * width + x + dx)]);
                };
                down += std::abs(at(0, 1) - at(0, 0));
                across += std::abs(at(1, 0) - at(0, 0));
            }
        }
        EXPECT_LE(down, across * 1.2) << width << " wide";
        EXPECT_GT(across, 0.0);
    }
}

TEST(ContentEntries, SmoothPicturesThroughTheZoomWindowShowNoContourLines) {
    // The zoom window magnifies the marble field and dims it row by row, landing its smooth
    // gradients on every index. In the first palette none of them may light up as a thin
    // line: no pixel inside the window is brighter than all four of its neighbours by much.
    std::vector<std::uint8_t> source(256 * 320, 0);
    const content::Bytes& marble = entries()[17];
    std::copy(marble.begin(), marble.end(), source.begin());
    const content::Palette a = content::makePaletteA();
    std::vector<std::uint8_t> picture(64000, 0);
    int lines = 0;
    for (int frame = 0; frame < 8; ++frame) {
        const raster::ZoomCentre centre{.x = static_cast<std::uint8_t>(frame * 9),
                                        .y = static_cast<std::uint8_t>(frame * 5)};
        raster::plasmaZoom(source.data(), picture.data(), raster::plasmaMapFromWave(), centre);
        for (int y = 2; y < 198; ++y) {
            for (int x = 34; x < 286; ++x) {
                const auto l = [&](int dx, int dy) {
                    return luma(a, picture[static_cast<std::size_t>((y + dy) * 320 + x + dx)]);
                };
                const int margin = 1200;  // a fifth of the way from black to white
                lines += l(0, 0) > l(1, 0) + margin && l(0, 0) > l(-1, 0) + margin &&
                                 l(0, 0) > l(0, 1) + margin && l(0, 0) > l(0, -1) + margin
                             ? 1
                             : 0;
            }
        }
    }
    raster::state.plasmaWave = raster::plasmaWaveStart;
    EXPECT_LE(lines, 10);
}

}  // namespace
