#include "content/art_math.h"

#include <cmath>

namespace content {

namespace {

// Reduces x to r in [-pi, pi] with x = r + 2*pi*k. The reduction uses a two-part 2*pi so
// that arguments of a few hundred radians keep their accuracy.
double reduceAngle(double x) {
    constexpr double kTwoPiHigh = 6.28318530717958623200;
    constexpr double kTwoPiLow = 2.44929359829470635445e-16;
    const double k = static_cast<double>(roundToInt(x / kTwoPi));
    return (x - k * kTwoPiHigh) - k * kTwoPiLow;
}

// Taylor series of sin on [-pi/2, pi/2]; terms to x^21 keep the error below 1e-16.
double sinSeries(double x) {
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 10; ++n) {
        term = -term * x2 / static_cast<double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

// atan on [0, 1] by halving the argument twice and a series.
double atanUnit(double t) {
    // atan(t) = 2 atan(t / (1 + sqrt(1 + t^2))); twice brings t below 0.2.
    double scale = 1.0;
    for (int i = 0; i < 2; ++i) {
        t = t / (1.0 + std::sqrt(1.0 + t * t));
        scale *= 2.0;
    }
    const double t2 = t * t;
    double term = t;
    double sum = t;
    for (int n = 1; n <= 14; ++n) {
        term = -term * t2;
        sum += term / static_cast<double>(2 * n + 1);
    }
    return scale * sum;
}

}  // namespace

int roundToInt(double v) {
    return v >= 0.0 ? static_cast<int>(v + 0.5) : -static_cast<int>(-v + 0.5);
}

std::uint8_t toByte(double v) {
    const int i = roundToInt(v * 255.0);
    return static_cast<std::uint8_t>(i < 0 ? 0 : (i > 255 ? 255 : i));
}

double detSin(double x) {
    double r = reduceAngle(x);
    if (r > kPi / 2) {
        r = kPi - r;
    } else if (r < -kPi / 2) {
        r = -kPi - r;
    }
    return sinSeries(r);
}

double detCos(double x) {
    return detSin(x + kPi / 2);
}

double detExp(double x) {
    constexpr double kLn2 = 0.69314718055994530942;
    const int k = roundToInt(x / kLn2);
    const double r = x - static_cast<double>(k) * kLn2;  // |r| <= ln2 / 2
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 18; ++n) {
        term = term * r / static_cast<double>(n);
        sum += term;
    }
    return std::ldexp(sum, k);  // exact scaling by a power of two
}

double detAtan2(double y, double x) {
    if (x == 0.0 && y == 0.0) {
        return 0.0;
    }
    const double ax = x < 0 ? -x : x;
    const double ay = y < 0 ? -y : y;
    double a = ax >= ay ? atanUnit(ay / ax) : kPi / 2 - atanUnit(ax / ay);
    if (x < 0) {
        a = kPi - a;
    }
    return y < 0 ? -a : a;
}

double detSqrt(double x) {
    return x <= 0.0 ? 0.0 : std::sqrt(x);
}

std::uint32_t hash32(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

std::uint32_t hash3(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return hash32(static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                  hash32(static_cast<std::uint32_t>(y) * 0xD8163841u ^ hash32(seed)));
}

double hashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return static_cast<double>(hash3(x, y, seed) >> 8) / 16777215.0;
}

double tiledNoise(double x, double y, int period, std::uint32_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = x - fx;
    const double ty = y - fy;
    const double sx = tx * tx * (3.0 - 2.0 * tx);
    const double sy = ty * ty * (3.0 - 2.0 * ty);
    auto cell = [&](int cx, int cy) {
        const int wx = ((cx % period) + period) % period;
        const int wy = ((cy % period) + period) % period;
        return hashUnit(wx, wy, seed);
    };
    const double top = lerp(cell(ix, iy), cell(ix + 1, iy), sx);
    const double bottom = lerp(cell(ix, iy + 1), cell(ix + 1, iy + 1), sx);
    return lerp(top, bottom, sy);
}

double tiledFbm(double x, double y, int period, int octaves, double gain, std::uint32_t seed) {
    double sum = 0.0;
    double amplitude = 1.0;
    double total = 0.0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * tiledNoise(x, y, period, seed + static_cast<std::uint32_t>(o) * 977u);
        total += amplitude;
        amplitude *= gain;
        x *= 2.0;
        y *= 2.0;
        period *= 2;
    }
    return sum / total;
}

}  // namespace content
