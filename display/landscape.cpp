#include "display/landscape.h"

#include <cstring>

#include "core/buffers.h"
#include "core/show.h"

namespace display {

std::uint16_t landTilt = 300;
std::uint16_t landHeading = 0;
std::uint8_t landScrollU = 110;
std::uint8_t landScrollV = 120;
std::int32_t landEyeHeight = 230;
std::int32_t landHorizon = 250;

namespace {

constexpr int kWidth = core::kPictureWidth;
constexpr int kLineCount = 220;
constexpr int kHalfLines = kLineCount >> 1;  // 110
constexpr int kHalfWidth = kWidth >> 1;      // 160
constexpr int kFirstRowLine = 33;            // line whose row base is the destination's row 0
constexpr std::int32_t kNearestDepth = 131072;
constexpr int kSkyBytes = core::kPicturePixels;

// Bits [first .. first + count - 1] of a 64-bit product, as an unsigned value.
constexpr std::uint32_t bits(std::int64_t product, int first, int count) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(product) >> first) &
                                      ((std::uint64_t{1} << count) - 1));
}

constexpr std::int32_t low32(std::int64_t product) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(product));
}

std::int32_t wrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

std::int32_t wrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

void copySky(std::uint8_t* destination) {
    std::int32_t offset =
        (1400 - static_cast<std::int32_t>(landHeading)) + (landTilt >> 1) * kWidth;
    if (offset >= kSkyBytes) {
        offset -= kSkyBytes;
    }
    // Only reachable with view angles the show never uses; copying would read past the sky.
    if (offset < 0 || offset >= kSkyBytes) {
        return;
    }
    // Whole 32-bit words only: up to three trailing bytes keep their previous contents.
    const std::size_t words = static_cast<std::size_t>(kSkyBytes - offset) / 4;
    std::memcpy(destination, core::buffers.layerPage + offset, words * 4);
}

}  // namespace

void resetLandscape() {
    landTilt = 300;
    landHeading = 0;
    landScrollU = 110;
    landScrollV = 120;
    landEyeHeight = 230;
    landHorizon = 250;
}

std::int64_t landscapeDividend(std::int32_t k) {
    const std::uint64_t high = static_cast<std::uint64_t>(static_cast<std::uint32_t>(k)) << 32;
    const std::uint64_t low = static_cast<std::uint32_t>(k) << 16;
    return static_cast<std::int64_t>(high | low);
}

void drawLandscape(std::uint8_t* destination) {
    // The tilt difference is shifted as an unsigned 32-bit pattern.
    const std::uint32_t tiltDelta = static_cast<std::uint32_t>(landTilt) - 350u;
    landHorizon = static_cast<std::int32_t>(230u + (tiltDelta >> 3));

    copySky(destination);

    landScrollU = static_cast<std::uint8_t>(landScrollU - 8);
    landScrollV = static_cast<std::uint8_t>(landScrollV + 4);

    const auto& cosTable = core::cosTable;
    const auto& sinTable = core::sinTable;
    const std::int64_t cA = cosTable[landTilt & 1023u];
    const std::int64_t sA = sinTable[landTilt & 1023u];
    const std::int64_t cH = cosTable[landHeading & 1023u];
    const std::int64_t sH = sinTable[landHeading & 1023u];

    // The tilted ray of the first line, then turned by the heading.
    std::int32_t z = static_cast<std::int32_t>(kHalfLines * cA - 64 * sA);
    const std::int64_t y = 128 * cA + kHalfLines * sA;
    const std::int64_t x = -kHalfWidth;
    std::int32_t xTurned = wrapAdd(low32(cH * x), low32((sH * y) >> 13));
    std::int32_t yTurned = wrapSub(low32((cH * y) >> 13), low32(sH * x));

    const std::int32_t stepX = low32((sH * sA) >> 13);
    const std::int32_t stepY = low32((cH * sA) >> 13);
    const std::int32_t stepZ = static_cast<std::int32_t>(cA);
    const std::int64_t stepU = cH;
    const std::int64_t stepV = -sH;

    const std::int32_t k = wrapSub(landEyeHeight, landHorizon);
    const std::int64_t dividend = landscapeDividend(k);

    const std::uint8_t* colourMap = core::buffers.landscapeColours.data();
    const std::uint8_t* heightMap = core::buffers.landscapeHeights.data();

    for (int line = 0; line < kLineCount; ++line) {
        if (z > kNearestDepth) {
            // Perspective distance: the quotient is kept to its low 32 bits.
            const std::int64_t t = low32(dividend / z);
            const std::int64_t p1 = t * xTurned;
            const std::int64_t p2 = t * yTurned;
            const std::int64_t p3 = t * stepU;
            const std::int64_t p4 = t * stepV;

            const std::uint32_t u = (bits(p1, 32, 8) + landScrollU) & 0xFFu;
            const std::uint32_t uFraction = bits(p1, 16, 16);
            const std::uint32_t v = (bits(p2, 32, 8) + landScrollV) & 0xFFu;
            const std::uint32_t vFraction = bits(p2, 16, 16);

            // Two packed accumulators move u and v together; the carry out of each addition
            // feeds the next one and runs on from pixel to pixel.
            std::uint32_t accX = (uFraction << 16) + ((vFraction >> 8) << 8) + v;
            std::uint32_t accY = (vFraction << 16) + (v << 8) + u;
            const std::uint32_t stepAccX = (bits(p3, 16, 16) << 16) + bits(p4, 32, 16);
            const std::uint32_t stepAccY = (bits(p4, 16, 16) << 16) + bits(p3, 32, 16);
            std::uint32_t carry = line < kFirstRowLine ? 1u : 0u;

            std::uint8_t* rowBase = destination + (line - kFirstRowLine) * kWidth;
            for (int column = 0; column < kWidth; ++column) {
                const std::uint64_t sumX = std::uint64_t{accX} + stepAccX + carry;
                accX = static_cast<std::uint32_t>(sumX);
                carry = static_cast<std::uint32_t>(sumX >> 32);
                const std::uint64_t sumY = std::uint64_t{accY} + stepAccY + carry;
                accY = static_cast<std::uint32_t>(sumY);
                carry = static_cast<std::uint32_t>(sumY >> 32);
                accY = (accY & 0xFFFF00FFu) | ((accX & 0xFFu) << 8);

                const std::uint32_t texel = accY & 0xFFFFu;
                const std::uint8_t colour = colourMap[texel];
                const std::uint32_t rise =
                    heightMap[2 * texel] | (std::uint32_t{heightMap[2 * texel + 1]} << 8);
                std::uint8_t* run = rowBase + column + rise + 2 * kWidth;
                run[0] = colour;
                run[kWidth] = colour;
                run[2 * kWidth] = colour;
                run[3 * kWidth] = colour;
                run[4 * kWidth] = colour;
            }
        }
        // Skipped lines advance the ray too.
        xTurned = wrapSub(xTurned, stepX);
        yTurned = wrapSub(yTurned, stepY);
        z = wrapSub(z, stepZ);
    }

    // Keep the eye below the horizon, comparing 16-bit values.
    const auto eye = static_cast<std::int16_t>(landEyeHeight);
    const std::int32_t highest = wrapSub(landHorizon, 1);
    if (eye > static_cast<std::int16_t>(highest)) {
        landEyeHeight = highest;
    } else if (eye < 1) {
        landEyeHeight = 1;
    }
}

}  // namespace display
