#include "vector/fill.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "display/engine.h"
#include "display/state.h"
#include "vector/state.h"
#include "vector/transform.h"

namespace vector {

// clang-format off
constexpr std::array<std::uint8_t, 81> kGlowSprite = {
    0,  0,   0,   7,  12,   8,   0,  0, 0,
    0,  0,  38,  65,  72,  65,  38,  0, 0,
    0, 38,  84, 122, 133, 122,  84, 38, 0,
    7, 65, 122, 172, 194, 172, 121, 65, 7,
   12, 72, 133, 194, 255, 194, 133, 72, 12,
    7, 65, 121, 172, 194, 172, 121, 65, 7,
    0, 38,  84, 122, 133, 122,  84, 38, 0,
    0,  0,  38,  65,  72,  65,  38,  0, 0,
    0,  0,   0,   7,  12,   8,   0,  0, 0,
};
// clang-format on
const std::array<std::uint8_t, 81> glowSprite = kGlowSprite;

namespace {

// The cull, normal and light arithmetic is 32-bit; these wrap as the hardware does instead of
// overflowing, so far-off coordinates give a defined (if meaningless) answer.
constexpr std::int32_t wrapMul(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
constexpr std::int32_t wrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// a x b reduced to the one component both the cull and the normals use:
// (ay0 - ay2)(bx1 - bx0) - (ax0 - ax2)(by1 - by0), with a and b the two coordinate axes.
constexpr std::int32_t crossTerm(std::int32_t a0, std::int32_t a1, std::int32_t a2, std::int32_t b0,
                                 std::int32_t b1, std::int32_t b2) {
    // (b0 - b2)(a1 - a0) - (a0 - a2)(b1 - b0)
    return wrapSub(wrapMul(wrapSub(b0, b2), wrapSub(a1, a0)),
                   wrapMul(wrapSub(a0, a2), wrapSub(b1, b0)));
}

// The square root of n rounded to the nearest whole number (never a tie for whole n).
std::uint32_t roundedSqrt(std::uint32_t n) {
    auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    while (r * r > n) {  // guard the double's last bit either way
        --r;
    }
    while ((r + 1) * (r + 1) <= n) {
        ++r;
    }
    // sqrt(n) >= r + 0.5 exactly when n > r * r + r.
    return static_cast<std::uint32_t>(n > r * r + r ? r + 1 : r);
}

// The glow as it is added (each byte shifted right by 3), with each row's span of non-zero
// bytes: adding zero with saturation changes nothing, so the stamp skips those.
struct GlowRow {
    int first;
    int last;
    std::array<std::uint8_t, 9> add;
};
constexpr std::array<GlowRow, 9> makeGlowRows(const std::array<std::uint8_t, 81>& sprite) {
    std::array<GlowRow, 9> rows{};
    for (int k = 0; k < 9; ++k) {
        rows[k].first = 9;
        rows[k].last = -1;
        for (int m = 0; m < 9; ++m) {
            rows[k].add[m] = static_cast<std::uint8_t>(sprite[k * 9 + m] >> 3);
            if (rows[k].add[m] != 0) {
                rows[k].first = std::min(rows[k].first, m);
                rows[k].last = m;
            }
        }
    }
    return rows;
}

void quicksort(std::int32_t lo, std::int32_t hi) {
    std::int32_t i = lo;
    std::int32_t j = hi;
    const std::int32_t pivot = state.depthKeys[(lo + hi) / 2];
    do {
        while (state.depthKeys[i] > pivot) {
            ++i;
        }
        while (state.depthKeys[j] < pivot) {
            --j;
        }
        if (i <= j) {
            std::swap(state.depthKeys[i], state.depthKeys[j]);
            std::swap(state.visibleFaces.faces[i], state.visibleFaces.faces[j]);
            ++i;
            --j;
        }
    } while (i < j);
    if (lo < j) {
        quicksort(lo, j);
    }
    if (i < hi) {
        quicksort(i, hi);
    }
}

// Rows the edge walks have touched since the table was last cleared. A face only writes the
// rows it spans, so only those need filling and clearing afterwards: the same picture as a
// pass over all 200 rows per face, at a fraction of the cost.
struct RowRange {
    std::int32_t low = core::kPictureHeight;
    std::int32_t high = -1;
};
RowRange touchedRows;

void clearTouchedRows() {
    for (std::int32_t row = touchedRows.low; row <= touchedRows.high; ++row) {
        state.edgeTable[row] = {kNoEdge, kNoEdge};
    }
    touchedRows = {};
}

void fillRows(const std::uint8_t* source, std::uint8_t* destination, std::int32_t light) {
    const std::uint8_t* shade = display::state.scaleTable.data() + light;
    for (std::int32_t row = touchedRows.low; row <= touchedRows.high; ++row) {
        std::int32_t left = state.edgeTable[row][0];
        std::int32_t right = state.edgeTable[row][1];
        if (left == kNoEdge || right == kNoEdge || (left < 0 && right < 0) ||
            (left >= core::kPictureWidth && right >= core::kPictureWidth)) {
            continue;
        }
        left = std::clamp(left, 0, core::kPictureWidth - 1);
        right = std::clamp(right, 0, core::kPictureWidth - 1);
        if (right < left) {
            std::swap(left, right);
        }
        const std::uint8_t* from = source + row * core::kPictureWidth;
        std::uint8_t* to = destination + row * core::kPictureWidth;
        for (std::int32_t x = left; x <= right; ++x) {
            to[x] = shade[from[x] * 256];
        }
    }
}

}  // namespace

void cullFaces(const Mesh& mesh) {
    std::int32_t count = 0;
    for (const Face& face : mesh.faces.first(std::min(mesh.faces.size(), kMaxVisibleFaces))) {
        const ScreenPoint p0 = state.projectedVertices[face.i0];
        const ScreenPoint p1 = state.projectedVertices[face.i1];
        const ScreenPoint p2 = state.projectedVertices[face.i2];
        // c <= 0: clockwise on screen, or edge-on; such faces stay.
        if (crossTerm(p0.x, p1.x, p2.x, p0.y, p1.y, p2.y) <= 0) {
            state.visibleFaces.faces[count++] = face;
        }
    }
    state.visibleFaces.count = count;
}

void sortFaces() {
    for (std::int32_t i = 0; i < state.visibleFaces.count; ++i) {
        const Face& face = state.visibleFaces.faces[i];
        state.depthKeys[i] = state.rotatedVertices[face.i0].z + state.rotatedVertices[face.i1].z +
                             state.rotatedVertices[face.i2].z;
    }
    if (state.visibleFaces.count > 0) {
        quicksort(0, state.visibleFaces.count - 1);
    }
}

void computeNormals() {
    for (std::int32_t i = 0; i < state.visibleFaces.count; ++i) {
        const Face& face = state.visibleFaces.faces[i];
        const ViewPoint p0 = state.rotatedVertices[face.i0];
        const ViewPoint p1 = state.rotatedVertices[face.i1];
        const ViewPoint p2 = state.rotatedVertices[face.i2];
        state.faceNormals[i] = {crossTerm(p0.y, p1.y, p2.y, p0.z, p1.z, p2.z),
                                crossTerm(p0.z, p1.z, p2.z, p0.x, p1.x, p2.x),
                                crossTerm(p0.x, p1.x, p2.x, p0.y, p1.y, p2.y)};
    }
}

std::int32_t faceLight(const Normal& n) {
    // Sum of squares in 32 bits, read as unsigned: it cannot be negative, so a wrapped sum is
    // not taken for one.
    const auto square = [](std::int32_t v) { return static_cast<std::uint32_t>(wrapMul(v, v)); };
    const std::uint32_t length = roundedSqrt(square(n.nx) + square(n.ny) + square(n.nz));
    const std::int32_t q = wrapMul(wrapSub(0, n.nz), 65536) / static_cast<std::int32_t>(length + 1);
    return std::clamp(q >> 8, 0, 255);
}

void stampGlow(std::int32_t x, std::int32_t y, std::uint8_t* destination) {
    if (x < 0 || x > core::kPictureWidth || y < 10 || y > 190) {
        return;
    }
    static constexpr std::array<GlowRow, 9> kRows = makeGlowRows(kGlowSprite);
    std::uint8_t* corner = destination + (y - 4) * core::kPictureWidth + (x - 4);
    for (int k = 0; k < 9; ++k) {
        std::uint8_t* row = corner + k * core::kPictureWidth;
        for (int m = kRows[k].first; m <= kRows[k].last; ++m) {
            const int sum = row[m] + kRows[k].add[m];
            row[m] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
        }
    }
}

void drawEdge(std::int32_t xa, std::int32_t ya, std::int32_t xb, std::int32_t yb, int column,
              std::uint8_t* destination) {
    stampGlow(xa, ya, destination);
    if (ya > yb) {
        std::swap(xa, xb);
        std::swap(ya, yb);
    }
    const std::int32_t sx = xb >= xa ? 1 : -1;
    const std::int32_t dx = xb >= xa ? xb - xa : xa - xb;
    const std::int32_t dy = yb - ya;
    std::int32_t err = (dx - dy) >> 1;
    std::int32_t x = xa;
    std::int32_t y = ya;
    if (dx >= dy) {
        // Shallow: one step in x each time; a row crossed several times keeps the last x.
        do {
            if (y >= 0 && y < core::kPictureHeight) {
                state.edgeTable[y][column] = x;
            }
            if (err <= 0) {
                err += dx;
                ++y;
            }
            err -= dy;
            x += sx;
        } while (x != xb + sx);
    } else {
        // Steep: one step in y each time.
        do {
            if (y >= 0 && y < core::kPictureHeight) {
                state.edgeTable[y][column] = x;
            }
            if (err > 0) {
                err -= dy;
                x += sx;
            }
            err += dx;
            ++y;
        } while (y != yb + 1);
    }
    // The walk stored rows ya up to (at most) y, clipped to the screen.
    touchedRows.low = std::min(touchedRows.low, std::max(ya, 0));
    touchedRows.high = std::max(touchedRows.high, std::min(y, core::kPictureHeight - 1));
}

void drawFaces(const std::uint8_t* source, std::uint8_t* destination) {
    // Every face starts from a clear table: all of it once, then only what the last face wrote.
    touchedRows = {0, core::kPictureHeight - 1};
    for (std::int32_t i = state.visibleFaces.count - 1; i >= 0; --i) {
        clearTouchedRows();
        const Face& face = state.visibleFaces.faces[i];
        const ScreenPoint p0 = state.projectedVertices[face.i0];
        const ScreenPoint p1 = state.projectedVertices[face.i1];
        const ScreenPoint p2 = state.projectedVertices[face.i2];
        const std::int32_t e01 = std::abs(p0.y - p1.y);
        const std::int32_t e12 = std::abs(p1.y - p2.y);
        const std::int32_t e20 = std::abs(p2.y - p0.y);
        // The edge with the greatest vertical extent goes alone into column 0, the other two
        // into column 1; ties fall to P2-P0, then P1-P2. Each corner starts one edge.
        if (e01 > e12 && e01 > e20) {
            drawEdge(p0.x, p0.y, p1.x, p1.y, 0, destination);
            drawEdge(p1.x, p1.y, p2.x, p2.y, 1, destination);
            drawEdge(p2.x, p2.y, p0.x, p0.y, 1, destination);
        } else if (e01 <= e12 && e12 > e20) {
            drawEdge(p1.x, p1.y, p2.x, p2.y, 0, destination);
            drawEdge(p0.x, p0.y, p1.x, p1.y, 1, destination);
            drawEdge(p2.x, p2.y, p0.x, p0.y, 1, destination);
        } else {
            drawEdge(p2.x, p2.y, p0.x, p0.y, 0, destination);
            drawEdge(p0.x, p0.y, p1.x, p1.y, 1, destination);
            drawEdge(p1.x, p1.y, p2.x, p2.y, 1, destination);
        }
        fillRows(source, destination, faceLight(state.faceNormals[i]));
    }
}

}  // namespace vector
