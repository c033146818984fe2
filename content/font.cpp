// The program's own stroke font: every glyph is a few polylines on a 4 x 6 grid (y grows
// downward). Drawn through addStrokes it gives clean lettering at any size, with glow.
#include <array>
#include <string>

#include "content/canvas.h"

namespace content {

namespace {

constexpr double kGlyphWidth = 4.0;
constexpr double kGlyphAdvance = 5.6;  // width plus spacing, in units
constexpr double kSpaceAdvance = 4.0;

struct Glyph {
    char character;
    const char* path;  // polylines separated by '|', points by ' ', coordinates by ','
};

constexpr std::array<Glyph, 44> kGlyphs = {{
    {'A', "0,6 0,2 2,0 4,2 4,6|0,3.6 4,3.6"},
    {'B', "0,3 3,3 4,4 4,5 3,6 0,6 0,0 3,0 4,1 4,2 3,3"},
    {'C', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5"},
    {'D', "0,0 0,6 2.4,6 4,4.4 4,1.6 2.4,0 0,0"},
    {'E', "4,0 0,0 0,6 4,6|0,3 3,3"},
    {'F', "4,0 0,0 0,6|0,3 3,3"},
    {'G', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.4 2.2,3.4"},
    {'H', "0,0 0,6|4,0 4,6|0,3 4,3"},
    {'I', "1,0 3,0|2,0 2,6|1,6 3,6"},
    {'J', "4,0 4,5 3,6 1,6 0,5"},
    {'K', "0,0 0,6|4,0 0,3.6|1.4,2.7 4,6"},
    {'L', "0,0 0,6 4,6"},
    {'M', "0,6 0,0 2,3 4,0 4,6"},
    {'N', "0,6 0,0 4,6 4,0"},
    {'O', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0"},
    {'P', "0,6 0,0 3,0 4,1 4,2 3,3 0,3"},
    {'Q', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|2.6,4.6 4,6.2"},
    {'R', "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,6"},
    {'S', "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5"},
    {'T', "0,0 4,0|2,0 2,6"},
    {'U', "0,0 0,5 1,6 3,6 4,5 4,0"},
    {'V', "0,0 2,6 4,0"},
    {'W', "0,0 1,6 2,3 3,6 4,0"},
    {'X', "0,0 4,6|4,0 0,6"},
    {'Y', "0,0 2,3 4,0|2,3 2,6"},
    {'Z', "0,0 4,0 0,6 4,6"},
    {'0', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|3.4,1 0.6,5"},
    {'1', "0.8,1.2 2,0 2,6|0.8,6 3.2,6"},
    {'2', "0,1 1,0 3,0 4,1 4,2 0,6 4,6"},
    {'3', "0,1 1,0 3,0 4,1 4,2 3,3 4,4 4,5 3,6 1,6 0,5|1.4,3 3,3"},
    {'4', "3,6 3,0 0,4 4,4"},
    {'5', "4,0 0,0 0,3 3,3 4,4 4,5 3,6 0,6"},
    {'6', "3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3"},
    {'7', "0,0 4,0 1.4,6"},
    {'8', "1,3 0,2 0,1 1,0 3,0 4,1 4,2 3,3 1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3"},
    {'9', "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,5 3,6 1,6"},
    {'.', "2,5.9 2,6"},
    {',', "2,5.6 1.4,7"},
    {'-', "1,3 3,3"},
    {'!', "2,0 2,4|2,5.9 2,6"},
    {':', "2,1.9 2,2|2,5.9 2,6"},
    {'/', "4,0 0,6"},
    {'+', "2,1.5 2,4.5|0.5,3 3.5,3"},
    {'\'', "2,0 2,1.5"},
}};

// Empty for a character the font lacks: it is drawn as a blank.
const char* glyphPath(char c) {
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.character == c) {
            return glyph.path;
        }
    }
    return "";
}

// Reads a plain decimal like "2" or "3.45" (no locale involved); advances pos past it.
double parseNumber(const std::string& s, std::size_t& pos) {
    double value = 0.0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        value = value * 10.0 + (s[pos++] - '0');
    }
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        double scale = 0.1;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
            value += (s[pos++] - '0') * scale;
            scale *= 0.1;
        }
    }
    return value;
}

double advanceOf(char c) {
    return c == ' ' ? kSpaceAdvance : kGlyphAdvance;
}

}  // namespace

double textWidth(std::string_view text, double unit) {
    double w = 0.0;
    for (char c : text) {
        w += advanceOf(c);
    }
    // The last glyph has no trailing spacing.
    if (!text.empty() && text.back() != ' ') {
        w -= kGlyphAdvance - kGlyphWidth;
    }
    return w * unit;
}

std::vector<Segment> textStrokes(std::string_view text, double x, double y, double unit,
                                 double slant) {
    std::vector<Segment> out;
    double pen = 0.0;
    for (char c : text) {
        const std::string path = glyphPath(c);
        std::size_t pos = 0;
        bool havePoint = false;
        double px = 0.0, py = 0.0;
        while (pos < path.size()) {
            if (path[pos] == '|') {
                havePoint = false;
                ++pos;
                continue;
            }
            if (path[pos] == ' ') {
                ++pos;
                continue;
            }
            const double gx = parseNumber(path, pos);
            ++pos;  // the ','
            const double gy = parseNumber(path, pos);
            const double sx = x + (pen + gx + slant * (6.0 - gy)) * unit;
            const double sy = y + gy * unit;
            if (havePoint) {
                out.push_back({px, py, sx, sy});
            } else if (pos >= path.size() || path[pos] == '|') {
                out.push_back({sx, sy, sx, sy});  // a lone point
            }
            px = sx;
            py = sy;
            havePoint = true;
        }
        pen += advanceOf(c);
    }
    return out;
}

std::vector<Segment> centredText(std::string_view text, double cx, double cy, double unit,
                                 double slant) {
    return textStrokes(text, cx - textWidth(text, unit) / 2.0, cy - 3.0 * unit, unit, slant);
}

}  // namespace content
