#include "vector/transform.h"
#include "vector/state.h"

#include <cmath>

namespace vector {

void buildSineTable() {
    for (std::size_t i = 0; i < kSineEntries; ++i) {
        state.sineTable[i] = static_cast<std::int32_t>(std::sin(i / 651.8986) * 65536.0);
    }
}

void buildWobbleTable() {
    for (std::int32_t i = 0; i < kWobbleEntries; ++i) {
        state.wobbleTable[i] = static_cast<std::int32_t>(std::sin(i / 10.0) * 4.0 * 65536.0);
    }
}

Rotation rotationFor(std::uint32_t angleX, std::uint32_t angleY, std::uint32_t angleZ) {
    // Four bytes per entry; an angle that is not a multiple of four uses the entry it falls in,
    // and one of a turn or more (which drawFrame has already reset) wraps within the turn.
    const std::size_t x = (angleX / 4) % 4096, y = (angleY / 4) % 4096, z = (angleZ / 4) % 4096;
    return {state.sineTable[x],        state.sineTable[x + 1024], state.sineTable[y],
            state.sineTable[y + 1024], state.sineTable[z],        state.sineTable[z + 1024]};
}

namespace {

// d - z for the projection. A vertex at or behind the eye would divide by zero or overflow;
// it is projected as if it stood 1.0 in front of the eye instead. The embedded meshes at the
// scenes' distances never come near this.
constexpr std::int64_t kNearestDepth = 65536;

template <bool kWobble>
void transformAll(const Mesh& mesh, const Rotation& r, std::int32_t d, std::int32_t* wobbleIndex) {
    std::int32_t wobble = kWobble ? *wobbleIndex : 0;
    if (wobble < 0 || wobble >= kWobbleEntries) {
        wobble = 0;  // an index written from outside the table starts it over
    }
    auto load = [&](std::int32_t coordinate) {
        std::int32_t value = coordinate * 65536;
        if constexpr (kWobble) {
            value += state.wobbleTable[wobble];
            if (++wobble == kWobbleEntries) {
                wobble = 0;
            }
        }
        return value;
    };
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
        const Vertex& v = mesh.vertices[i];
        // Six loads in this order; with wobble each gets its own table entry.
        const std::int32_t yA = load(v.y);
        const std::int32_t zA = load(v.z);
        const std::int32_t yB = load(v.y);
        const std::int32_t zB = load(v.z);
        const std::int32_t xA = load(v.x);
        const std::int32_t xB = load(v.x);

        const std::int32_t y1 = mul(yA, r.cosX) - mul(zA, r.sinX);
        const std::int32_t z1 = mul(yB, r.sinX) + mul(zB, r.cosX);
        const std::int32_t x2 = mul(xA, r.cosY) + mul(z1, r.sinY);
        const std::int32_t z2 = mul(-xB, r.sinY) + mul(z1, r.cosY);
        const std::int32_t x3 = mul(x2, r.cosZ) - mul(y1, r.sinZ);
        const std::int32_t y3 = mul(x2, r.sinZ) + mul(y1, r.cosZ);
        const std::int32_t z3 = z2;

        std::int64_t depth = static_cast<std::int64_t>(d) - z3;
        if (depth < kNearestDepth) {
            depth = kNearestDepth;
        }
        // 64-by-32 division truncating toward zero; the quotient (16.16) is then doubled and
        // the screen centre added, all in 32 bits.
        const auto qx = static_cast<std::int32_t>(static_cast<std::int64_t>(x3) * d / depth);
        const auto qy = static_cast<std::int32_t>(static_cast<std::int64_t>(y3) * d / depth);
        const auto px = static_cast<std::int32_t>(2 * static_cast<std::int64_t>(qx) + 160 * 65536);
        const auto py = static_cast<std::int32_t>(2 * static_cast<std::int64_t>(qy) + 100 * 65536);

        state.projectedVertices[i] = {px >> 16, py >> 16};
        state.rotatedVertices[i] = {x3 >> 16, y3 >> 16, z3 >> 16};
    }
    if constexpr (kWobble) {
        *wobbleIndex = wobble;
    }
}

}  // namespace

void transformVertices(const Mesh& mesh, const Rotation& rotation, std::int32_t viewDistance,
                       std::int32_t* wobbleIndex) {
    if (wobbleIndex != nullptr) {
        transformAll<true>(mesh, rotation, viewDistance, wobbleIndex);
    } else {
        transformAll<false>(mesh, rotation, viewDistance, nullptr);
    }
}

}  // namespace vector
