// The full-screen pictures: the opening storm glass (10), the storm that melts (11), the glass
// marbles seen through the plasma zoom and used as a height field (17), the dusk and sphere
// pictures behind the flare (29, 31), the credits (34) and the lightning cut (35).
#include <algorithm>
#include <cmath>

#include "content/art_math.h"
#include "content/canvas.h"
#include "content/entries.h"

namespace content {

namespace {

// Feathery crystal fronds as in a storm glass: a stem with side branches that split again.
void growFrond(std::vector<Segment>& out, double x, double y, double angle, double length,
               int depth, Sequence& seq) {
    const double ex = x + length * detCos(angle);
    const double ey = y + length * detSin(angle);
    out.push_back({x, y, ex, ey});
    if (depth == 0 || length < 2.0) {
        return;
    }
    const int sideCount = depth >= 2 ? 5 : 3;
    for (int i = 1; i <= sideCount; ++i) {
        const double t = static_cast<double>(i) / (sideCount + 1);
        const double sx = x + (ex - x) * t;
        const double sy = y + (ey - y) * t;
        const double spread = 0.9 + seq.range(-0.15, 0.15);
        const double sideLength = length * (0.45 - 0.25 * t);
        growFrond(out, sx, sy, angle - spread, sideLength, depth - 1, seq);
        growFrond(out, sx, sy, angle + spread, sideLength, depth - 1, seq);
    }
}

// A lightning bolt from (x0, y0) to (x1, y1) by midpoint displacement, with a few forks.
void growBolt(std::vector<Segment>& out, double x0, double y0, double x1, double y1,
              double roughness, int depth, Sequence& seq, int forks) {
    if (depth == 0) {
        out.push_back({x0, y0, x1, y1});
        return;
    }
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double len = std::sqrt(dx * dx + dy * dy);
    const double offset = seq.range(-0.5, 0.5) * roughness * len;
    const double mx = (x0 + x1) / 2 - dy / len * offset;
    const double my = (y0 + y1) / 2 + dx / len * offset;
    growBolt(out, x0, y0, mx, my, roughness, depth - 1, seq, forks);
    growBolt(out, mx, my, x1, y1, roughness, depth - 1, seq, forks);
    if (forks > 0 && depth >= 4 && seq.unit() < 0.45) {
        const double fx = mx + dx * 0.45 + seq.range(-0.4, 0.4) * len;
        const double fy = my + dy * 0.45;
        growBolt(out, mx, my, fx, fy, roughness, depth - 2, seq, forks - 1);
    }
}

// Dark storm clouds: fbm with soft light on the lower edges.
double stormCloud(int x, int y, std::uint32_t seed) {
    const double n = tiledFbm(x / 64.0, y / 40.0, 8, 6, 0.55, seed);
    const double body = smoothstep(0.35, 0.8, n);
    return body;
}

void finish(Canvas& c) {
    for (double& v : c.pixels) {
        v = softClip(v);
    }
}

}  // namespace

Bytes buildOpeningPicture() {
    Canvas c(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            c.at(x, y) = 0.04 + 0.16 * stormCloud(x, y, 31) * (1.0 - y / 260.0);
        }
    }
    // The vessel: a tall glass with a rounded base, a narrow neck and a stopper.
    const double cx = 92.0;
    std::vector<Segment> glass;
    auto side = [&](double sign) {
        const double pts[][2] = {{9, 18},   {9, 30},   {22, 44},  {30, 70},
                                 {32, 120}, {30, 160}, {22, 176}, {0, 182}};
        for (int i = 0; i + 1 < 8; ++i) {
            glass.push_back(
                {cx + sign * pts[i][0], pts[i][1], cx + sign * pts[i + 1][0], pts[i + 1][1]});
        }
    };
    side(-1.0);
    side(1.0);
    glass.push_back({cx - 12, 12, cx + 12, 12});
    glass.push_back({cx - 12, 12, cx - 12, 18});
    glass.push_back({cx + 12, 12, cx + 12, 18});
    glass.push_back({cx - 12, 18, cx + 12, 18});
    // The glass glows faintly inside.
    for (int y = 44; y < 178; ++y) {
        for (int x = static_cast<int>(cx) - 31; x <= static_cast<int>(cx) + 31; ++x) {
            const double u = (x + 0.5 - cx) / 31.0;
            c.at(x, y) += 0.12 * (1.0 - u * u) * smoothstep(44.0, 90.0, y);
        }
    }
    addStrokes(c, glass, 1.0, 0.75, 3.0, 0.22);
    // A highlight down the glass's left shoulder.
    addStrokes(c, {{cx - 22, 60, cx - 24, 140}}, 1.0, 0.35, 3.0, 0.1);
    Sequence seq(1999);
    std::vector<Segment> fronds;
    growFrond(fronds, cx, 172, -kPi / 2, 58.0, 3, seq);
    growFrond(fronds, cx - 10, 172, -kPi / 2 - 0.35, 40.0, 2, seq);
    growFrond(fronds, cx + 10, 172, -kPi / 2 + 0.3, 44.0, 2, seq);
    addStrokes(c, fronds, 0.45, 0.55, 2.0, 0.12);
    // The title.
    addStrokes(c, centredText("STORMGLASS", 222, 88, 3.3, 0.12), 1.3, 1.0, 4.0, 0.35);
    addStrokes(c, centredText("2", 222, 140, 6.0, 0.12), 2.6, 1.0, 7.0, 0.45);
    addStrokes(c, {{160, 112, 284, 112}}, 0.5, 0.4, 3.0, 0.15);
    finish(c);
    return toIndices(c);
}

Bytes buildStormPicture() {
    Canvas c(kPictureWidth, kPictureHeight);
    const double horizon = 140.0;
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            double v;
            if (y < horizon) {
                const double cloud = stormCloud(x, y, 57);
                v = 0.08 + 0.25 * (y / horizon) + 0.3 * cloud * (0.3 + 0.7 * y / horizon);
            } else {
                // The sea: darker, with glints that mirror the bolt.
                const double depth = (y - horizon) / (kPictureHeight - horizon);
                const double waves = tiledFbm(x / 24.0, y / 3.0, 16, 3, 0.5, 91);
                v = 0.12 + 0.18 * waves * (1.0 - depth);
                const double toBolt = (x + 0.5 - 196.0) / (6.0 + 30.0 * depth);
                v += 0.45 * (1.0 - depth) / (1.0 + toBolt * toBolt) * waves;
            }
            c.at(x, y) = v;
        }
    }
    Sequence seq(8080);
    std::vector<Segment> bolt;
    growBolt(bolt, 170, 0, 196, horizon, 0.35, 7, seq, 3);
    addStrokes(c, bolt, 1.2, 1.0, 6.0, 0.45);
    addGlow(c, 196, horizon, 20.0, 0.5);
    addStrokes(c, {{0, horizon, 320, horizon}}, 0.4, 0.3, 2.0, 0.15);
    finish(c);
    return toIndices(c);
}

Bytes buildMarbleField() {
    // Read 320 wide over 204 rows and more (the slot holds 65536 bytes). Bright, so that the
    // zoom window's dimming ramp leaves a picture; smooth, so that as a height field its
    // gradients bend light gently, with lens rims at the marbles' edges.
    constexpr int kRows = 205;
    Canvas c(kPictureWidth, kRows);
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const double n = tiledFbm(x / 80.0, y / 80.0, 4, 4, 0.5, 333);
            c.at(x, y) = 0.62 + 0.2 * n + 0.08 * detSin(x / 23.0 + y / 31.0);
        }
    }
    Sequence seq(17);
    for (int i = 0; i < 26; ++i) {
        const double mx = seq.range(10.0, 310.0);
        const double my = seq.range(10.0, 195.0);
        const double r = seq.range(12.0, 34.0);
        const double tone = seq.range(0.7, 0.95);
        for (int y = std::max(0, static_cast<int>(my - r));
             y < std::min(kRows, static_cast<int>(my + r) + 1); ++y) {
            for (int x = std::max(0, static_cast<int>(mx - r));
                 x < std::min(kPictureWidth, static_cast<int>(mx + r) + 1); ++x) {
                const double dx = (x + 0.5 - mx) / r;
                const double dy = (y + 0.5 - my) / r;
                const double d2 = dx * dx + dy * dy;
                if (d2 >= 1.0) {
                    continue;
                }
                const double z = std::sqrt(1.0 - d2);
                // Lit from the upper left, with a specular spot and a bright rim.
                const double diffuse = clamp01(-0.5 * dx - 0.6 * dy + 0.62 * z);
                const double spec = std::max(0.0, -0.45 * dx - 0.55 * dy + 0.7 * z);
                const double s4 = spec * spec * spec * spec;
                const double rim = (1.0 - z) * (1.0 - z);
                const double v = tone * (0.6 + 0.4 * diffuse) + 0.5 * s4 * s4 + 0.2 * rim;
                const double edge = smoothstep(1.0, 0.92, d2);
                c.at(x, y) = lerp(c.at(x, y), v, edge);
            }
        }
    }
    finish(c);
    Bytes out = toIndices(c);
    out.resize(kMapBytes);
    return out;
}

Bytes buildDuskPicture() {
    // A low sun at (150, 50), where the flare is drawn over it, above a calm sea.
    Canvas c(kPictureWidth, kPictureHeight);
    const double horizon = 122.0;
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            double v;
            const double dx = x + 0.5 - 150.0;
            if (y < horizon) {
                const double t = y / horizon;
                v = 0.15 + 0.45 * t * t;
                const double clouds = tiledFbm(x / 90.0, y / 10.0, 4, 5, 0.55, 929);
                v += 0.35 * smoothstep(0.5, 0.8, clouds) * (0.4 + 0.6 * t);
                const double dy = y + 0.5 - 50.0;
                v += 0.35 / (1.0 + (dx * dx + dy * dy) / 900.0);
            } else {
                const double depth = (y - horizon) / (kPictureHeight - horizon);
                const double ripple = tiledFbm(x / 30.0, y / 2.5, 16, 3, 0.5, 717);
                const double path = 1.0 / (1.0 + dx * dx / (200.0 + 3000.0 * depth));
                v = 0.1 + 0.25 * (1.0 - depth) + 0.55 * path * ripple;
            }
            c.at(x, y) = v;
        }
    }
    addSoftDisc(c, 150.0, 50.0, 16.0, 0.6);
    // Distant headlands on the horizon.
    for (int x = 0; x < kPictureWidth; ++x) {
        const double land = 5.0 + 9.0 * tiledFbm(x / 40.0, 0.5, 8, 4, 0.5, 4) *
                                      (x < 100 ? 1.0 : (x > 230 ? 0.8 : 0.15));
        for (int y = static_cast<int>(horizon - land); y < static_cast<int>(horizon); ++y) {
            c.at(x, y) = 0.06;
        }
    }
    finish(c);
    return toIndices(c);
}

Bytes buildGlassSphere() {
    // A glass sphere holding a small storm: refracted stripes, a caustic below it.
    Canvas c(kPictureWidth, kPictureHeight);
    const double mx = 200.0, my = 96.0, r = 78.0;
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const double back = 0.1 + 0.15 * tiledFbm(x / 50.0, y / 50.0, 8, 4, 0.5, 66);
            const double dx = (x + 0.5 - mx) / r;
            const double dy = (y + 0.5 - my) / r;
            const double d2 = dx * dx + dy * dy;
            double v = back;
            if (d2 < 1.0) {
                const double z = std::sqrt(1.0 - d2);
                // The inside shows the background swirled and magnified.
                const double a = detAtan2(dy, dx) + 2.5 * (1.0 - z);
                const double rr = std::sqrt(d2);
                const double swirl =
                    tiledFbm(2.0 + rr * 3.0 * detCos(a), 2.0 + rr * 3.0 * detSin(a), 8, 4, 0.5, 99);
                v = 0.15 + 0.5 * swirl * z + 0.45 * (1.0 - z) * (1.0 - z);
                const double spec = std::max(0.0, -0.5 * dx - 0.6 * dy + 0.63 * z);
                const double s2 = spec * spec;
                v += 0.8 * s2 * s2 * s2 * s2;
            } else {
                // Caustic: light focused onto the ground below the sphere.
                const double cx = (x + 0.5 - mx) / 60.0;
                const double cy = (y + 0.5 - (my + r + 12.0)) / 8.0;
                v += 0.35 / (1.0 + cx * cx + cy * cy);
            }
            c.at(x, y) = v;
        }
    }
    finish(c);
    return toIndices(c);
}

Bytes buildCreditsPicture() {
    Canvas c(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            c.at(x, y) = 0.03 + 0.1 * stormCloud(x, y, 12) * (y / 200.0);
        }
    }
    addStrokes(c, centredText("STORMGLASS 2", 160, 42, 3.6, 0.1), 1.4, 1.0, 4.0, 0.35);
    addStrokes(c, {{40, 72, 280, 72}}, 0.5, 0.4, 3.0, 0.15);
    addStrokes(c, centredText("A DEMO FOR LINUX", 160, 96, 1.8), 0.7, 0.75, 2.0, 0.15);
    addStrokes(c, centredText("CODE, PICTURES AND MUSIC", 160, 128, 1.5), 0.6, 0.6, 2.0, 0.12);
    addStrokes(c, centredText("BY THE STORMGLASS 2 PROJECT", 160, 146, 1.5), 0.6, 0.6, 2.0, 0.12);
    addStrokes(c, centredText("EVERY PIXEL COMPUTED IN REAL TIME", 160, 178, 1.2), 0.55, 0.45, 2.0,
               0.1);
    finish(c);
    return toIndices(c);
}

Bytes buildLightningPicture() {
    Canvas c(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            c.at(x, y) = 0.1 + 0.35 * stormCloud(x, y, 500) * (1.0 - y / 220.0);
        }
    }
    Sequence seq(3535);
    std::vector<Segment> bolt;
    growBolt(bolt, 150, -5, 120, 200, 0.4, 8, seq, 5);
    addStrokes(c, bolt, 1.8, 1.2, 9.0, 0.6);
    std::vector<Segment> second;
    growBolt(second, 250, -5, 285, 150, 0.45, 6, seq, 2);
    addStrokes(c, second, 0.9, 0.8, 5.0, 0.3);
    // Silhouette of hills lit by the strike.
    for (int x = 0; x < kPictureWidth; ++x) {
        const double ridge = 170.0 - 22.0 * tiledFbm(x / 50.0, 0.5, 8, 4, 0.5, 21);
        for (int y = static_cast<int>(ridge); y < kPictureHeight; ++y) {
            const double rim = std::max(0.0, 1.0 - (y - ridge) / 4.0);
            c.at(x, y) = 0.02 + 0.4 * rim / (1.0 + (x - 120.0) * (x - 120.0) / 3000.0);
        }
    }
    finish(c);
    return toIndices(c);
}

}  // namespace content
