#include "content/canvas.h"

#include <algorithm>
#include <cmath>

#include "content/art_math.h"

namespace content {

namespace {

struct Box {
    int x0, y0, x1, y1;  // inclusive
};

Box clipBox(const Canvas& canvas, double minX, double minY, double maxX, double maxY) {
    Box b{static_cast<int>(std::floor(minX)), static_cast<int>(std::floor(minY)),
          static_cast<int>(std::ceil(maxX)), static_cast<int>(std::ceil(maxY))};
    b.x0 = std::max(b.x0, 0);
    b.y0 = std::max(b.y0, 0);
    b.x1 = std::min(b.x1, canvas.width - 1);
    b.y1 = std::min(b.y1, canvas.height - 1);
    return b;
}

double segmentDistance(const Segment& s, double px, double py) {
    const double dx = s.x1 - s.x0;
    const double dy = s.y1 - s.y0;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0.0 ? ((px - s.x0) * dx + (py - s.y0) * dy) / len2 : 0.0;
    t = clamp01(t);
    const double ex = s.x0 + t * dx - px;
    const double ey = s.y0 + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

// Calls visit(x, y, distance) for each pixel within `range` of the strokes, with the distance
// to the nearest stroke.
template <typename Visit>
void forStrokeDistances(const Canvas& canvas, const std::vector<Segment>& strokes, double range,
                        Visit visit) {
    if (strokes.empty()) {
        return;
    }
    double minX = strokes[0].x0, maxX = minX, minY = strokes[0].y0, maxY = minY;
    for (const Segment& s : strokes) {
        minX = std::min({minX, s.x0, s.x1});
        maxX = std::max({maxX, s.x0, s.x1});
        minY = std::min({minY, s.y0, s.y1});
        maxY = std::max({maxY, s.y0, s.y1});
    }
    const Box box = clipBox(canvas, minX - range, minY - range, maxX + range, maxY + range);
    for (int y = box.y0; y <= box.y1; ++y) {
        for (int x = box.x0; x <= box.x1; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            double best = range;
            for (const Segment& s : strokes) {
                // Cheap reject by the segment's bounding box before the exact distance.
                if (px < std::min(s.x0, s.x1) - best || px > std::max(s.x0, s.x1) + best ||
                    py < std::min(s.y0, s.y1) - best || py > std::max(s.y0, s.y1) + best) {
                    continue;
                }
                best = std::min(best, segmentDistance(s, px, py));
            }
            if (best < range) {
                visit(x, y, best);
            }
        }
    }
}

}  // namespace

void addSoftDisc(Canvas& canvas, double cx, double cy, double radius, double amplitude) {
    const Box box = clipBox(canvas, cx - radius, cy - radius, cx + radius, cy + radius);
    const double inv = 1.0 / (radius * radius);
    for (int y = box.y0; y <= box.y1; ++y) {
        for (int x = box.x0; x <= box.x1; ++x) {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            const double q = 1.0 - (dx * dx + dy * dy) * inv;
            if (q > 0.0) {
                canvas.at(x, y) += amplitude * q * q;
            }
        }
    }
}

void addGlow(Canvas& canvas, double cx, double cy, double radius, double amplitude) {
    // (1 + q)^-1.5 < 1/200 when q > 200^(2/3) - 1 ~ 33.2, i.e. d > 5.76 r.
    const double reach = radius * 5.8;
    const Box box = clipBox(canvas, cx - reach, cy - reach, cx + reach, cy + reach);
    const double inv = 1.0 / (radius * radius);
    for (int y = box.y0; y <= box.y1; ++y) {
        for (int x = box.x0; x <= box.x1; ++x) {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            const double q = 1.0 + (dx * dx + dy * dy) * inv;
            const double falloff = 1.0 / (q * std::sqrt(q));
            if (falloff > 0.005) {
                canvas.at(x, y) += amplitude * (falloff - 0.005) / 0.995;
            }
        }
    }
}

void addStrokes(Canvas& canvas, const std::vector<Segment>& strokes, double halfWidth,
                double coreAmp, double glowRadius, double glowAmp) {
    const double range = halfWidth + 1.0 + (glowAmp > 0.0 ? glowRadius * 6.0 : 0.0);
    forStrokeDistances(canvas, strokes, range, [&](int x, int y, double d) {
        const double core = clamp01(halfWidth + 0.5 - d);
        double glow = 0.0;
        if (glowAmp > 0.0) {
            const double q = d / glowRadius;
            glow = glowAmp / (1.0 + q * q);
        }
        canvas.at(x, y) += coreAmp * core + glow;
    });
}

void maskStrokes(Canvas& canvas, const std::vector<Segment>& strokes, double halfWidth,
                 double factor) {
    forStrokeDistances(canvas, strokes, halfWidth + 1.0, [&](int x, int y, double d) {
        const double core = clamp01(halfWidth + 0.5 - d);
        canvas.at(x, y) *= lerp(1.0, factor, core);
    });
}

std::vector<std::uint8_t> toIndices(const Canvas& canvas) {
    std::vector<std::uint8_t> out(canvas.pixels.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        std::uint8_t v = toByte(canvas.pixels[i]);
        // Indices 100 and 200 are the frame colours, not part of the ramp: a picture takes
        // the neighbour on the side its exact value lies.
        if (v == 100 || v == 200) {
            v = canvas.pixels[i] * 255.0 < v ? v - 1 : v + 1;
        }
        out[i] = v;
    }
    return out;
}

double softClip(double v) {
    if (v <= 0.0) {
        return 0.0;
    }
    // Linear up to 0.6, then an exponential knee toward 1.
    if (v < 0.6) {
        return v;
    }
    return 1.0 - 0.4 * detExp(-(v - 0.6) / 0.4);
}

}  // namespace content
