#include "effects/plane.h"
#include "effects/wrap.h"

#include <cmath>
#include <cstring>

#include "core/show.h"
#include "raster/gridmap.h"

namespace effects {

namespace {

struct Vec3 {
    double x;
    double y;
    double z;
};

// The view's three corner rays; the ray directions are a hair under 45 and 30 degrees.
Vec3 cornerTopLeft{};
Vec3 cornerTopRight{};
Vec3 cornerBottomLeft{};

// Planes at +6 and -6: beyond this distance the texture has faded to black.
constexpr double kPlaneHeight = 6.0;
constexpr double kFarCutoff = 65.4;

}  // namespace

Plane plane;

void planeSetup() {
    const double h = std::sin(0.785382413395);
    const double w = std::sin(0.5235882755966667);
    cornerTopLeft = {-h, w, 1.0};
    cornerTopRight = {h, w, 1.0};
    cornerBottomLeft = {-h, -w, 1.0};
    plane.grid.fill(PlaneVertex{0, 0, 0});
    plane.angleA = 0.0;
    plane.angleB = 0.0;
    plane.angleC = 0.0;
    plane.scroll = 0.0;
}

void planeFrame(std::uint8_t* target) {
    const double a = plane.angleA;
    const double b = plane.angleB;
    const double c = plane.angleC;
    const double sa = std::sin(a), ca = std::cos(a);
    const double sb = std::sin(b), cb = std::cos(b);
    const double sc = std::sin(c), cc = std::cos(c);
    const Vec3 r0{cb * cc, sc, -sb * cc};
    const Vec3 r1{sa * sb - ca * cb * sc, ca * cc, ca * sb * sc + sa * cb};
    const Vec3 r2{ca * sb + sa * cb * sc, -sa * cc, ca * cb - sa * sb * sc};
    auto turn = [&](const Vec3& p) {
        return Vec3{r0.x * p.x + r0.y * p.y + r0.z * p.z, r1.x * p.x + r1.y * p.y + r1.z * p.z,
                    r2.x * p.x + r2.y * p.y + r2.z * p.z};
    };
    const Vec3 p0 = turn(cornerTopLeft);
    const Vec3 p1 = turn(cornerTopRight);
    const Vec3 p2 = turn(cornerBottomLeft);
    const Vec3 dX{(p1.x - p0.x) / 40.0, (p1.y - p0.y) / 40.0, (p1.z - p0.z) / 40.0};
    const Vec3 dY{(p2.x - p0.x) / 25.0, (p2.y - p0.y) / 25.0, (p2.z - p0.z) / 25.0};

    // Running sums down the rows and across each row, as the grid is traced.
    Vec3 rowRay = p0;
    PlaneVertex* vertex = plane.grid.data();
    for (int row = 0; row < kPlaneGridRows; ++row) {
        Vec3 ray = rowRay;
        for (int column = 0; column < kPlaneGridColumns; ++column, ++vertex) {
            // A ray parallel to the planes gives an infinite distance, which the cut-off takes.
            const double t = std::fabs(kPlaneHeight / ray.y);
            if (t > kFarCutoff) {
                vertex->light = 255;  // light level 0: u and v do not matter
            } else {
                vertex->u = static_cast<std::int32_t>(1024.0 * t * ray.x);
                vertex->v = truncWrap32(1024.0 * t * ray.z + plane.scroll);
                vertex->light = static_cast<std::int32_t>(-1000.0 * t);
            }
            ray = {ray.x + dX.x, ray.y + dX.y, ray.z + dX.z};
        }
        rowRay = {rowRay.x + dY.x, rowRay.y + dY.y, rowRay.z + dY.z};
    }

    // The camera for the next frame; the first frame after set-up uses the zero angles.
    const double s = core::motion.sceneTime.load();
    plane.angleA = std::sin(s / 12.0);
    plane.angleC = std::cos(s / 10.0);
    plane.angleB = std::sin(s / 13.0);
    plane.scroll = s * 2600.0;

    raster::drawGridMapped({plane.grid, plane.texture(), plane.shade(), target});
}

}  // namespace effects
