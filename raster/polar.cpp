#include "raster/polar.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "core/show.h"
#include "raster/state.h"

namespace raster {

namespace {

using Extended = long double;

// The constants are the program's double literals, widened: the arithmetic itself runs in
// extended precision.
constexpr Extended ext(double value) {
    return static_cast<Extended>(value);
}

// e^x in extended precision. Where long double is the 64-bit-significand format this is the C
// library's; where it is a wider one (WebAssembly's 113-bit format), the C library works the
// exponential out in double precision only, which is coarser than the tables need, so it is
// summed here: x = k ln 2 + r with |r| <= ln 2 / 2, then the series of e^r, scaled by 2^k.
Extended exponential(Extended x) {
    if constexpr (std::numeric_limits<Extended>::digits <= 64) {
        return std::exp(x);
    } else {
        constexpr Extended kLn2 = 0.693147180559945309417232121458176568075500134360255254L;
        const Extended k = std::nearbyint(x / kLn2);
        const Extended r = x - k * kLn2;
        Extended sum = 1;
        Extended term = 1;
        for (int n = 1; n < 40 && term != 0; ++n) {
            term *= r / n;
            sum += term;
        }
        return std::ldexp(sum, static_cast<int>(k));
    }
}

// Truncation toward zero into a 64-bit integer. A value with no integer form (NaN, infinite or
// beyond 64 bits) gives the x87 "integer indefinite" pattern, whose low 16 bits are 0.
std::int64_t truncate(Extended value) {
    if (!(value > ext(-9.2e18) && value < ext(9.2e18))) {
        return INT64_MIN;
    }
    return static_cast<std::int64_t>(value);
}

std::uint8_t lowByte(std::int64_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint16_t lowWord(std::int64_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}

// Angle, distance and the three depth terms of one tunnel position relative to a centre.
struct TunnelTerms {
    float angle;      // stored as a 32-bit float, as the entry takes it
    Extended radius;  // r
    Extended swirl;   // s
    Extended glow;    // g
    Extended ripple;  // w, valid only when rippleDefined
    bool rippleDefined;
};

TunnelTerms tunnelTerms(int x, int y, int cx, int cy) {
    TunnelTerms terms{};
    const Extended across = static_cast<Extended>(cx) + ext(0.01) - x;
    const Extended down = static_cast<Extended>(cy) + ext(0.01) - y;
    terms.angle = static_cast<float>(std::atan(ext(1.6) * across / down) * ext(40.7436) * ext(2.0));
    if (y > cy) {
        terms.angle = static_cast<float>(static_cast<Extended>(terms.angle) + ext(256.0));
    }
    const int dy = cy - y;
    const int dx = cx - x;
    terms.radius =
        std::sqrt(ext(1.6) * static_cast<Extended>(dy * dy) + static_cast<Extended>(dx * dx));
    terms.swirl = std::sin(static_cast<Extended>(terms.angle) / ext(8.17) * ext(0.5));
    terms.glow = exponential(ext(1.2) - terms.radius / ext(260.0));
    // Within about 1.4 of the centre sin(exp(..)) turns negative and the root has no value;
    // the whole depth then counts as 0.
    const Extended rippleSquare =
        ext(1000.0) * std::sin(exponential(ext(1.2) - terms.radius / ext(25.0)));
    terms.rippleDefined = rippleSquare >= 0;
    terms.ripple = terms.rippleDefined ? std::sqrt(rippleSquare) : 0;
    return terms;
}

}  // namespace

std::uint16_t polarTableEntryExtended(int x, int y) {
    const TunnelTerms t = tunnelTerms(x, y, 320, 200);
    std::int64_t depth = 0;
    if (t.rippleDefined) {
        const std::int64_t d1 = truncate(t.radius + t.swirl);
        const std::int64_t d2 = truncate(static_cast<Extended>(d1 & 0xFFFF) + ext(45.0) * t.glow);
        depth = truncate(static_cast<Extended>(d2 & 0xFFFF) + ext(10.0) * t.ripple);
    }
    return lowWord(truncate(static_cast<Extended>(t.angle) +
                            ext(256.0) * static_cast<Extended>(depth & 0xFFFF)));
}

namespace {

// The tunnel table's 256000 entries in extended precision would cost most of the preparation
// budget. Each entry is therefore first worked out in double precision, and only where a
// truncation, the float rounding of the angle or the ripple's sign lies too close to a
// boundary for double rounding to be sure is it redone in extended precision. The result is
// the extended-precision table.
constexpr double kTruncationMargin = 1e-6;

bool truncateSafely(double value, std::int64_t& result) {
    const double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction < kTruncationMargin || fraction > 1.0 - kTruncationMargin) {
        return false;
    }
    result = static_cast<std::int64_t>(std::trunc(value));
    return true;
}

// Rounds to float, refusing when the value lies so near a point halfway between two floats
// that extended and double precision could round it differently.
bool roundToFloatSafely(double value, float& result) {
    result = static_cast<float>(value);
    const double stored = result;
    const double below = std::nextafter(result, -INFINITY);
    const double above = std::nextafter(result, INFINITY);
    const double halfwayBelow = (stored + below) / 2;
    const double halfwayAbove = (stored + above) / 2;
    const double margin = 1e-12 * std::max(1.0, std::fabs(value));
    return value - halfwayBelow > margin && halfwayAbove - value > margin;
}

// The radius terms of the tunnel table depend only on |dx| and |dy|; worked out once per pair.
struct RadiusTermsFast {
    double radius;
    double glow;
    double ripple;
    bool sure;  // the ripple's sign is certain and its root defined
};

}  // namespace

void buildPolarTable() {
    constexpr int kMaxAcross = 321;  // |320 - x| for x = 0..639
    constexpr int kMaxDown = 201;    // |200 - y| for y = 0..399
    std::vector<RadiusTermsFast> radiusTerms(kMaxAcross * kMaxDown);
    for (int dy = 0; dy < kMaxDown; ++dy) {
        for (int dx = 0; dx < kMaxAcross; ++dx) {
            RadiusTermsFast& terms = radiusTerms[dy * kMaxAcross + dx];
            terms.radius = std::sqrt(1.6 * static_cast<double>(dy * dy) + dx * dx);
            terms.glow = std::exp(1.2 - terms.radius / 260.0);
            const double rippleSquare = 1000.0 * std::sin(std::exp(1.2 - terms.radius / 25.0));
            terms.sure = rippleSquare > 1e-6;
            terms.ripple = terms.sure ? std::sqrt(rippleSquare) : 0.0;
        }
    }
    for (int y = 0; y < kPolarTableHeight; ++y) {
        const double down = 200.0 + 0.01 - y;
        for (int x = 0; x < kPolarTableWidth; ++x) {
            const RadiusTermsFast& terms =
                radiusTerms[std::abs(200 - y) * kMaxAcross + std::abs(320 - x)];
            std::uint16_t& entry = state.polarTable[y * kPolarTableWidth + x];
            float angle = 0.0f;
            std::int64_t d1 = 0;
            std::int64_t d2 = 0;
            std::int64_t d3 = 0;
            const double across = 320.0 + 0.01 - x;
            bool sure = terms.sure &&
                        roundToFloatSafely(std::atan(1.6 * across / down) * 40.7436 * 2.0, angle);
            if (sure && y > 200) {
                // The float plus 256 is exact in double when no bits fall off.
                const double turned = static_cast<double>(angle) + 256.0;
                sure = turned - 256.0 == static_cast<double>(angle);
                angle = static_cast<float>(turned);
            }
            sure = sure &&
                   truncateSafely(terms.radius + std::sin(static_cast<double>(angle) / 8.17 * 0.5),
                                  d1) &&
                   truncateSafely(static_cast<double>(d1 & 0xFFFF) + 45.0 * terms.glow, d2) &&
                   truncateSafely(static_cast<double>(d2 & 0xFFFF) + 10.0 * terms.ripple, d3);
            if (sure) {
                // A float plus a multiple of 256 below 2^24 is exact in double.
                entry = lowWord(static_cast<std::int64_t>(std::trunc(
                    static_cast<double>(angle) + 256.0 * static_cast<double>(d3 & 0xFFFF))));
            } else {
                entry = polarTableEntryExtended(x, y);
            }
        }
    }
}

void buildWindowMap() {
    for (int y = 0; y < kWindowMapHeight; ++y) {
        for (int x = 0; x < kWindowMapWidth; ++x) {
            const TunnelTerms t = tunnelTerms(x, y, 40, 25);
            std::int64_t depth = 0;
            if (t.rippleDefined) {
                depth = truncate(t.radius + t.glow * t.swirl + ext(16.0) * t.ripple);
            }
            state.windowMap[y * kWindowMapWidth + x] =
                lowWord(truncate(static_cast<Extended>(t.angle) +
                                 ext(256.0) * static_cast<Extended>(depth & 0xFFFF)));
        }
    }
}

void buildWindowBend(std::int32_t amplitude, float frequency) {
    for (int i = 0; i < 256; ++i) {
        const Extended bend =
            std::sin(static_cast<Extended>(frequency) * i) * static_cast<Extended>(amplitude);
        state.windowBend[i] = lowByte(truncate(bend));
    }
}

void buildPolarMaps() {
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            const int across = x - 160;
            const int down = y - 100;
            const Extended distance =
                std::sqrt(ext(0.83) * ext(0.83) * static_cast<Extended>(across * across) +
                          static_cast<Extended>(down * down));
            const float storedDistance = static_cast<float>(distance);
            const float storedDown = static_cast<float>(down);
            float angle = 0.0f;
            if (storedDistance != 0.0f) {
                angle = static_cast<float>(std::acos(static_cast<Extended>(storedDown) /
                                                     static_cast<Extended>(storedDistance)));
            }
            if (x < 160) {
                angle = -angle;
            }
            std::uint8_t* entry = state.polarMap.data() + (y * 320 + x) * 3;
            entry[0] = lowByte(truncate(ext(1.35) * distance));
            entry[1] = lowByte(truncate(static_cast<Extended>(angle) * ext(82.0) * ext(0.5)));
        }
    }
    for (int j = 0; j < 256; ++j) {
        const Extended theta = static_cast<Extended>(j) * ext(1.0) / ext(81.0) * ext(2.0);
        const Extended sine = std::sin(theta);
        const Extended cosine = std::cos(theta);
        for (int i = 0; i < 256; ++i) {
            const std::int64_t p = truncate(static_cast<Extended>(i) / ext(1.38) * sine);
            const std::int64_t q = truncate(static_cast<Extended>(i) / ext(2.22) * cosine);
            state.polarOffsets[i + 256 * j] = static_cast<std::int32_t>((q + 100) * 320 + p + 160);
        }
    }
}

void fillAngleTwist() {
    state.angleTwist.fill(lowByte(truncate(static_cast<Extended>(core::motion.sway))));
}

}  // namespace raster
