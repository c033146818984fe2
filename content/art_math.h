#pragma once
// Arithmetic for the content generator that gives the same bits on every machine: only the
// IEEE basic operations (+, -, *, /, sqrt) are used, so no result depends on a maths library.
// Transcendental functions are evaluated here by range reduction and fixed polynomials.
#include <cstdint>

namespace content {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

double detSin(double x);
double detCos(double x);
// e^x for x in about -700 .. 700.
double detExp(double x);
// atan2 with the usual quadrant rules; (0, 0) gives 0.
double detAtan2(double y, double x);
double detSqrt(double x);

inline double clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}
inline double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}
inline double smoothstep(double edge0, double edge1, double x) {
    const double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}
// Rounds to the nearest integer (halves away from zero) without a library call.
int roundToInt(double v);
// Maps 0..1 onto a byte 0..255 with rounding and clamping.
std::uint8_t toByte(double v);

// A 32-bit integer hash (good avalanche) used for all the art's randomness.
std::uint32_t hash32(std::uint32_t x);
std::uint32_t hash3(std::int32_t x, std::int32_t y, std::uint32_t seed);
// 0 .. 1 from a hash.
double hashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Smooth value noise that repeats every `period` cells in both directions.
double tiledNoise(double x, double y, int period, std::uint32_t seed);
// Sum of `octaves` tiled noises, each twice the frequency and `gain` times the amplitude of the
// one before; the result is normalised to 0 .. 1. The base period repeats over `period` cells.
double tiledFbm(double x, double y, int period, int octaves, double gain, std::uint32_t seed);

// A small deterministic sequence generator for placing things (stars, sparks).
class Sequence {
  public:
    explicit Sequence(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ += 0x9E3779B9u;
        return hash32(state_);
    }
    // 0 .. 1 (excluding 1).
    double unit() { return static_cast<double>(next() >> 8) / 16777216.0; }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }

  private:
    std::uint32_t state_;
};

}  // namespace content
