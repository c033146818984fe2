// The tunnels' geometry remap (entry 0) and the two wall textures (entries 2 and 3). Entry 2 is
// also the plasma-mapped picture, the inset windows' texture and the plane's floor, so it has
// structure at every scale: large glass facets, their glowing seams and a fine grain.
#include <algorithm>
#include <cmath>

#include "content/art_math.h"
#include "content/canvas.h"
#include "content/entries.h"

namespace content {

namespace {

constexpr int kMap = 256;

// Distances from (x, y) to the nearest and second-nearest feature point of a jittered grid of
// cells x cells points that wraps around the 256 x 256 map. Also returns the nearest cell's id.
struct Voronoi {
    double nearest;
    double second;
    std::uint32_t cellId;
};

Voronoi voronoi(double x, double y, int cells, std::uint32_t seed) {
    const double size = static_cast<double>(kMap) / cells;
    const int cx = static_cast<int>(std::floor(x / size));
    const int cy = static_cast<int>(std::floor(y / size));
    Voronoi v{1e9, 1e9, 0};
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const int gx = cx + dx;
            const int gy = cy + dy;
            const int wx = ((gx % cells) + cells) % cells;
            const int wy = ((gy % cells) + cells) % cells;
            const double px = (gx + 0.15 + 0.7 * hashUnit(wx, wy, seed)) * size;
            const double py = (gy + 0.15 + 0.7 * hashUnit(wx, wy, seed + 1)) * size;
            const double d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < v.nearest) {
                v.second = v.nearest;
                v.nearest = d;
                v.cellId = hash3(wx, wy, seed + 2);
            } else if (d < v.second) {
                v.second = d;
            }
        }
    }
    return v;
}

}  // namespace

Bytes buildTunnelRemap() {
    // Index: depth (high byte) and angle (low byte, 256 units per half-turn). Result: texture
    // row (high) and column (low). The column spirals with depth and sways; the row ripples
    // with the angle. Every term is periodic over 256 in both inputs, so no seam shows where
    // depth or angle wrap.
    Bytes out(131072);
    for (int depth = 0; depth < 256; ++depth) {
        const double dPhase = kTwoPi * depth / 256.0;
        const double twist = 2.0 * depth + 18.0 * detSin(2.0 * dPhase);
        for (int angle = 0; angle < 256; ++angle) {
            const double aPhase = kTwoPi * angle / 256.0;
            const double ripple =
                7.0 * detSin(4.0 * aPhase + 3.0 * dPhase) + 3.0 * detSin(7.0 * aPhase - dPhase);
            const int row = roundToInt(depth + ripple) & 255;
            const int col = roundToInt(angle + twist) & 255;
            const std::size_t i = static_cast<std::size_t>(depth * 256 + angle) * 2;
            out[i] = static_cast<std::uint8_t>(col);
            out[i + 1] = static_cast<std::uint8_t>(row);
        }
    }
    return out;
}

Bytes buildCrystalTexture() {
    Canvas c(kMap, kMap);
    for (int y = 0; y < kMap; ++y) {
        for (int x = 0; x < kMap; ++x) {
            const double fx = x + 0.5;
            const double fy = y + 0.5;
            const Voronoi big = voronoi(fx, fy, 5, 11);
            const Voronoi small = voronoi(fx, fy, 16, 29);
            // Facet shading: each large cell has its own tone, lit toward its centre.
            const double tone = 0.22 + 0.3 * static_cast<double>(big.cellId >> 24) / 255.0;
            const double facet = tone * (1.0 - 0.55 * clamp01(big.nearest / 40.0));
            // Seams: bright where two cells meet.
            const double seamBig = 1.0 - smoothstep(0.0, 4.5, big.second - big.nearest);
            const double seamSmall = 1.0 - smoothstep(0.0, 2.0, small.second - small.nearest);
            const double grain = tiledFbm(x / 16.0, y / 16.0, 16, 4, 0.55, 7);
            double v = facet + 0.18 * (grain - 0.5) + 0.62 * seamBig + 0.16 * seamSmall;
            // Sparkles where small seams cross.
            v += 0.25 * smoothstep(0.5, 0.9, seamSmall * seamBig);
            c.at(x, y) = 0.04 + 0.96 * softClip(v);
        }
    }
    return toIndices(c);
}

Bytes buildRibbedTexture() {
    Canvas c(kMap, kMap);
    for (int y = 0; y < kMap; ++y) {
        for (int x = 0; x < kMap; ++x) {
            // Eight lit rings (rows) with lamps along them, panels of diagonal grooves between.
            const double ringPhase = (y % 32) - 16.0;
            const double ring = 1.0 / (1.0 + ringPhase * ringPhase / 2.5);
            const double lampX = (x % 16) - 8.0;
            const double lamp = ring / (1.0 + lampX * lampX / 3.0);
            const double groove = 0.5 + 0.5 * detSin(kTwoPi * (x + y * 2) / 32.0);
            const double panel = 0.14 + 0.16 * groove * groove;
            const double cloud = tiledFbm(x / 32.0, y / 32.0, 8, 5, 0.5, 41);
            const double edge = 0.5 + 0.5 * detCos(kTwoPi * y / 32.0);  // darker near rings
            double v = panel * (0.6 + 0.8 * cloud) * (0.5 + 0.5 * edge) + 0.55 * ring + 0.6 * lamp;
            // A long seam along the tunnel, every 64 columns.
            const double seamX = (x % 64) - 32.0;
            v += 0.22 / (1.0 + seamX * seamX / 1.5);
            c.at(x, y) = 0.03 + 0.97 * softClip(v);
        }
    }
    return toIndices(c);
}

}  // namespace content
