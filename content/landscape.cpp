// The landscape's height map (entry 5), its colour map (entry 6) and the sky (entry 7). The
// maps wrap at 256 in both directions because the renderer scrolls across them endlessly.
#include <cmath>

#include "content/art_math.h"
#include "content/canvas.h"
#include "content/entries.h"

namespace content {

namespace {

constexpr int kMap = 256;

// Terrain height 0..1: rolling hills with sharp ridges and a few deep valleys.
double terrain(int x, int y) {
    const double base = tiledFbm(x / 64.0, y / 64.0, 4, 5, 0.5, 101);
    const double ridgeNoise = tiledFbm(x / 32.0, y / 32.0, 8, 4, 0.5, 202);
    const double ridge = 1.0 - std::fabs(2.0 * ridgeNoise - 1.0);
    double h = 0.65 * base + 0.45 * ridge * ridge - 0.12;
    h = clamp01((h - 0.18) / 0.7);
    return h * h * (3.0 - 2.0 * h);
}

}  // namespace

Bytes buildLandscapeHeights() {
    Bytes out(kMapBytes);
    for (int y = 0; y < kMap; ++y) {
        for (int x = 0; x < kMap; ++x) {
            out[static_cast<std::size_t>(y * kMap + x)] = toByte(terrain(x, y));
        }
    }
    return out;
}

Bytes buildLandscapeColours() {
    // Height gives the band (deep blue valleys, cyan slopes, pale gold crests); the slope
    // toward a low light from the upper left shades within it.
    std::vector<double> h(static_cast<std::size_t>(kMap) * kMap);
    for (int y = 0; y < kMap; ++y) {
        for (int x = 0; x < kMap; ++x) {
            h[static_cast<std::size_t>(y * kMap + x)] = terrain(x, y);
        }
    }
    auto at = [&](int x, int y) {
        return h[static_cast<std::size_t>((y & 255) * kMap + (x & 255))];
    };
    Canvas c(kMap, kMap);
    for (int y = 0; y < kMap; ++y) {
        for (int x = 0; x < kMap; ++x) {
            const double dx = at(x + 1, y) - at(x - 1, y);
            const double dy = at(x, y + 1) - at(x, y - 1);
            const double light = clamp01(0.55 - 6.0 * (dx + dy));
            const double height = at(x, y);
            const double speck = 0.05 * (hashUnit(x, y, 55) - 0.5);
            double v = 0.12 + 0.5 * height + 0.35 * (light - 0.5) + speck;
            // Snow-light on the highest crests.
            v += 0.2 * smoothstep(0.8, 0.95, height) * light;
            c.at(x, y) = clamp01(v);
        }
    }
    return toIndices(c);
}

Bytes buildSky() {
    Canvas c(kPictureWidth, kPictureHeight);
    Sequence seq(4242);
    for (int y = 0; y < kPictureHeight; ++y) {
        const double t = y / 199.0;
        for (int x = 0; x < kPictureWidth; ++x) {
            double v = 0.04 + 0.5 * t * t * t;
            // Long cloud bands, densest toward the horizon, lit from below.
            const double clouds = tiledFbm(x / 80.0, y / 14.0, 4, 5, 0.55, 707);
            const double band = smoothstep(0.45, 0.75, clouds) * smoothstep(0.15, 0.8, t);
            v += band * (0.12 + 0.3 * t);
            c.at(x, y) = v;
        }
    }
    // Stars in the upper half, a moon with its halo.
    for (int i = 0; i < 140; ++i) {
        const double x = seq.range(0.0, 320.0);
        const double y = seq.range(0.0, 110.0);
        const double b = seq.range(0.1, 0.5) * (1.0 - y / 130.0);
        addGlow(c, x, y, 0.6, b);
    }
    addGlow(c, 236.0, 46.0, 22.0, 0.12);
    addSoftDisc(c, 236.0, 46.0, 11.0, 0.75);
    for (double& v : c.pixels) {
        v = softClip(v);
    }
    return toIndices(c);
}

}  // namespace content
