#pragma once
// A floating-point picture that the art is composed on before it becomes palette indices,
// with the few drawing primitives the pictures share: soft discs, glows and glowing strokes.
#include <cstdint>
#include <string_view>
#include <vector>

namespace content {

struct Canvas {
    Canvas(int w, int h, double fill = 0.0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    double& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    double at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    int width;
    int height;
    std::vector<double> pixels;
};

struct Segment {
    double x0, y0, x1, y1;
};

// Adds amplitude * (1 - d^2/r^2)^2 inside the radius r around (cx, cy).
void addSoftDisc(Canvas& canvas, double cx, double cy, double radius, double amplitude);
// Adds amplitude / (1 + (d/r)^2)^1.5, cut off where it falls below 1/200 of the peak.
void addGlow(Canvas& canvas, double cx, double cy, double radius, double amplitude);
// Draws strokes as one shape (joints do not double up): a solid core of halfWidth with a
// one-pixel antialiased edge at coreAmp, plus a halo glowAmp / (1 + (d/glowRadius)^2).
void addStrokes(Canvas& canvas, const std::vector<Segment>& strokes, double halfWidth,
                double coreAmp, double glowRadius, double glowAmp);
// Multiplies every pixel inside the strokes' core by `factor` (used to cut dark outlines).
void maskStrokes(Canvas& canvas, const std::vector<Segment>& strokes, double halfWidth,
                 double factor);

// Lettering from the program's own stroke font. Glyphs are 4 units wide and 6 high; `unit` is
// the size of one unit in pixels; (x, y) is the top-left of the first glyph. `slant` leans
// the letters (x moves by -slant per unit of height).
std::vector<Segment> textStrokes(std::string_view text, double x, double y, double unit,
                                 double slant = 0.0);
double textWidth(std::string_view text, double unit);
// Same, centred on (cx, cy).
std::vector<Segment> centredText(std::string_view text, double cx, double cy, double unit,
                                 double slant = 0.0);

// Turns 0..1 values into palette indices (rounded, clamped), never the frame colours 100
// and 200.
std::vector<std::uint8_t> toIndices(const Canvas& canvas);
// A soft saturation curve for additive light: 1 - 1/(1 + v + v^2/2 + ...) close to v near 0.
double softClip(double v);

}  // namespace content
