#pragma once
// Delaunay triangulation of a small planar point set, for the mesh generator only.
#include <vector>

namespace meshgen {

struct Point {
    double x = 0;
    double y = 0;
};

// Indices into the point list; each triangle has positive orientation (orient2d > 0).
struct Triangle {
    int a = 0;
    int b = 0;
    int c = 0;
};

// Twice the signed area of abc: positive when a, b, c turn counter-clockwise in x-right, y-up
// axes. Exact for the small integer coordinates the generator finally uses.
double orient2d(const Point& a, const Point& b, const Point& c);

// Positive when d lies strictly inside the circle through a, b, c (abc positively oriented).
double inCircle(const Point& a, const Point& b, const Point& c, const Point& d);

// Bowyer-Watson over every point; quadratic, which is plenty for a few hundred points.
std::vector<Triangle> delaunay(const std::vector<Point>& points);

}  // namespace meshgen
