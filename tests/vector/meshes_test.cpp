// The embedded meshes: counts, layout, bounds, edge lengths, topology and winding.
#include "vector/meshes.h"
#include "tests/support/run_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <numeric>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace vector {
namespace {

using Edge = std::pair<int, int>;

// How many faces use each directed edge.
std::map<Edge, int> directedEdges(const Mesh& mesh) {
    std::map<Edge, int> edges;
    for (const Face& f : mesh.faces) {
        ++edges[{f.i0, f.i1}];
        ++edges[{f.i1, f.i2}];
        ++edges[{f.i2, f.i0}];
    }
    return edges;
}

// Directed edges whose reverse no face uses: the boundary, each loop running one way.
std::vector<Edge> boundaryEdges(const Mesh& mesh) {
    const auto edges = directedEdges(mesh);
    std::vector<Edge> boundary;
    for (const auto& [edge, uses] : edges) {
        if (!edges.contains({edge.second, edge.first})) {
            boundary.push_back(edge);
        }
    }
    return boundary;
}

std::array<std::int64_t, 3> normalOf(const Mesh& mesh, const Face& f) {
    const Vertex a = mesh.vertices[f.i0], b = mesh.vertices[f.i1], c = mesh.vertices[f.i2];
    const std::int64_t ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const std::int64_t vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    return {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
}

// Every coordinate within +-limit; with `reached`, both ends of each axis are met exactly.
void expectBounds(const Mesh& mesh, std::array<int, 3> limit, bool reached) {
    std::array<int, 3> low{}, high{};
    for (const Vertex& v : mesh.vertices) {
        const std::array<int, 3> c{v.x, v.y, v.z};
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], c[axis]);
            high[axis] = std::max(high[axis], c[axis]);
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_GE(low[axis], -limit[axis]) << "axis " << axis;
        EXPECT_LE(high[axis], limit[axis]) << "axis " << axis;
        if (reached) {
            EXPECT_EQ(low[axis], -limit[axis]) << "axis " << axis;
            EXPECT_EQ(high[axis], limit[axis]) << "axis " << axis;
        }
    }
}

int longestEdgeSpan(const Mesh& mesh) {
    int longest = 0;
    for (const auto& [edge, uses] : directedEdges(mesh)) {
        const Vertex a = mesh.vertices[edge.first], b = mesh.vertices[edge.second];
        longest =
            std::max({longest, std::abs(a.x - b.x), std::abs(a.y - b.y), std::abs(a.z - b.z)});
    }
    return longest;
}

void expectIndicesValidAndFacesProper(const Mesh& mesh) {
    const int n = static_cast<int>(mesh.vertices.size());
    for (const Face& f : mesh.faces) {
        ASSERT_TRUE(f.i0 >= 0 && f.i0 < n && f.i1 >= 0 && f.i1 < n && f.i2 >= 0 && f.i2 < n);
        EXPECT_TRUE(f.i0 != f.i1 && f.i1 != f.i2 && f.i2 != f.i0);
        const auto normal = normalOf(mesh, f);
        EXPECT_NE(normal, (std::array<std::int64_t, 3>{0, 0, 0})) << "degenerate face";
    }
}

TEST(VectorObjectLayout, HeaderCountsMatchTablesAndFieldsArePacked) {
    EXPECT_EQ(objectA.vertexCount, 361);
    EXPECT_EQ(objectA.faceCount, 604);
    EXPECT_EQ(objectB.vertexCount, 468);
    EXPECT_EQ(objectB.faceCount, 932);
    const auto* base = reinterpret_cast<const char*>(&objectA);
    EXPECT_EQ(reinterpret_cast<const char*>(&objectA.vertices) - base, 4);
    EXPECT_EQ(reinterpret_cast<const char*>(&objectA.faceCount) - base, 4 + 12 * 361);
    EXPECT_EQ(reinterpret_cast<const char*>(&objectA.faces) - base, 8 + 12 * 361);
}

TEST(VectorObjectLayout, RunTimeMeshesAreCutToCapacity) {
    static std::array<Vertex, 2100> manyVertices{};
    static std::array<Face, 2100> manyFaces{};
    const Mesh mesh = boundedMesh(manyVertices, manyFaces);
    EXPECT_EQ(mesh.vertices.size(), kMaxVertices);
    EXPECT_EQ(mesh.faces.size(), kMaxVisibleFaces);
}

TEST(MaskMesh, BoundsEdgeSpansAndIndices) {
    const Mesh mesh = meshOf(objectA);
    expectBounds(mesh, {64, 46, 65}, true);
    EXPECT_LE(longestEdgeSpan(mesh), 41);
    expectIndicesValidAndFacesProper(mesh);
}

TEST(MaskMesh, OneConnectedSurfaceWithFourBoundaryLoopsAndOneSpareVertex) {
    const Mesh mesh = meshOf(objectA);
    // Manifold with boundary: no directed edge twice, no undirected edge in three faces.
    for (const auto& [edge, uses] : directedEdges(mesh)) {
        EXPECT_EQ(uses, 1) << edge.first << "-" << edge.second;
    }
    std::set<int> used;
    for (const Face& f : mesh.faces) {
        used.insert({f.i0, f.i1, f.i2});
    }
    EXPECT_EQ(used.size(), 360u);
    EXPECT_FALSE(used.contains(360));
    EXPECT_EQ(mesh.vertices[360].x, 0);  // the spare sits at the origin
    EXPECT_EQ(mesh.vertices[360].y, 0);
    EXPECT_EQ(mesh.vertices[360].z, 0);

    // Faces joined across shared edges reach every face.
    std::vector<int> parent(mesh.faces.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](int i) {
        while (parent[i] != i) {
            i = parent[i] = parent[parent[i]];
        }
        return i;
    };
    std::map<Edge, int> owner;
    for (int i = 0; i < static_cast<int>(mesh.faces.size()); ++i) {
        const Face& f = mesh.faces[i];
        for (Edge e : {Edge{f.i0, f.i1}, Edge{f.i1, f.i2}, Edge{f.i2, f.i0}}) {
            const Edge key{std::min(e.first, e.second), std::max(e.first, e.second)};
            if (auto it = owner.find(key); it != owner.end()) {
                parent[root(i)] = root(it->second);
            } else {
                owner[key] = i;
            }
        }
    }
    for (int i = 0; i < static_cast<int>(mesh.faces.size()); ++i) {
        EXPECT_EQ(root(i), root(0));
    }

    // Boundary: 120 edges in simple loops of 68, 24, 13 and 15.
    const std::vector<Edge> boundary = boundaryEdges(mesh);
    EXPECT_EQ(boundary.size(), 120u);
    std::map<int, int> next;
    for (const Edge& e : boundary) {
        EXPECT_TRUE(next.emplace(e.first, e.second).second)
            << "vertex " << e.first << " starts two boundary edges";
    }
    std::multiset<int> loopLengths;
    std::set<int> visited;
    for (const auto& [start, unused] : next) {
        if (visited.contains(start)) {
            continue;
        }
        int length = 0;
        for (int v = start; !visited.contains(v); v = next.at(v)) {
            visited.insert(v);
            ++length;
        }
        loopLengths.insert(length);
    }
    EXPECT_EQ(loopLengths, (std::multiset<int>{13, 15, 24, 68}));
}

TEST(MaskMesh, EveryFaceTurnsItsFrontTowardMinusY) {
    // The mask is a relief over the x-z plane; at the pose its scene starts from the viewer
    // looks along +y, so every outward normal (P1 - P0) x (P2 - P0) must point to -y.
    const Mesh mesh = meshOf(objectA);
    for (const Face& f : mesh.faces) {
        EXPECT_LT(normalOf(mesh, f)[1], 0) << f.i0 << " " << f.i1 << " " << f.i2;
    }
}

TEST(HelixMesh, BoundsEdgeSpansAndIndices) {
    const Mesh mesh = meshOf(objectB);
    // No ring centre sits at exactly half a turn, so x stops at -69; the rest is reached.
    expectBounds(mesh, {70, 70, 119}, false);
    auto extreme = [&](auto key) {
        const auto [lo, hi] =
            std::minmax_element(mesh.vertices.begin(), mesh.vertices.end(),
                                [&](const Vertex& a, const Vertex& b) { return key(a) < key(b); });
        return std::pair{key(*lo), key(*hi)};
    };
    EXPECT_EQ(extreme([](const Vertex& v) { return v.x; }), (std::pair{-69, 70}));
    EXPECT_EQ(extreme([](const Vertex& v) { return v.y; }), (std::pair{-70, 70}));
    EXPECT_EQ(extreme([](const Vertex& v) { return v.z; }), (std::pair{-119, 119}));
    EXPECT_LE(longestEdgeSpan(mesh), 41);
    expectIndicesValidAndFacesProper(mesh);
    for (const Vertex& v : mesh.vertices) {
        EXPECT_LE(v.x * v.x + v.y * v.y + v.z * v.z, 132 * 132);
    }
}

TEST(HelixMesh, RingsOfTwelveAroundATwoTurnHelix) {
    const Mesh mesh = meshOf(objectB);
    for (int k = 0; k < 39; ++k) {
        const double theta = 4 * std::numbers::pi * k / 38;
        const double cx = 50 * std::cos(theta), cy = 50 * std::sin(theta),
                     cz = -100 + 200.0 * k / 38;
        for (int j = 0; j < 12; ++j) {
            const Vertex v = mesh.vertices[12 * k + j];
            const double r = std::sqrt((v.x - cx) * (v.x - cx) + (v.y - cy) * (v.y - cy) +
                                       (v.z - cz) * (v.z - cz));
            EXPECT_NEAR(r, 20.0, 1.0) << "ring " << k << " vertex " << j;
        }
    }
}

TEST(HelixMesh, ClosedWithOutwardWinding) {
    const Mesh mesh = meshOf(objectB);
    // Closed and consistently wound: every directed edge once, its reverse once.
    const auto edges = directedEdges(mesh);
    EXPECT_EQ(edges.size(), 2u * 1398u);
    for (const auto& [edge, uses] : edges) {
        EXPECT_EQ(uses, 1);
        EXPECT_TRUE(edges.contains({edge.second, edge.first}));
    }
    // Outward: the enclosed volume is positive, and each side face's normal points away from
    // the centre of the ring pair it joins.
    std::int64_t sixVolume = 0;
    for (const Face& f : mesh.faces) {
        const Vertex a = mesh.vertices[f.i0], b = mesh.vertices[f.i1], c = mesh.vertices[f.i2];
        sixVolume += std::int64_t{a.x} * (std::int64_t{b.y} * c.z - std::int64_t{b.z} * c.y) -
                     std::int64_t{a.y} * (std::int64_t{b.x} * c.z - std::int64_t{b.z} * c.x) +
                     std::int64_t{a.z} * (std::int64_t{b.x} * c.y - std::int64_t{b.y} * c.x);
    }
    EXPECT_GT(sixVolume, 0);
    for (int i = 0; i < 38 * 24; ++i) {
        const Face& f = mesh.faces[i];
        const int ring = std::min({f.i0, f.i1, f.i2}) / 12;
        double centre[3] = {0, 0, 0};
        for (int j = 0; j < 24; ++j) {
            const Vertex v = mesh.vertices[12 * ring + j];
            centre[0] += v.x / 24.0, centre[1] += v.y / 24.0, centre[2] += v.z / 24.0;
        }
        const auto n = normalOf(mesh, f);
        const Vertex a = mesh.vertices[f.i0];
        EXPECT_GT(n[0] * (a.x - centre[0]) + n[1] * (a.y - centre[1]) + n[2] * (a.z - centre[2]), 0)
            << "face " << i;
    }
}

TEST(HelixMesh, SideBandsThenTwoTenTriangleFans) {
    const Mesh mesh = meshOf(objectB);
    for (int i = 0; i < 38 * 24; ++i) {
        const Face& f = mesh.faces[i];
        const int low = std::min({f.i0, f.i1, f.i2}) / 12;
        const int high = std::max({f.i0, f.i1, f.i2}) / 12;
        EXPECT_EQ(high, low + 1) << "side face " << i << " must join neighbouring rings";
    }
    for (int cap = 0; cap < 2; ++cap) {
        const int base = cap == 0 ? 0 : 12 * 38;
        std::set<int> hub;
        for (int i = 0; i < 10; ++i) {
            const Face& f = mesh.faces[38 * 24 + cap * 10 + i];
            for (int v : {f.i0, f.i1, f.i2}) {
                EXPECT_GE(v, base);
                EXPECT_LT(v, base + 12);
            }
            hub.insert(f.i0);
        }
        EXPECT_EQ(hub, std::set<int>{base}) << "a fan over the ring from its first vertex";
    }
}

// The checked-in tables are what the generator writes; a changed generator must be rerun.
TEST(MeshGenerator, ReproducesTheCheckedInTables) {
    // This file sits at tests/vector/ under the source root; the test program at tests/ under
    // the build root, beside tools/sg2-meshgen/.
    // Not __FILE__: a compiler cache may have made it relative to the build directory.
    const std::filesystem::path sourceDir = testsupport::sourceDirectory();
    const auto binaryDir =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path();
    const std::filesystem::path tool = binaryDir / "tools" / "sg2-meshgen" / "sg2-meshgen";
    if (!std::filesystem::exists(tool)) {
        GTEST_SKIP() << "sg2-meshgen not built";
    }
    const std::filesystem::path output = std::filesystem::temp_directory_path() /
                                         ("sg2_mesh_data_" + std::to_string(::getpid()) + ".cpp");
    ASSERT_EQ(std::system((tool.string() + " " + output.string()).c_str()), 0);
    auto slurp = [](const std::filesystem::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    const std::string generated = slurp(output);
    std::filesystem::remove(output);
    EXPECT_TRUE(generated == slurp(sourceDir / "vector" / "mesh_data.cpp"));
}

}  // namespace
}  // namespace vector
