#include "effects/voxel.h"
#include "effects/wrap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/buffers.h"
#include "raster/random.h"

namespace effects {

namespace {

constexpr int kWidth = core::kPictureWidth;
constexpr int kHeight = core::kPictureHeight;

inline int cell(int row, int column) {
    return ((row & 255) << 8) | (column & 255);
}

inline std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// A step of the midpoint displacement: the average plus a random offset in -offset..range-1-offset.
std::int32_t displaced(std::int32_t average, std::int32_t range) {
    return std::clamp<std::int32_t>(average + raster::nextRandom() % range - range / 2, 0, 255);
}

// The bilinear blend of four map cells with 8-bit fractions, as a 16.16 value.
inline std::int32_t bilinear(const std::uint8_t* map, int topLeft, int topRight, int bottomLeft,
                             int bottomRight, std::int32_t fx, std::int32_t fy) {
    const std::int32_t top = (map[topLeft] << 8) + (map[topRight] - map[topLeft]) * fx;
    const std::int32_t bottom = (map[bottomLeft] << 8) + (map[bottomRight] - map[bottomLeft]) * fx;
    return (top << 8) + (bottom - top) * fy;
}

// One slice of the landscape at scale k, sampled from (x2, y2) to (x1, y1) across the columns.
void drawSlice(std::int32_t x2, std::int32_t y2, std::int32_t x1, std::int32_t y1, std::int32_t eye,
               std::int32_t k) {
    // The ends differ by far less than 2^31, so the difference is taken modulo 2^32.
    const std::int32_t stepX = wrappingAdd(x1, -x2) / kWidth;
    const std::int32_t stepY = wrappingAdd(y1, -y2) / kWidth;
    std::int32_t x = x2;
    std::int32_t y = y2;
    std::uint8_t* const picture = voxel.frame.data();
    const std::uint8_t* const heights = voxel.terrainHeight.data();
    const std::uint8_t* const shades = voxel.terrainShade.data();
    for (int column = 0; column < kWidth; ++column) {
        // Both maps at the same point: one set of cell indices and fractions.
        const int i = (x >> 16) & 255;
        const int i1 = (i + 1) & 255;
        const int j = ((y >> 16) & 255) << 8;
        const int j1 = (j + 256) & 0xFF00;
        const std::int32_t fx = (x >> 8) & 255;
        const std::int32_t fy = (y >> 8) & 255;
        const std::int32_t h = bilinear(heights, j | i, j | i1, j1 | i, j1 | i1, fx, fy) >> 16;
        const std::int32_t shade = bilinear(shades, j | i, j | i1, j1 | i, j1 | i1, fx, fy);
        std::int32_t row = (((h - eye) * k) >> 11) + 100;
        const std::int32_t top = voxel.top[column];
        if (row < top) {
            if (voxel.lastShade[column] == -1) {
                voxel.lastShade[column] = shade;
            }
            // Ramp from the previous slice's shade at the bottom to this one's at the top.
            const std::int32_t dc = (shade - voxel.lastShade[column]) / (top - row);
            std::int32_t c = voxel.lastShade[column];
            std::int32_t pixelRow = top;
            if (pixelRow > kHeight - 1) {
                c += (pixelRow - (kHeight - 1)) * dc;
                pixelRow = kHeight - 1;
            }
            if (row < 0) {
                row = 0;
            }
            std::uint8_t* out = picture + pixelRow * kWidth + column;
            while (row < pixelRow) {
                *out = static_cast<std::uint8_t>((c >> 18) & 255);
                out -= kWidth;
                --pixelRow;
                c += dc;
            }
            voxel.top[column] = row;
        }
        voxel.lastShade[column] = shade;
        x = wrappingAdd(x, stepX);
        y = wrappingAdd(y, stepY);
    }
}

}  // namespace

Voxel voxel;

void buildTerrain() {
    auto& map = voxel.terrainHeight;
    map.fill(0);
    map[0] = 128;
    for (int step = 256; step >= 2; step /= 2) {
        const int half = step / 2;
        const std::int32_t range = 8 * step + 20;
        for (int y = 0; y < 256; y += step) {
            for (int x = 0; x < 256; x += step) {
                const std::int32_t a = map[cell(y, x)];
                const std::int32_t b = map[cell(y + step, x)];
                const std::int32_t c = map[cell(y, x + step)];
                const std::int32_t d = map[cell(y + step, x + step)];
                // Three draws in this order; later cells of the pass see these writes.
                map[cell(y, x + half)] = static_cast<std::uint8_t>(displaced((a + c) >> 1, range));
                map[cell(y + half, x + half)] =
                    static_cast<std::uint8_t>(displaced((a + b + c + d) >> 2, range));
                map[cell(y + half, x)] = static_cast<std::uint8_t>(displaced((a + b) >> 1, range));
            }
        }
    }
    // Smoothing in place: the up and left neighbours are already the new values.
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                map[cell(y, x)] =
                    static_cast<std::uint8_t>((map[cell(y + 1, x)] + map[cell(y, x + 1)] +
                                               map[cell(y - 1, x)] + map[cell(y, x - 1)]) >>
                                              2);
            }
        }
    }
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            voxel.terrainShade[cell(y, x)] = static_cast<std::uint8_t>(
                std::clamp((map[cell(y + 1, x + 1)] - map[cell(y, x)]) * 12 + 128, 0, 255));
        }
    }
}

std::int32_t sampleTerrain(const std::uint8_t* map, std::int32_t x, std::int32_t y) {
    const int i = (x >> 16) & 255;
    const int j = (y >> 16) & 255;
    return bilinear(map, cell(j, i), cell(j, i + 1), cell(j + 1, i), cell(j + 1, i + 1),
                    (x >> 8) & 255, (y >> 8) & 255);
}

void voxelSetup() {
    buildTerrain();
    voxel.angle = 0.0f;
    voxel.posY = 40 * 65536;
    voxel.posX = 0;
    voxel.speed = 16384.0f;
}

void voxelFrame(float s, VoxelBackdrop backdrop) {
    const double m = voxel.speed * 9.0;
    voxel.posX = truncWrap32(voxel.posX + m);
    voxel.posY = truncWrap32(voxel.posY - m * (std::cos(s * 0.25) / 5.0 + std::sin(s / 10.0)));
    renderVoxels(voxel.posX, voxel.posY, voxel.angle, backdrop);
}

void renderVoxels(std::int32_t x, std::int32_t y, float angle, VoxelBackdrop backdrop) {
    if (backdrop == VoxelBackdrop::sky) {
        std::memcpy(voxel.frame.data(), core::buffers.skyPicture.data(), kWidth * kHeight);
    }
    voxel.top.fill(kHeight);
    voxel.lastShade.fill(-1);
    const std::int32_t eye = ((sampleTerrain(voxel.terrainHeight.data(), x, y) + 100) >> 18) - 30;
    const float quarterTurn = 0.7853981852531433f;  // pi/4 as a 32-bit float
    const float rightAngle = angle + quarterTurn;
    const float leftAngle = angle - quarterTurn;
    const double rightCos = std::cos(rightAngle), rightSin = std::sin(rightAngle);
    const double leftCos = std::cos(leftAngle), leftSin = std::sin(leftAngle);
    // Near to far: every distance up to 64, then every second one.
    for (std::int32_t d = 0; d < 120; d += (d >> 6) + 1) {
        const double distance = d * 65536.0;
        const std::int32_t k = 25600 / (d + 1);
        const std::int32_t x1 = truncWrap32(x + distance * rightCos);
        const std::int32_t y1 = truncWrap32(y + distance * rightSin);
        const std::int32_t x2 = truncWrap32(x + distance * leftCos);
        const std::int32_t y2 = truncWrap32(y + distance * leftSin);
        drawSlice(x2, y2, x1, y1, eye, k);
    }
}

}  // namespace effects
