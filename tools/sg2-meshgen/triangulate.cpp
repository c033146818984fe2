#include "tools/sg2-meshgen/triangulate.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

namespace meshgen {

double orient2d(const Point& a, const Point& b, const Point& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

double inCircle(const Point& a, const Point& b, const Point& c, const Point& d) {
    const double adx = a.x - d.x, ady = a.y - d.y;
    const double bdx = b.x - d.x, bdy = b.y - d.y;
    const double cdx = c.x - d.x, cdy = c.y - d.y;
    const double aLift = adx * adx + ady * ady;
    const double bLift = bdx * bdx + bdy * bdy;
    const double cLift = cdx * cdx + cdy * cdy;
    return aLift * (bdx * cdy - cdx * bdy) + bLift * (cdx * ady - adx * cdy) +
           cLift * (adx * bdy - bdx * ady);
}

std::vector<Triangle> delaunay(const std::vector<Point>& input) {
    // A super-triangle a few thousand units across: far enough that it never cuts the short
    // boundary edges the generator relies on, near enough that the predicates stay exact.
    std::vector<Point> points = input;
    const int n = static_cast<int>(input.size());
    points.push_back({-3000, -3000});
    points.push_back({3000, -3000});
    points.push_back({0, 3000});

    std::vector<Triangle> triangles{{n, n + 1, n + 2}};
    for (int p = 0; p < n; ++p) {
        std::map<std::pair<int, int>, int> edgeUse;
        std::vector<Triangle> kept;
        std::vector<std::array<int, 2>> cavityEdges;
        for (const Triangle& t : triangles) {
            if (inCircle(points[t.a], points[t.b], points[t.c], points[p]) > 0) {
                for (auto [u, v] :
                     {std::pair{t.a, t.b}, std::pair{t.b, t.c}, std::pair{t.c, t.a}}) {
                    ++edgeUse[{std::min(u, v), std::max(u, v)}];
                    cavityEdges.push_back({u, v});
                }
            } else {
                kept.push_back(t);
            }
        }
        for (const auto& e : cavityEdges) {
            if (edgeUse[{std::min(e[0], e[1]), std::max(e[0], e[1])}] == 1) {
                kept.push_back({e[0], e[1], p});
            }
        }
        triangles = std::move(kept);
    }
    std::erase_if(triangles, [n](const Triangle& t) { return t.a >= n || t.b >= n || t.c >= n; });
    return triangles;
}

}  // namespace meshgen
