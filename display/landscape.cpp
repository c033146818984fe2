#include "display/landscape.h"

#include <cstring>

#include "core/buffers.h"
#include "core/show.h"
#include "display/state.h"

namespace display {

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

void copySky(std::uint8_t* destination, LandscapeAim aim) {
    std::int32_t offset =
        (1400 - static_cast<std::int32_t>(aim.heading)) + (aim.tilt >> 1) * kWidth;
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

// The first line's ray, tilted and then turned by the heading, and how it and the texture
// steps move from line to line and pixel to pixel.
struct RayWalk {
    std::int32_t x;
    std::int32_t y;
    std::int32_t z;
    std::int32_t stepX;
    std::int32_t stepY;
    std::int32_t stepZ;
    std::int64_t stepU;
    std::int64_t stepV;
};

RayWalk firstRay(LandscapeAim aim) {
    const auto& cosTable = core::motion.cosTable;
    const auto& sinTable = core::motion.sinTable;
    const std::int64_t cA = cosTable[aim.tilt & 1023u];
    const std::int64_t sA = sinTable[aim.tilt & 1023u];
    const std::int64_t cH = cosTable[aim.heading & 1023u];
    const std::int64_t sH = sinTable[aim.heading & 1023u];

    const std::int32_t z = static_cast<std::int32_t>(kHalfLines * cA - 64 * sA);
    const std::int64_t y = 128 * cA + kHalfLines * sA;
    const std::int64_t x = -kHalfWidth;
    return {
        .x = wrapAdd(low32(cH * x), low32((sH * y) >> 13)),
        .y = wrapSub(low32((cH * y) >> 13), low32(sH * x)),
        .z = z,
        .stepX = low32((sH * sA) >> 13),
        .stepY = low32((cH * sA) >> 13),
        .stepZ = static_cast<std::int32_t>(cA),
        .stepU = cH,
        .stepV = -sH,
    };
}

void advance(RayWalk& ray) {
    ray.x = wrapSub(ray.x, ray.stepX);
    ray.y = wrapSub(ray.y, ray.stepY);
    ray.z = wrapSub(ray.z, ray.stepZ);
}

// One line at perspective distance t: every column a run of five rows in its texel's colour,
// raised by its texel's height. `carry` starts the accumulators' carry chain.
void drawLine(std::uint8_t* rowBase, std::int64_t t, const RayWalk& ray, std::uint32_t carry) {
    const std::int64_t p1 = t * ray.x;
    const std::int64_t p2 = t * ray.y;
    const std::int64_t p3 = t * ray.stepU;
    const std::int64_t p4 = t * ray.stepV;

    const std::uint32_t u = (bits(p1, 32, 8) + state.landscape.scrollU) & 0xFFu;
    const std::uint32_t uFraction = bits(p1, 16, 16);
    const std::uint32_t v = (bits(p2, 32, 8) + state.landscape.scrollV) & 0xFFu;
    const std::uint32_t vFraction = bits(p2, 16, 16);

    // Two packed accumulators move u and v together; the carry out of each addition feeds the
    // next one and runs on from pixel to pixel.
    std::uint32_t accX = (uFraction << 16) + ((vFraction >> 8) << 8) + v;
    std::uint32_t accY = (vFraction << 16) + (v << 8) + u;
    const std::uint32_t stepAccX = (bits(p3, 16, 16) << 16) + bits(p4, 32, 16);
    const std::uint32_t stepAccY = (bits(p4, 16, 16) << 16) + bits(p3, 32, 16);

    const std::uint8_t* colourMap = core::buffers.landscapeColours.data();
    const std::uint8_t* heightMap = core::buffers.landscapeHeights.data();
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

// Keeps the eye below the horizon, comparing 16-bit values.
void keepEyeBelowHorizon() {
    const auto eye = static_cast<std::int16_t>(state.landscape.eyeHeight);
    const std::int32_t highest = wrapSub(state.landscape.horizon, 1);
    if (eye > static_cast<std::int16_t>(highest)) {
        state.landscape.eyeHeight = highest;
    } else if (eye < 1) {
        state.landscape.eyeHeight = 1;
    }
}

}  // namespace

void resetLandscape() {
    state.landscape = Landscape{};
}

std::int64_t landscapeDividend(std::int32_t k) {
    const std::uint64_t high = static_cast<std::uint64_t>(static_cast<std::uint32_t>(k)) << 32;
    const std::uint64_t low = static_cast<std::uint32_t>(k) << 16;
    return static_cast<std::int64_t>(high | low);
}

void drawLandscape(std::uint8_t* destination, LandscapeAim aim) {
    // The tilt difference is shifted as an unsigned 32-bit pattern.
    const std::uint32_t tiltDelta = static_cast<std::uint32_t>(aim.tilt) - 350u;
    state.landscape.horizon = static_cast<std::int32_t>(230u + (tiltDelta >> 3));

    copySky(destination, aim);

    state.landscape.scrollU = static_cast<std::uint8_t>(state.landscape.scrollU - 8);
    state.landscape.scrollV = static_cast<std::uint8_t>(state.landscape.scrollV + 4);

    RayWalk ray = firstRay(aim);
    const std::int64_t dividend =
        landscapeDividend(wrapSub(state.landscape.eyeHeight, state.landscape.horizon));
    for (int line = 0; line < kLineCount; ++line) {
        if (ray.z > kNearestDepth) {
            // Perspective distance: the quotient is kept to its low 32 bits.
            const std::int64_t t = low32(dividend / ray.z);
            drawLine(destination + (line - kFirstRowLine) * kWidth, t, ray,
                     line < kFirstRowLine ? 1u : 0u);
        }
        // Skipped lines advance the ray too.
        advance(ray);
    }

    keepEyeBelowHorizon();
}

}  // namespace display
