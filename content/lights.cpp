// Light sprites (entries 4, 14, 32, 33) and the flash and accent pictures of the tunnel and
// dance scenes (8, 9, 12, 13, 24, 25). Sprites are added onto the picture, so their value is
// light: 0 leaves the picture alone, and every sprite falls to 0 before its edges.
#include <algorithm>
#include <cmath>

#include "content/art_math.h"
#include "content/canvas.h"
#include "content/entries.h"

namespace content {

namespace {

constexpr int kSprite = 256;
constexpr double kCentre = 128.0;

double radiusAt(int x, int y, double cx, double cy) {
    const double dx = x + 0.5 - cx;
    const double dy = y + 0.5 - cy;
    return std::sqrt(dx * dx + dy * dy);
}

// Fades a sprite smoothly to nothing between radius `inner` and `outer`, so no square edge shows.
void vignette(Canvas& c, double inner, double outer) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            c.at(x, y) *= 1.0 - smoothstep(inner, outer, radiusAt(x, y, kCentre, kCentre));
        }
    }
}

std::vector<Segment> rotated(const std::vector<Segment>& in, double cx, double cy, double angle) {
    const double s = detSin(angle);
    const double co = detCos(angle);
    std::vector<Segment> out;
    out.reserve(in.size());
    for (const Segment& g : in) {
        auto turn = [&](double x, double y, double& ox, double& oy) {
            ox = cx + (x - cx) * co - (y - cy) * s;
            oy = cy + (x - cx) * s + (y - cy) * co;
        };
        Segment r{};
        turn(g.x0, g.y0, r.x0, r.y0);
        turn(g.x1, g.y1, r.x1, r.y1);
        out.push_back(r);
    }
    return out;
}

// Rays from (cx, cy): `count` streaks whose light falls with the angular distance from each
// ray's axis and with the radius.
void addRays(Canvas& c, double cx, double cy, int count, double length, double width,
             double amplitude, double phase, std::uint32_t seed) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r < 0.5) {
                continue;
            }
            const double a = detAtan2(dy, dx) - phase;
            const double sector = kTwoPi / count;
            double k = std::floor(a / sector + 0.5);
            const double off = a - k * sector;
            const int ray = ((static_cast<int>(k) % count) + count) % count;
            const double rayLength = length * (0.55 + 0.45 * hashUnit(ray, 0, seed));
            const double across = off * r;  // distance from the ray's axis in pixels
            const double w = width * (1.0 + r / length);
            const double beam = 1.0 / (1.0 + across * across / (w * w));
            const double fade = clamp01(1.0 - r / rayLength);
            c.at(x, y) += amplitude * beam * fade * fade;
        }
    }
}

}  // namespace

Bytes buildSmallLight() {
    Canvas c(kSprite, kSprite);
    for (int y = 0; y < kSprite; ++y) {
        for (int x = 0; x < kSprite; ++x) {
            const double r = radiusAt(x, y, kCentre, kCentre) / 128.0;
            const double halo = 0.55 / (1.0 + r * r * 40.0);
            const double core = r < 0.3 ? (1.0 - r / 0.3) : 0.0;
            c.at(x, y) = softClip(halo + 0.8 * core * core);
        }
    }
    vignette(c, 90.0, 127.0);
    return toIndices(c);
}

Bytes buildLargeFlare() {
    Canvas c(kSprite, kSprite);
    addRays(c, kCentre, kCentre, 12, 126.0, 1.1, 0.75, 0.13, 5);
    addRays(c, kCentre, kCentre, 4, 128.0, 2.2, 0.5, 0.0, 9);
    for (int y = 0; y < kSprite; ++y) {
        for (int x = 0; x < kSprite; ++x) {
            const double r = radiusAt(x, y, kCentre, kCentre);
            const double ringD = (r - 78.0) / 3.5;
            c.at(x, y) += 0.9 / (1.0 + r * r / 90.0) + 0.12 / (1.0 + ringD * ringD);
        }
    }
    for (double& v : c.pixels) {
        v = softClip(v);
    }
    vignette(c, 96.0, 127.5);
    return toIndices(c);
}

Bytes buildDialEmblem() {
    // A barometer dial: double ring, tick marks and the weather words along the upper arc.
    Canvas c(kSprite, kSprite);
    std::vector<Segment> rings;
    for (int i = 0; i < 96; ++i) {
        const double a0 = kTwoPi * i / 96.0;
        const double a1 = kTwoPi * (i + 1) / 96.0;
        rings.push_back({kCentre + 112 * detCos(a0), kCentre + 112 * detSin(a0),
                         kCentre + 112 * detCos(a1), kCentre + 112 * detSin(a1)});
        rings.push_back({kCentre + 84 * detCos(a0), kCentre + 84 * detSin(a0),
                         kCentre + 84 * detCos(a1), kCentre + 84 * detSin(a1)});
    }
    addStrokes(c, rings, 1.3, 0.85, 3.0, 0.35);
    // The weather words sit between the two rings, on the upper arc, where the crest's pillars
    // and the brightest beams of the plane do not pass over them; the ticks give way to them.
    constexpr double kWordRadius = 98.0;
    constexpr double kWordStep = 0.82;   // radians between neighbouring words
    constexpr double kWordsReach = 2.0;  // radians either side of the top the words take
    std::vector<Segment> ticks;
    for (int i = 0; i < 48; ++i) {
        const double a = kTwoPi * i / 48.0;
        const double fromTop = std::fabs(std::remainder(a - 1.5 * kPi, kTwoPi));
        if (fromTop < kWordsReach) {
            continue;
        }
        const double inner = i % 4 == 0 ? 88.0 : 99.0;
        ticks.push_back({kCentre + inner * detCos(a), kCentre + inner * detSin(a),
                         kCentre + 107 * detCos(a), kCentre + 107 * detSin(a)});
    }
    addStrokes(c, ticks, 0.7, 0.7, 1.5, 0.2);
    const char* words[] = {"STORM", "RAIN", "CHANGE", "FAIR", "DRY"};
    for (int i = 0; i < 5; ++i) {
        const double angle = (i - 2) * kWordStep;
        const auto letters = centredText(words[i], kCentre, kCentre - kWordRadius, 1.6);
        addStrokes(c, rotated(letters, kCentre, kCentre, angle), 1.0, 1.0, 2.0, 0.2);
    }
    // Soft light inside the dial, strongest toward the rim.
    for (int y = 0; y < kSprite; ++y) {
        for (int x = 0; x < kSprite; ++x) {
            const double r = radiusAt(x, y, kCentre, kCentre);
            c.at(x, y) += 0.18 * smoothstep(40.0, 84.0, r) * (1.0 - smoothstep(112.0, 124.0, r));
            c.at(x, y) = softClip(c.at(x, y));
        }
    }
    vignette(c, 118.0, 127.5);
    return toIndices(c);
}

Bytes buildCrestEmblem() {
    // The show draws this entry as a 256-wide sprite and also puts it on screen as a 320-wide
    // picture. Both widths are multiples of 64, so a picture that depends only on the byte's
    // place modulo 64 (across) and on its place divided by 256 (down, changing slowly along a
    // row) reads the same either way: glass pillars with a lightning stroke zigzagging down
    // each, four across the sprite, five across the picture, fading out at the top and bottom.
    Canvas c(kSprite, kSprite);
    for (int i = 0; i < kSprite * kSprite; ++i) {
        const double u = i % 64 + 0.5;
        const double v = i / 256.0;
        const double zig = v / 40.0 - std::floor(v / 40.0);  // 0..1 along each zig and zag
        const double boltX = 32.0 + 12.0 * (zig < 0.5 ? 4.0 * zig - 1.0 : 3.0 - 4.0 * zig);
        const double toBolt = (u - boltX) / 1.6;
        const double toEdgeL = (u - 9.0) / 1.4;
        const double toEdgeR = (u - 55.0) / 1.4;
        double light = 0.85 / (1.0 + toBolt * toBolt) + 0.22 / (1.0 + toBolt * toBolt / 12.0) +
                       0.5 / (1.0 + toEdgeL * toEdgeL) + 0.5 / (1.0 + toEdgeR * toEdgeR);
        if (u > 9.0 && u < 55.0) {
            light += 0.1 + 0.08 * (u - 9.0) / 46.0;  // the glass, lit a little from the right
        }
        const double across = smoothstep(1.0, 6.0, u) * (1.0 - smoothstep(58.0, 63.0, u));
        const double down = smoothstep(2.0, 26.0, v) * (1.0 - smoothstep(222.0, 249.0, v));
        c.pixels[static_cast<std::size_t>(i)] = softClip(light) * across * down;
    }
    return toIndices(c);
}

Bytes buildFlashBurst() {
    Canvas c(kPictureWidth, kPictureHeight);
    addRays(c, 160, 100, 24, 260.0, 2.0, 0.8, 0.05, 13);
    addGlow(c, 160, 100, 26.0, 1.2);
    for (double& v : c.pixels) {
        v = softClip(v + 0.08);
    }
    return toIndices(c);
}

Bytes buildFlashShockwave() {
    Canvas c(kPictureWidth, kPictureHeight);
    Sequence seq(77);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const double r = radiusAt(x, y, 160, 100);
            const double a = detAtan2(y + 0.5 - 100, x + 0.5 - 160);
            const double wobble = 4.0 * detSin(7.0 * a) + 2.0 * detSin(13.0 * a + 1.0);
            const double d1 = (r - 95.0 - wobble) / 5.0;
            const double d2 = (r - 60.0 + wobble * 0.5) / 3.0;
            c.at(x, y) = 0.9 / (1.0 + d1 * d1) + 0.5 / (1.0 + d2 * d2) +
                         0.35 * (1.0 - smoothstep(0.0, 95.0, r));
        }
    }
    for (int i = 0; i < 60; ++i) {
        const double a = seq.range(0.0, kTwoPi);
        const double r = seq.range(100.0, 190.0);
        addGlow(c, 160 + r * detCos(a), 100 + r * detSin(a) * 0.8, seq.range(1.0, 2.5), 0.7);
    }
    for (double& v : c.pixels) {
        v = softClip(v);
    }
    return toIndices(c);
}

Bytes buildAccentRings() {
    // A hexagonal lattice of glass cells whose seams glow, brightest toward the centre.
    Canvas c(kPictureWidth, kPictureHeight);
    std::vector<Segment> lattice;
    const double size = 22.0;
    const double w = size * 1.7320508;
    for (int row = -1; row < 8; ++row) {
        for (int col = -1; col < 10; ++col) {
            const double cx = col * w + (row % 2 != 0 ? w / 2 : 0.0);
            const double cy = row * size * 1.5;
            for (int i = 0; i < 3; ++i) {
                const double a0 = kTwoPi * i / 6.0 - kPi / 2;
                const double a1 = kTwoPi * (i + 1) / 6.0 - kPi / 2;
                lattice.push_back({cx + size * detCos(a0), cy + size * detSin(a0),
                                   cx + size * detCos(a1), cy + size * detSin(a1)});
            }
        }
    }
    addStrokes(c, lattice, 1.0, 0.6, 2.5, 0.3);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const double r = radiusAt(x, y, 160, 100);
            c.at(x, y) = softClip(c.at(x, y) * (1.3 - r / 240.0) + 0.3 / (1.0 + r * r / 900.0));
        }
    }
    return toIndices(c);
}

Bytes buildAccentStreaks() {
    // Rain of light: slanted streaks of varied length and brightness.
    Canvas c(kPictureWidth, kPictureHeight);
    Sequence seq(313);
    std::vector<Segment> streaks;
    for (int i = 0; i < 90; ++i) {
        const double x = seq.range(-60.0, 330.0);
        const double y = seq.range(-40.0, 200.0);
        const double len = seq.range(20.0, 70.0);
        streaks.clear();
        streaks.push_back({x, y, x + len * 0.45, y + len});
        addStrokes(c, streaks, 0.5, seq.range(0.3, 0.8), 2.0, 0.15);
    }
    for (double& v : c.pixels) {
        v = softClip(v);
    }
    return toIndices(c);
}

Bytes buildDanceBurst() {
    // Stage lights: beams fanning up from below the picture.
    Canvas c(kPictureWidth, kPictureHeight);
    for (int beam = 0; beam < 7; ++beam) {
        const double baseX = 40.0 + beam * 40.0;
        const double angle = (beam - 3) * 0.17;
        for (int y = 0; y < kPictureHeight; ++y) {
            const double up = 215.0 - y;
            const double cx = baseX + up * detSin(angle);
            const double halfWidth = 3.0 + up * 0.11;
            for (int x = 0; x < kPictureWidth; ++x) {
                const double across = (x + 0.5 - cx) / halfWidth;
                c.at(x, y) += 0.42 * (1.0 - up / 260.0) / (1.0 + across * across * across * across);
            }
        }
        addGlow(c, baseX, 199.0, 8.0, 0.6);
    }
    for (double& v : c.pixels) {
        v = softClip(v);
    }
    return toIndices(c);
}

Bytes buildDancePillars() {
    // Level-meter pillars: columns of light blocks of different heights, brightest at the top.
    Canvas c(kPictureWidth, kPictureHeight);
    const int heights[] = {5, 9, 13, 8, 15, 11, 6, 12, 16, 10, 7, 14, 9, 4};
    for (int p = 0; p < 14; ++p) {
        const double x0 = 15.0 + p * 21.5;
        for (int b = 0; b < heights[p]; ++b) {
            const double y0 = 186.0 - b * 11.0;
            const double level = 0.35 + 0.6 * b / 16.0;
            for (int y = static_cast<int>(y0); y < static_cast<int>(y0) + 8; ++y) {
                for (int x = static_cast<int>(x0); x < static_cast<int>(x0) + 16; ++x) {
                    if (y >= 0 && y < kPictureHeight) {
                        c.at(x, y) += level;
                    }
                }
            }
        }
        addGlow(c, x0 + 8.0, 190.0 - heights[p] * 11.0, 6.0, 0.5);
    }
    for (double& v : c.pixels) {
        v = softClip(v);
    }
    return toIndices(c);
}

}  // namespace content
