#include "raster/lines.h"

#include <algorithm>

#include "core/picture.h"

namespace raster {

namespace {

constexpr std::int64_t kWidth = core::kPictureWidth;
constexpr std::int64_t kHeight = core::kPictureHeight;
constexpr int kInsideLight = 50;
constexpr int kClippedLight = 20;

bool onPicture(std::int32_t x, std::int32_t y) {
    return x >= 0 && x < kWidth && y >= 0 && y < kHeight;
}

// Floor of a / b for b > 0.
__int128 floorDivide(__int128 a, __int128 b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// One axis of the walk: starts at `start`, moves by `step` (+1 or -1).
struct Axis {
    std::int64_t start;
    std::int64_t step;
    std::int64_t delta;  // distance to the end point along this axis
    std::int64_t limit;  // picture extent along this axis
};

// Walks the major axis one pixel per iteration, 0..major.delta. The minor axis moves whenever
// the error term g is at most 0 before the iteration (then g grows by the major delta); g
// shrinks by the minor delta every iteration. Because g stays within (-major, major], the
// number of minor moves in the first n iterations has the closed form
// max(0, floor((minor.delta * (n - 1) - g0) / major.delta) + 1), which lets the walk begin at
// the first iteration whose major coordinate lies on the picture.
void walk(std::uint8_t* target, int light, const Axis& major, const Axis& minor, std::int64_t g0,
          bool majorIsX) {
    // Iterations whose major coordinate lies in 0 .. limit - 1.
    std::int64_t first = major.step > 0 ? -major.start : major.start - (major.limit - 1);
    std::int64_t last = major.step > 0 ? major.limit - 1 - major.start : major.start;
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, major.delta);
    if (first > last) {
        return;
    }

    std::int64_t minorMoves = 0;
    if (first > 0) {
        const __int128 numerator = static_cast<__int128>(minor.delta) * (first - 1) - g0;
        minorMoves = static_cast<std::int64_t>(
            std::max<__int128>(0, floorDivide(numerator, major.delta) + 1));
    }
    std::int64_t g =
        static_cast<std::int64_t>(g0 + static_cast<__int128>(major.delta) * minorMoves -
                                  static_cast<__int128>(minor.delta) * first);
    std::int64_t majorAt = major.start + first * major.step;
    std::int64_t minorAt = minor.start + minorMoves * minor.step;

    for (std::int64_t n = first; n <= last; ++n) {
        if (minorAt >= 0 && minorAt < minor.limit) {
            std::uint8_t& pixel =
                majorIsX ? target[minorAt * kWidth + majorAt] : target[majorAt * kWidth + minorAt];
            pixel = static_cast<std::uint8_t>(std::min(pixel + light, 255));
        }
        if (g <= 0) {
            g += major.delta;
            minorAt += minor.step;
        }
        g -= minor.delta;
        majorAt += major.step;
    }
}

}  // namespace

void addLine(std::uint8_t* target, std::int32_t x1, std::int32_t y1, std::int32_t x2,
             std::int32_t y2) {
    const int light = onPicture(x1, y1) && onPicture(x2, y2) ? kInsideLight : kClippedLight;
    const Axis x{x1, x2 >= x1 ? 1 : -1, x2 >= x1 ? std::int64_t{x2} - x1 : std::int64_t{x1} - x2,
                 kWidth};
    const Axis y{y1, y2 >= y1 ? 1 : -1, y2 >= y1 ? std::int64_t{y2} - y1 : std::int64_t{y1} - y2,
                 kHeight};
    const std::int64_t err = (x.delta - y.delta) >> 1;
    if (x.delta >= y.delta) {
        // Along x: y moves when err <= 0, then err += dx; err -= dy every pixel.
        walk(target, light, x, y, err, true);
    } else {
        // Along y: x moves when err > 0, then err -= dy; err += dx every pixel. With
        // g = 1 - err this is the same rule as above with the axes swapped.
        walk(target, light, y, x, 1 - err, false);
    }
}

}  // namespace raster
