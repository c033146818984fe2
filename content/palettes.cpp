// The two show palettes. Every effect does arithmetic on palette indices (adds, fades, blurs,
// grain), so both are ramps: index 0 is black and brightness rises with the index while the
// hue travels. Indices 100 and 200, the frame colours of the inset windows and the zoom
// window, stay on the ramp: dimming, grain and mapping land smooth pictures on every index,
// and a colour lifted above its neighbours there draws contour lines across them.
#include <algorithm>

#include "content/entries.h"

#include "content/art_math.h"

namespace content {

namespace {

struct Stop {
    int index;
    double r, g, b;  // 0..63
};

template <std::size_t N>
Palette rampThrough(const Stop (&stops)[N]) {
    Palette p{};
    for (int i = 0; i < 256; ++i) {
        std::size_t s = 0;
        while (s + 2 < N && stops[s + 1].index <= i) {
            ++s;
        }
        const Stop& a = stops[s];
        const Stop& b = stops[s + 1];
        const double t = clamp01(static_cast<double>(i - a.index) / (b.index - a.index));
        // Smooth the joints between stops a little so no band edge shows.
        const double u = t * t * (3.0 - 2.0 * t) * 0.35 + t * 0.65;
        const double rgb[3] = {lerp(a.r, b.r, u), lerp(a.g, b.g, u), lerp(a.b, b.b, u)};
        for (int c = 0; c < 3; ++c) {
            const int v = roundToInt(rgb[c]);
            p[static_cast<std::size_t>(i) * 3 + c] =
                static_cast<std::uint8_t>(v < 0 ? 0 : (v > 63 ? 63 : v));
        }
    }
    // Where a falling channel rounds down one index before the rising ones round up, the
    // brightness would dip by a fraction of a step: hold the falling channel one index longer.
    auto luma = [&](int i) { return 30 * p[i * 3u] + 59 * p[i * 3u + 1] + 11 * p[i * 3u + 2]; };
    for (int i = 1; i < 256; ++i) {
        if (luma(i) < luma(i - 1)) {
            for (std::size_t c = 0; c < 3; ++c) {
                p[i * 3u + c] = std::max(p[i * 3u + c], p[(i - 1) * 3u + c]);
            }
        }
    }
    return p;
}

}  // namespace

Palette makePaletteA() {
    // Night blue through steel and glacier cyan to pale gold and white.
    static constexpr Stop kStops[] = {
        {0, 0, 0, 0},      {24, 1, 2, 9},     {64, 4, 10, 24},   {110, 8, 24, 38},
        {150, 14, 38, 48}, {190, 32, 50, 54}, {225, 52, 56, 50}, {255, 63, 63, 63},
    };
    return rampThrough(kStops);
}

Palette makePaletteB() {
    // Dusk: black, violet, crimson, ember orange, sodium yellow, white.
    static constexpr Stop kStops[] = {
        {0, 0, 0, 0},      {28, 5, 1, 10},    {70, 18, 4, 24},   {115, 36, 10, 22},
        {160, 54, 24, 12}, {205, 62, 44, 20}, {235, 63, 58, 42}, {255, 63, 63, 63},
    };
    return rampThrough(kStops);
}

}  // namespace content
