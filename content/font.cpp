// The program's own stroke font: every glyph is a few polylines on a 4 x 6 grid (y grows
// downward). Drawn through addStrokes it gives clean lettering at any size, with glow.
#include <string>

#include "content/canvas.h"

namespace content {

namespace {

constexpr double kGlyphWidth = 4.0;
constexpr double kGlyphAdvance = 5.6;  // width plus spacing, in units
constexpr double kSpaceAdvance = 4.0;

// Polylines separated by '|', points by ' ', coordinates by ','.
const char* glyphPath(char c) {
    switch (c) {
        case 'A':
            return "0,6 0,2 2,0 4,2 4,6|0,3.6 4,3.6";
        case 'B':
            return "0,3 3,3 4,4 4,5 3,6 0,6 0,0 3,0 4,1 4,2 3,3";
        case 'C':
            return "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5";
        case 'D':
            return "0,0 0,6 2.4,6 4,4.4 4,1.6 2.4,0 0,0";
        case 'E':
            return "4,0 0,0 0,6 4,6|0,3 3,3";
        case 'F':
            return "4,0 0,0 0,6|0,3 3,3";
        case 'G':
            return "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.4 2.2,3.4";
        case 'H':
            return "0,0 0,6|4,0 4,6|0,3 4,3";
        case 'I':
            return "1,0 3,0|2,0 2,6|1,6 3,6";
        case 'J':
            return "4,0 4,5 3,6 1,6 0,5";
        case 'K':
            return "0,0 0,6|4,0 0,3.6|1.4,2.7 4,6";
        case 'L':
            return "0,0 0,6 4,6";
        case 'M':
            return "0,6 0,0 2,3 4,0 4,6";
        case 'N':
            return "0,6 0,0 4,6 4,0";
        case 'O':
            return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0";
        case 'P':
            return "0,6 0,0 3,0 4,1 4,2 3,3 0,3";
        case 'Q':
            return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|2.6,4.6 4,6.2";
        case 'R':
            return "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,6";
        case 'S':
            return "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5";
        case 'T':
            return "0,0 4,0|2,0 2,6";
        case 'U':
            return "0,0 0,5 1,6 3,6 4,5 4,0";
        case 'V':
            return "0,0 2,6 4,0";
        case 'W':
            return "0,0 1,6 2,3 3,6 4,0";
        case 'X':
            return "0,0 4,6|4,0 0,6";
        case 'Y':
            return "0,0 2,3 4,0|2,3 2,6";
        case 'Z':
            return "0,0 4,0 0,6 4,6";
        case '0':
            return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|3.4,1 0.6,5";
        case '1':
            return "0.8,1.2 2,0 2,6|0.8,6 3.2,6";
        case '2':
            return "0,1 1,0 3,0 4,1 4,2 0,6 4,6";
        case '3':
            return "0,1 1,0 3,0 4,1 4,2 3,3 4,4 4,5 3,6 1,6 0,5|1.4,3 3,3";
        case '4':
            return "3,6 3,0 0,4 4,4";
        case '5':
            return "4,0 0,0 0,3 3,3 4,4 4,5 3,6 0,6";
        case '6':
            return "3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3";
        case '7':
            return "0,0 4,0 1.4,6";
        case '8':
            return "1,3 0,2 0,1 1,0 3,0 4,1 4,2 3,3 1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3";
        case '9':
            return "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,5 3,6 1,6";
        case '.':
            return "2,5.9 2,6";
        case ',':
            return "2,5.6 1.4,7";
        case '-':
            return "1,3 3,3";
        case '!':
            return "2,0 2,4|2,5.9 2,6";
        case ':':
            return "2,1.9 2,2|2,5.9 2,6";
        case '/':
            return "4,0 0,6";
        case '+':
            return "2,1.5 2,4.5|0.5,3 3.5,3";
        case '\'':
            return "2,0 2,1.5";
        default:
            return "";
    }
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
