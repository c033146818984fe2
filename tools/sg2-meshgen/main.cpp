// sg2-meshgen: builds the two meshes of the vector renderer and writes them as C++ source.
//
//   objectA, a mask: a planar face outline (68 vertices) with a mouth (24) and two eye holes
//   (13 and 15), filled with 240 relaxed interior points, Delaunay-triangulated and lifted to a
//   relief. One spare vertex at the model origin is used by no face.
//   objectB, a helical tube: 39 rings of 12 vertices around a two-turn helix, fan-capped.
//
// Usage: sg2-meshgen <output.cpp> [--preview <file.pgm>]
// The output is checked in; rerun this only when the design below changes.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/sg2-meshgen/triangulate.h"

namespace meshgen {
namespace {

constexpr double kPi = std::numbers::pi;

struct Vertex3 {
    int x = 0;
    int y = 0;
    int z = 0;
};
struct Face3 {
    int i0 = 0;
    int i1 = 0;
    int i2 = 0;
};
struct Mesh {
    std::vector<Vertex3> vertices;
    std::vector<Face3> faces;
};

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "sg2-meshgen: %s\n", why.c_str());
    std::exit(1);
}

// ---- mask design, in screen terms: X right, Y down, W toward the viewer ----

constexpr int kOutlineCount = 68;
constexpr int kMouthCount = 24;
constexpr int kLeftEyeCount = 13;
constexpr int kRightEyeCount = 15;
constexpr int kInteriorCount = 240;

// Samples a closed curve densely and resamples it to `count` points evenly spaced by arc length.
std::vector<Point> resampleClosed(const std::function<Point(double)>& curve, int count) {
    constexpr int kDense = 4000;
    std::vector<Point> dense(kDense + 1);
    std::vector<double> length(kDense + 1, 0.0);
    for (int i = 0; i <= kDense; ++i) {
        dense[i] = curve(2 * kPi * i / kDense);
        if (i > 0) {
            length[i] = length[i - 1] +
                        std::hypot(dense[i].x - dense[i - 1].x, dense[i].y - dense[i - 1].y);
        }
    }
    std::vector<Point> out;
    int at = 0;
    for (int k = 0; k < count; ++k) {
        const double target = length[kDense] * k / count;
        while (length[at + 1] < target) {
            ++at;
        }
        const double f = (target - length[at]) / (length[at + 1] - length[at]);
        out.push_back({dense[at].x + f * (dense[at + 1].x - dense[at].x),
                       dense[at].y + f * (dense[at + 1].y - dense[at].y)});
    }
    return out;
}

// The face outline before fitting: a broad brow, cheekbones at eye level, a tapered chin and a
// small widow's peak at the top centre.
Point outlineCurve(double t) {
    const double s = std::sin(t);
    const double c = std::cos(t);
    const double down = -c;  // -1 at the top, +1 at the chin
    const double width = 1.0 - 0.34 * std::pow(std::max(0.0, down), 1.6) +
                         0.06 * std::exp(-std::pow((down + 0.2) / 0.35, 2));
    double y = down + 0.10 * std::pow(std::max(0.0, down), 6);
    y += 0.09 * std::exp(-std::pow(s / 0.16, 2)) * std::max(0.0, c);
    return {s * width, y};
}

std::vector<Point> ellipseLoop(int count, double cx, double cy, double rx, double ry, double tilt,
                               double bend) {
    return resampleClosed(
        [=](double t) {
            const double ex = rx * std::cos(t);
            const double ey = ry * std::sin(t) - bend * (ex / rx) * (ex / rx);
            return Point{cx + ex * std::cos(tilt) - ey * std::sin(tilt),
                         cy + ex * std::sin(tilt) + ey * std::cos(tilt)};
        },
        count);
}

bool insidePolygon(const std::vector<Point>& poly, Point p) {
    bool inside = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        if ((poly[i].y > p.y) != (poly[j].y > p.y) &&
            p.x <
                (poly[j].x - poly[i].x) * (p.y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x) {
            inside = !inside;
        }
    }
    return inside;
}

double segmentDistance(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    double f = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
    f = std::clamp(f, 0.0, 1.0);
    return std::hypot(p.x - a.x - f * dx, p.y - a.y - f * dy);
}

struct Domain {
    std::vector<std::vector<Point>> loops;  // outline first, then the holes

    bool contains(Point p) const {
        if (!insidePolygon(loops[0], p)) {
            return false;
        }
        for (std::size_t h = 1; h < loops.size(); ++h) {
            if (insidePolygon(loops[h], p)) {
                return false;
            }
        }
        return true;
    }
    double boundaryDistance(Point p) const {
        double best = 1e9;
        for (const auto& loop : loops) {
            for (std::size_t i = 0; i < loop.size(); ++i) {
                best = std::min(best, segmentDistance(p, loop[i], loop[(i + 1) % loop.size()]));
            }
        }
        return best;
    }
};

std::vector<Point> hexGrid(const Domain& domain, double spacing) {
    std::vector<Point> out;
    const double rowStep = spacing * std::sqrt(3.0) / 2;
    int row = 0;
    for (double y = -70; y <= 70; y += rowStep, ++row) {
        for (double x = -70 + (row % 2) * spacing / 2; x <= 70; x += spacing) {
            if (domain.contains({x, y}) && domain.boundaryDistance({x, y}) > 0.7 * spacing) {
                out.push_back({x, y});
            }
        }
    }
    return out;
}

std::vector<Point> interiorPoints(const Domain& domain) {
    double lo = 3.0, hi = 12.0;  // spacing: lo gives too many points, hi too few
    for (int step = 0; step < 60; ++step) {
        const double mid = (lo + hi) / 2;
        if (hexGrid(domain, mid).size() >= kInteriorCount) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    std::vector<Point> grid = hexGrid(domain, lo);
    // Drop the surplus nearest the boundary.
    std::stable_sort(grid.begin(), grid.end(), [&](Point a, Point b) {
        return domain.boundaryDistance(a) > domain.boundaryDistance(b);
    });
    grid.resize(kInteriorCount);
    return grid;
}

std::vector<Triangle> domainTriangles(const std::vector<Point>& points, const Domain& domain) {
    std::vector<Triangle> kept;
    for (const Triangle& t : delaunay(points)) {
        const Point centre{(points[t.a].x + points[t.b].x + points[t.c].x) / 3,
                           (points[t.a].y + points[t.b].y + points[t.c].y) / 3};
        if (domain.contains(centre)) {
            kept.push_back(t);
        }
    }
    return kept;
}

// Moves each interior point toward the mean of its neighbours, keeping it clear of the
// boundary, so the triangles come out even.
void relax(std::vector<Point>& points, int boundaryCount, const Domain& domain, double spacing) {
    for (int round = 0; round < 40; ++round) {
        const auto triangles = domainTriangles(points, domain);
        std::vector<std::set<int>> neighbours(points.size());
        for (const Triangle& t : triangles) {
            for (auto [u, v] : {std::pair{t.a, t.b}, std::pair{t.b, t.c}, std::pair{t.c, t.a}}) {
                neighbours[u].insert(v);
                neighbours[v].insert(u);
            }
        }
        for (std::size_t i = boundaryCount; i < points.size(); ++i) {
            if (neighbours[i].empty()) {
                continue;
            }
            Point mean{};
            for (int n : neighbours[i]) {
                mean.x += points[n].x;
                mean.y += points[n].y;
            }
            mean.x /= neighbours[i].size();
            mean.y /= neighbours[i].size();
            const Point moved{points[i].x + 0.6 * (mean.x - points[i].x),
                              points[i].y + 0.6 * (mean.y - points[i].y)};
            if (domain.contains(moved) && domain.boundaryDistance(moved) > 0.55 * spacing) {
                points[i] = moved;
            }
        }
    }
}

// Relief height, before scaling to -46..46: a shallow dome with a nose, brows, cheekbones,
// lips and chin.
double relief(double x, double y) {
    const double u = x / 64, v = y / 65;
    const double ax = std::abs(x);
    auto bump = [](double dx, double dy) { return std::exp(-(dx * dx + dy * dy)); };
    double w = 1.0 - 0.80 * (u * u + 0.9 * v * v);
    w += 0.34 * std::exp(-std::pow(x / 7.5, 2)) * std::exp(-std::pow((y - 8) / 15, 2));
    w += 0.10 * std::exp(-std::pow(x / 9.0, 2)) * std::exp(-std::pow((y + 38) / 14, 2));
    w += 0.13 * bump((ax - 22) / 15, (y + 28) / 5.5);
    w += 0.10 * bump((ax - 36) / 11, (y - 6) / 11);
    w += 0.07 * bump(x / 28, (y - 31) / 8);
    w += 0.09 * bump(x / 13, (y - 55) / 7);
    w -= 0.07 * bump((ax - 24) / 12, (y + 14) / 8);
    return w;
}

// The outline, fitted exactly to x -64..64 and y -65..65, and the mouth and eyes cut out of
// it, on whole positions.
Domain maskDomain() {
    std::vector<Point> outline = resampleClosed(outlineCurve, kOutlineCount);
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const Point& p : outline) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    for (Point& p : outline) {
        p.x = -64 + 128 * (p.x - minX) / (maxX - minX);
        p.y = -65 + 130 * (p.y - minY) / (maxY - minY);
    }
    Domain domain;
    domain.loops.push_back(outline);
    domain.loops.push_back(ellipseLoop(kMouthCount, 0, 32, 25, 6.5, 0, 5.0));
    domain.loops.push_back(ellipseLoop(kLeftEyeCount, -23, -13, 11.5, 6.0, 0.16, 1.5));
    domain.loops.push_back(ellipseLoop(kRightEyeCount, 24, -13, 13.0, 6.8, -0.16, 1.5));
    for (auto& loop : domain.loops) {
        for (Point& p : loop) {
            p = {std::round(p.x), std::round(p.y)};
        }
    }
    return domain;
}

// The boundary loops' points, then the relaxed interior's, all rounded to distinct whole
// positions.
std::vector<Point> maskPoints(const Domain& domain) {
    std::vector<Point> points;
    for (const auto& loop : domain.loops) {
        points.insert(points.end(), loop.begin(), loop.end());
    }
    const int boundaryCount = static_cast<int>(points.size());
    std::vector<Point> interior = interiorPoints(domain);
    points.insert(points.end(), interior.begin(), interior.end());
    relax(points, boundaryCount, domain, 6.0);
    for (Point& p : points) {
        p = {std::round(p.x), std::round(p.y)};
    }
    std::set<std::pair<double, double>> seen;
    for (const Point& p : points) {
        if (!seen.insert({p.x, p.y}).second) {
            fail("two mask vertices round to the same point");
        }
    }
    return points;
}

// Every triangle has area and every boundary segment is one of their edges, or the mask has a
// hole or a fold.
void checkMaskTriangles(const std::vector<Point>& points, const std::vector<Triangle>& triangles,
                        const Domain& domain) {
    std::set<std::pair<int, int>> edges;
    for (const Triangle& t : triangles) {
        if (orient2d(points[t.a], points[t.b], points[t.c]) <= 0) {
            fail("degenerate mask triangle");
        }
        edges.insert({t.a, t.b}), edges.insert({t.b, t.c}), edges.insert({t.c, t.a});
    }
    int start = 0;
    for (const auto& loop : domain.loops) {
        const int n = static_cast<int>(loop.size());
        for (int i = 0; i < n; ++i) {
            const int u = start + i, v = start + (i + 1) % n;
            if (!edges.contains({u, v}) && !edges.contains({v, u})) {
                fail("boundary segment " + std::to_string(u) + "-" + std::to_string(v) +
                     " is not a Delaunay edge");
            }
        }
        start += n;
    }
}

// The vertices lifted by the relief, scaled exactly to -46..46, and the faces top to bottom.
Mesh liftMask(const std::vector<Point>& points, std::vector<Triangle> triangles) {
    std::vector<double> height(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        height[i] = relief(points[i].x, points[i].y);
    }
    const auto [lowest, highest] = std::minmax_element(height.begin(), height.end());
    const double low = *lowest, high = *highest;

    Mesh mesh;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int w = static_cast<int>(std::lround(-46 + 92 * (height[i] - low) / (high - low)));
        // Seen at the pose the scene starts from, screen x is -x, screen y is -z and the
        // viewer looks along +y, so the relief's front faces -y.
        mesh.vertices.push_back(
            {-static_cast<int>(points[i].x), -w, -static_cast<int>(points[i].y)});
    }
    mesh.vertices.push_back({0, 0, 0});  // the spare vertex, used by no face

    // Delaunay triangles turn positively in screen axes (y down): clockwise on screen, which
    // is the renderer's visible winding. Order them top to bottom for a tidy table.
    std::stable_sort(triangles.begin(), triangles.end(), [&](const Triangle& a, const Triangle& b) {
        auto key = [&](const Triangle& t) {
            const double cy = points[t.a].y + points[t.b].y + points[t.c].y;
            const double cx = points[t.a].x + points[t.b].x + points[t.c].x;
            return std::pair{cy, cx};
        };
        return key(a) < key(b);
    });
    for (const Triangle& t : triangles) {
        mesh.faces.push_back({t.a, t.b, t.c});
    }
    return mesh;
}

Mesh buildMask(std::vector<Point>* screenPoints) {
    const Domain domain = maskDomain();
    const std::vector<Point> points = maskPoints(domain);
    // Final triangulation on the integer positions, with exact predicates.
    std::vector<Triangle> triangles = domainTriangles(points, domain);
    checkMaskTriangles(points, triangles, domain);
    if (screenPoints != nullptr) {
        *screenPoints = points;
    }
    return liftMask(points, std::move(triangles));
}

// ---- helical tube ----

constexpr int kRings = 39;
constexpr int kRingVertices = 12;

Mesh buildHelix() {
    struct Vec {
        double x, y, z;
    };
    auto cross = [](Vec a, Vec b) {
        return Vec{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    };
    auto dot = [](Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; };
    auto sub = [](Vec a, Vec b) { return Vec{a.x - b.x, a.y - b.y, a.z - b.z}; };

    Mesh mesh;
    std::vector<Vec> centres;
    for (int k = 0; k < kRings; ++k) {
        const double s = static_cast<double>(k) / (kRings - 1);
        const double theta = 4 * kPi * s;  // two turns
        const Vec centre{50 * std::cos(theta), 50 * std::sin(theta), -100 + 200 * s};
        const Vec radial{std::cos(theta), std::sin(theta), 0};
        const Vec tangent{-4 * kPi * 50 * std::sin(theta), 4 * kPi * 50 * std::cos(theta), 200};
        Vec binormal = cross(tangent, radial);
        const double length = std::sqrt(dot(binormal, binormal));
        binormal = {binormal.x / length, binormal.y / length, binormal.z / length};
        centres.push_back(centre);
        for (int j = 0; j < kRingVertices; ++j) {
            const double phi = 2 * kPi * j / kRingVertices;
            const double a = 20 * std::cos(phi), b = 20 * std::sin(phi);
            mesh.vertices.push_back(
                {static_cast<int>(std::lround(centre.x + a * radial.x + b * binormal.x)),
                 static_cast<int>(std::lround(centre.y + a * radial.y + b * binormal.y)),
                 static_cast<int>(std::lround(centre.z + a * radial.z + b * binormal.z))});
        }
    }
    auto at = [&](int i) {
        const Vertex3& v = mesh.vertices[i];
        return Vec{double(v.x), double(v.y), double(v.z)};
    };
    // Winds a triangle so that (P1 - P0) x (P2 - P0) points along `outward`.
    auto addFace = [&](int i0, int i1, int i2, Vec outward) {
        const Vec n = cross(sub(at(i1), at(i0)), sub(at(i2), at(i0)));
        if (dot(n, outward) < 0) {
            std::swap(i1, i2);
        }
        mesh.faces.push_back({i0, i1, i2});
    };
    for (int k = 0; k + 1 < kRings; ++k) {
        for (int j = 0; j < kRingVertices; ++j) {
            const int a = k * kRingVertices + j;
            const int b = k * kRingVertices + (j + 1) % kRingVertices;
            const int c = a + kRingVertices;
            const int d = b + kRingVertices;
            const Vec mid{(centres[k].x + centres[k + 1].x) / 2,
                          (centres[k].y + centres[k + 1].y) / 2,
                          (centres[k].z + centres[k + 1].z) / 2};
            auto away = [&](int p, int q, int r) {
                const Vec pv = at(p), qv = at(q), rv = at(r);
                return sub(Vec{(pv.x + qv.x + rv.x) / 3, (pv.y + qv.y + rv.y) / 3,
                               (pv.z + qv.z + rv.z) / 3},
                           mid);
            };
            addFace(a, c, d, away(a, c, d));
            addFace(a, d, b, away(a, d, b));
        }
    }
    for (int end = 0; end < 2; ++end) {
        const int ring = end == 0 ? 0 : kRings - 1;
        const int neighbour = end == 0 ? 1 : kRings - 2;
        const Vec outward = sub(centres[ring], centres[neighbour]);
        const int base = ring * kRingVertices;
        for (int j = 1; j + 1 < kRingVertices; ++j) {
            addFace(base, base + j, base + j + 1, outward);
        }
    }
    return mesh;
}

// ---- output ----

void writeObject(std::FILE* out, const char* name, const char* comment, const Mesh& mesh) {
    std::fprintf(out, "// %s\n", comment);
    std::fprintf(out, "const VectorObject<%zu, %zu> %s = {\n    %zu,\n    {{\n",
                 mesh.vertices.size(), mesh.faces.size(), name, mesh.vertices.size());
    for (const Vertex3& v : mesh.vertices) {
        std::fprintf(out, "        {%d, %d, %d},\n", v.x, v.y, v.z);
    }
    std::fprintf(out, "    }},\n    %zu,\n    {{\n", mesh.faces.size());
    for (const Face3& f : mesh.faces) {
        std::fprintf(out, "        {%d, %d, %d},\n", f.i0, f.i1, f.i2);
    }
    std::fprintf(out, "    }},\n};\n\n");
}

void writePreview(const char* path, const std::vector<Point>& points, const Mesh& mask) {
    // A 4x plan view of the mask triangles, lit by the relief's slope, as a plain PGM.
    constexpr int kSize = 560;
    std::vector<unsigned char> image(kSize * kSize, 0);
    for (const Face3& f : mask.faces) {
        const Point a = points[f.i0], b = points[f.i1], c = points[f.i2];
        const Vertex3 &va = mask.vertices[f.i0], &vb = mask.vertices[f.i1],
                      &vc = mask.vertices[f.i2];
        const double e1[3] = {double(vb.x - va.x), double(vb.y - va.y), double(vb.z - va.z)};
        const double e2[3] = {double(vc.x - va.x), double(vc.y - va.y), double(vc.z - va.z)};
        const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                             e1[0] * e2[1] - e1[1] * e2[0]};
        const double light = -n[1] / std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        const int grey = static_cast<int>(40 + 200 * std::max(0.0, light));
        for (int py = 0; py < kSize; ++py) {
            for (int px = 0; px < kSize; ++px) {
                const Point p{(px - kSize / 2) / 4.0, (py - kSize / 2) / 4.0};
                const double s0 = orient2d(a, b, p), s1 = orient2d(b, c, p), s2 = orient2d(c, a, p);
                if (s0 >= 0 && s1 >= 0 && s2 >= 0) {
                    const bool edge = std::min({s0 / std::hypot(b.x - a.x, b.y - a.y),
                                                s1 / std::hypot(c.x - b.x, c.y - b.y),
                                                s2 / std::hypot(a.x - c.x, a.y - c.y)}) < 0.2;
                    image[py * kSize + px] = static_cast<unsigned char>(edge ? grey / 2 : grey);
                }
            }
        }
    }
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        fail("cannot write the preview");
    }
    std::fprintf(out, "P5 %d %d 255\n", kSize, kSize);
    std::fwrite(image.data(), 1, image.size(), out);
    std::fclose(out);
}

}  // namespace
}  // namespace meshgen

int main(int argc, char** argv) {
    using namespace meshgen;
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--preview")) {
        std::fprintf(stderr, "usage: sg2-meshgen <output.cpp> [--preview <file.pgm>]\n");
        return 2;
    }
    std::vector<Point> screenPoints;
    const Mesh mask = buildMask(&screenPoints);
    const Mesh helix = buildHelix();
    if (mask.faces.size() != 604 || helix.faces.size() != 932) {
        fail("face counts are " + std::to_string(mask.faces.size()) + " and " +
             std::to_string(helix.faces.size()));
    }
    if (argc == 4) {
        writePreview(argv[3], screenPoints, mask);
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        fail("cannot write the output");
    }
    std::fprintf(out,
                 "// The two meshes of the vector renderer. Generated by tools/sg2-meshgen; edit "
                 "the generator, not this file.\n"
                 "// clang-format off\n"
                 "#include \"vector/meshes.h\"\n\nnamespace vector {\n\n");
    writeObject(out, "objectA",
                "A mask: outline of 68 vertices, mouth of 24, eyes of 13 and 15, 240 inside; "
                "vertex 360 is a spare at the origin.",
                mask);
    writeObject(out, "objectB",
                "A helical tube: ring k is vertices 12k..12k+11; 38 x 24 side triangles, then a "
                "10-triangle fan cap at each end.",
                helix);
    std::fprintf(out, "}  // namespace vector\n");
    std::fclose(out);
    return 0;
}
