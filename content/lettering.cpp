// Lettering entries: the rotozoom's word flashes (15, 16), the title strip (18), the band under
// the ring of flares (19), the window scene's flashes and captions (20, 21) and the caption
// strips (26, 27, 28). All of it is drawn with the program's own stroke font.
#include <cmath>

#include "content/art_math.h"
#include "content/canvas.h"
#include "content/entries.h"

namespace content {

namespace {

void finish(Canvas& c) {
    for (double& v : c.pixels) {
        v = softClip(v);
    }
}

Bytes wordFlash(const char* word, std::uint32_t seed) {
    Canvas c(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const double dx = (x - 160.0) / 160.0;
            const double dy = (y - 100.0) / 60.0;
            c.at(x, y) = 0.25 / (1.0 + 4.0 * (dx * dx + dy * dy)) +
                         0.06 * tiledFbm(x / 40.0, y / 40.0, 8, 3, 0.5, seed);
        }
    }
    const auto letters = centredText(word, 160, 100, 9.0, 0.12);
    addStrokes(c, letters, 3.6, 1.0, 10.0, 0.5);
    finish(c);
    return toIndices(c);
}

// The window scene adds its flashes and captions onto a picture of which it redraws only the
// strip, the zoom window (columns 52..307) and, below row 110, the first 52 columns; light
// left anywhere else would pile up frame after frame. Clears everything outside first..last.
void keepToRedrawnColumns(Canvas& c, int first, int last) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            if (x < first || x > last) {
                c.at(x, y) = 0.0;
            }
        }
    }
}

// A caption line on a 320 x 30 strip, centred on column cx.
Bytes captionStrip(const char* text, double cx, double unit) {
    Canvas c(kPictureWidth, 30);
    addStrokes(c, centredText(text, cx, 15.0, unit, 0.1), unit * 0.32, 0.95, unit * 1.2, 0.3);
    finish(c);
    return toIndices(c);
}

}  // namespace

Bytes buildWordStorm() {
    return wordFlash("STORM", 15);
}
Bytes buildWordGlass() {
    return wordFlash("GLASS", 16);
}

Bytes buildTitleStrip() {
    // Two rounds of the title stacked letter by letter, 500 rows each, with a diamond for the
    // space; drawn with its copies one period above and below so that row 999 runs into row 0
    // without a seam.
    constexpr int kWidth = 32;
    constexpr int kRows = 1000;
    constexpr int kPeriod = 500;
    Canvas c(kWidth, kRows);
    const char* title = "STORMGLASS 2";
    for (int copy = -1; copy <= 2; ++copy) {
        for (int i = 0; i < 12; ++i) {
            const double cy = copy * kPeriod + 30.0 + i * 40.0;
            if (title[i] == ' ') {
                const std::vector<Segment> diamond = {{16, cy - 8, 24, cy},
                                                      {24, cy, 16, cy + 8},
                                                      {16, cy + 8, 8, cy},
                                                      {8, cy, 16, cy - 8}};
                addStrokes(c, diamond, 1.0, 0.8, 2.5, 0.25);
                continue;
            }
            const char glyph[2] = {title[i], '\0'};
            addStrokes(c, centredText(glyph, 16.0, cy, 4.0), 1.6, 1.0, 3.0, 0.3);
        }
    }
    // Two thin rails down the sides, the same on every row.
    for (int y = 0; y < kRows; ++y) {
        c.at(0, y) += 0.2;
        c.at(1, y) += 0.45;
        c.at(30, y) += 0.45;
        c.at(31, y) += 0.2;
    }
    finish(c);
    return toIndices(c);
}

Bytes buildFlareBand() {
    // 743 x 26, shown 320 wide at a column offset running 0..699. A rail of light that is the
    // same in every column, and lettering only in columns 330..690: the columns a window
    // reads beyond a row's end (the next row's first columns) then hold just the rail, as the
    // columns 700..742 do, so the scroll wraps without a visible jump.
    constexpr int kWidth = 743;
    constexpr int kRows = 26;
    Canvas c(kWidth, kRows);
    for (int y = 0; y < kRows; ++y) {
        const double d = (y - 12.5) / 3.0;
        const double rail = 0.22 / (1.0 + d * d) * (y == kRows - 1 ? 0.0 : 1.0);
        for (int x = 0; x < kWidth; ++x) {
            c.at(x, y) = rail;
        }
    }
    // The wireframe ball's lines are added under the title, a rail's worth brighter where the
    // rail lies; the title keeps its block free of rail and haze so that the lines crossing it
    // stay dim blue and only the letters reach white.
    for (int y = 0; y < kRows; ++y) {
        for (int x = 336; x <= 684; ++x) {
            c.at(x, y) *= 1.0 - smoothstep(336.0, 352.0, x) * (1.0 - smoothstep(668.0, 684.0, x));
        }
    }
    // Letters a little larger than the band's other art, so the M's middle stays open and does
    // not read as an N, with a solid core and no halo.
    const char* text = "STORMGLASS 2";
    const double unit = 3.0;
    addStrokes(c, centredText(text, 510.0, 13.0, unit, 0.1), 1.4, 1.3, 1.0, 0.0);
    for (double side : {348.0, 672.0}) {
        addGlow(c, side, 12.5, 2.0, 0.7);
    }
    // Keep columns outside the lettering to the rail alone.
    for (int y = 0; y < kRows; ++y) {
        const double d = (y - 12.5) / 3.0;
        const double rail = 0.22 / (1.0 + d * d) * (y == kRows - 1 ? 0.0 : 1.0);
        for (int x = 0; x < kWidth; ++x) {
            if (x < 330 || x > 690) {
                c.at(x, y) = rail;
            }
        }
    }
    finish(c);
    // The slot holds 19320 bytes, two more than 26 rows: they stay dark.
    Bytes out = toIndices(c);
    out.resize(19320, 0);
    return out;
}

Bytes buildWindowFlashes() {
    // Only rows 30..89 are shown, added over the zoom window.
    Canvas c(kPictureWidth, kPictureHeight);
    for (int y = 30; y < 90; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const double d = (y - 60.0) / 18.0;
            c.at(x, y) = 0.18 / (1.0 + d * d);
        }
    }
    addStrokes(c, centredText("STORM WARNING", 178, 60, 3.3, 0.12), 1.4, 1.0, 4.0, 0.35);
    finish(c);
    keepToRedrawnColumns(c, 52, 306);
    return toIndices(c);
}

Bytes buildWindowCaptions() {
    // Rows 0..59: the caption shown steadily under the zoom window; rows 130..189: the same
    // words lit up, shown on the beats instead.
    Canvas c(kPictureWidth, kPictureHeight);
    addStrokes(c, centredText("THE GLASS", 195, 18, 2.6, 0.1), 0.9, 0.55, 2.5, 0.12);
    addStrokes(c, centredText("IS FALLING", 195, 42, 2.6, 0.1), 0.9, 0.55, 2.5, 0.12);
    for (int y = 130; y < 190; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const double dx = (x - 195.0) / 70.0;
            const double dy = (y - 160.0) / 22.0;
            c.at(x, y) = 0.16 / (1.0 + dx * dx * dx * dx + dy * dy * dy * dy);
        }
    }
    addStrokes(c, centredText("THE GLASS", 195, 148, 2.6, 0.1), 1.1, 1.0, 4.0, 0.4);
    addStrokes(c, centredText("IS FALLING", 195, 172, 2.6, 0.1), 1.1, 1.0, 4.0, 0.4);
    finish(c);
    keepToRedrawnColumns(c, 0, 306);
    return toIndices(c);
}

Bytes buildCaptionTitle() {
    return captionStrip("STORMGLASS 2", 160.0, 3.2);
}
Bytes buildCaptionLinux() {
    return captionStrip("A DEMO FOR LINUX", 160.0, 2.6);
}
// Added at column 72 of its first row, so the screen's centre is the strip's column 88.
Bytes buildCaptionPressure() {
    return captionStrip("PRESSURE FALLING", 88.0, 2.0);
}

}  // namespace content
