#include "effects/metaballs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/buffers.h"
#include "core/show.h"
#include "raster/lines.h"
#include "sequencer/preparation.h"

namespace {

using effects::metaEdgeTable;
using effects::metaTriangleTable;
using Line = std::array<std::int32_t, 4>;

std::vector<Line> recordedLines;
void recordLine(std::uint8_t*, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    recordedLines.push_back({x1, y1, x2, y2});
}

std::uint32_t fnv1a(const std::uint8_t* bytes, std::size_t count,
                    std::uint32_t hash = 2166136261u) {
    for (std::size_t i = 0; i < count; ++i) {
        hash = (hash ^ bytes[i]) * 16777619u;
    }
    return hash;
}
std::uint32_t fnvLines(const std::vector<Line>& lines) {
    std::uint32_t hash = 2166136261u;
    for (const Line& line : lines) {
        for (std::int32_t v : line) {
            const std::uint8_t bytes[4] = {
                static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
            hash = fnv1a(bytes, 4, hash);
        }
    }
    return hash;
}

bool visited(int a, int b, int c) {
    return effects::metaballs.visited[(a * 23 + b) * 23 + c] != 0;
}

struct MetaFixture : ::testing::Test {
    void SetUp() override {
        effects::metaSetup();
        effects::metaballs.lineDrawer = recordLine;
        recordedLines.clear();
    }
    void TearDown() override {
        effects::metaballs.lineDrawer = raster::addLine;
        core::motion.sceneTime = 0.0f;
    }
    // One ball of strength 600 at (0.5, 0.5, 0.5) (surface radius sqrt(60)), the others far
    // away and without strength unless given.
    static void placeSingleBall(float secondStrength = 0.0f) {
        effects::metaballs.balls[0] = {0.5f, 0.5f, 0.5f, 600.0f - secondStrength};
        effects::metaballs.balls[1] = {0.5f, 0.5f, 0.5f, secondStrength};
        effects::metaballs.balls[2] = {1000.0f, 1000.0f, 1000.0f, 0.0f};
        if (secondStrength == 0.0f) {
            effects::metaballs.balls[1] = effects::metaballs.balls[2];
        }
    }
};

// ---- tables ----

TEST(MetaTables, StandardVariant) {
    const std::uint16_t start[6] = {0x000, 0x109, 0x203, 0x30A, 0x406, 0x50F};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(metaEdgeTable[i], start[i]);
    }
    const std::vector<std::vector<int>> rows = {{}, {0, 8, 3}, {0, 1, 9}, {1, 8, 3, 9, 8, 1}};
    for (int index = 0; index < 4; ++index) {
        for (std::size_t i = 0; i <= rows[index].size(); ++i) {
            EXPECT_EQ(metaTriangleTable[index][i], i < rows[index].size() ? rows[index][i] : -1);
        }
    }
    EXPECT_EQ(metaTriangleTable[255][0], -1);
    // The whole edge table as published (checksum of its 256 little-endian words).
    EXPECT_EQ(fnv1a(reinterpret_cast<const std::uint8_t*>(metaEdgeTable.data()), 512), 0xd0998e05u);
    // Swapping inside and outside crosses the same edges.
    for (int index = 0; index < 256; ++index) {
        EXPECT_EQ(metaEdgeTable[index], metaEdgeTable[255 - index]) << index;
    }
}

TEST(MetaTables, EveryTriangleFacesOutward) {
    // Corner positions in this effect's numbering, and each edge's end corners.
    const int corner[8][3] = {{0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1},
                              {0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
    const int ends[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                             {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    int triangles = 0;
    for (int index = 0; index < 256; ++index) {
        const auto& row = metaTriangleTable[index];
        for (int t = 0; t < 15 && row[t] >= 0; t += 3, ++triangles) {
            // Vertices at edge midpoints; the normal must point up the gradient of the trilinear
            // blend of the "outside" marks: one winding for every triangle of every case.
            double v[3][3], centre[3] = {0, 0, 0}, gradient[3] = {0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                for (int i = 0; i < 3; ++i) {
                    v[k][i] =
                        (corner[ends[row[t + k]][0]][i] + corner[ends[row[t + k]][1]][i]) / 2.0;
                    centre[i] += v[k][i] / 3.0;
                }
            }
            for (int k = 0; k < 8; ++k) {
                for (int i = 0; ((index >> k) & 1) != 0 && i < 3; ++i) {
                    double term = corner[k][i] ? 1.0 : -1.0;
                    for (int j = 0; j < 3; ++j) {
                        term *= j == i ? 1.0 : (corner[k][j] ? centre[j] : 1.0 - centre[j]);
                    }
                    gradient[i] += term;
                }
            }
            const double e1[3] = {v[1][0] - v[0][0], v[1][1] - v[0][1], v[1][2] - v[0][2]};
            const double e2[3] = {v[2][0] - v[0][0], v[2][1] - v[0][1], v[2][2] - v[0][2]};
            const double facing = (e1[1] * e2[2] - e1[2] * e2[1]) * gradient[0] +
                                  (e1[2] * e2[0] - e1[0] * e2[2]) * gradient[1] +
                                  (e1[0] * e2[1] - e1[1] * e2[0]) * gradient[2];
            EXPECT_GT(facing, 1e-9) << "case " << index << " triangle " << t / 3;
        }
        EXPECT_TRUE(row[15] == -1 && (row[0] < 0 || row[2] >= 0)) << index;
    }
    EXPECT_EQ(triangles, 820);
}

// ---- cube rules ----

TEST_F(MetaFixture, CubeIndexRangeAndIsoLevel) {
    placeSingleBall();
    effects::clearMetaCaches();
    // Layer 22 is a cube; 23 and -1 are not, and are left unmarked.
    EXPECT_EQ(effects::cubeIndex(22, 12, 12), 0);  // all outside: 255 reads as 0
    EXPECT_TRUE(visited(22, 12, 12));
    EXPECT_EQ(effects::cubeIndex(23, 12, 12), 0);
    EXPECT_EQ(effects::cubeIndex(12, -1, 12), 0);
    EXPECT_EQ(effects::cubeIndex(12, 12, 23), 0);

    // Field exactly 10.0 counts as inside. Corner 0 of cube (3, 4, 5) is grid corner (3, 5, 5).
    effects::clearMetaCaches();
    for (float& value : effects::metaballs.field) {
        value = 9.5f;
    }
    effects::metaballs.field[(3 * 24 + 5) * 24 + 5] = 10.0f;
    EXPECT_EQ(effects::cubeIndex(3, 4, 5), 0xFE);
    effects::metaballs.field[(3 * 24 + 5) * 24 + 5] = 9.999999f;
    EXPECT_EQ(effects::cubeIndex(3, 4, 5), 0);
    // Corner 6 (bit 0x40) is grid corner (a + 1, b, c + 1).
    effects::metaballs.field[(4 * 24 + 4) * 24 + 6] = 11.0f;
    EXPECT_EQ(effects::cubeIndex(3, 4, 5), 0xBF);
}

TEST_F(MetaFixture, EdgeVerticesInterpolateFromTheLowerCorner) {
    effects::clearMetaCaches();
    for (float& value : effects::metaballs.field) {
        value = 20.0f;  // inside everywhere
    }
    // Cube (12, 12, 12): corner 4 is grid corner (12, 12, 12) at the world origin. Make only it
    // outside (index 0x10: edges 4, 7 and 8).
    effects::metaballs.field[(12 * 24 + 12) * 24 + 12] = 5.0f;
    ASSERT_EQ(effects::cubeIndex(12, 12, 12), 0x10);
    ASSERT_EQ(effects::polygoniseCube(12, 12, 12, 0x10), 1);
    // Row 16 is (4, 7, 8); along each edge 3 * (10 - 5) / (20 - 5) = 1 from the origin.
    const effects::MetaPoint expected[3] = {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
    for (int v = 0; v < 3; ++v) {
        EXPECT_FLOAT_EQ(effects::metaballs.triangles[v].x, expected[v].x) << v;
        EXPECT_FLOAT_EQ(effects::metaballs.triangles[v].y, expected[v].y) << v;
        EXPECT_FLOAT_EQ(effects::metaballs.triangles[v].z, expected[v].z) << v;
    }
}

// ---- the trace ----

TEST_F(MetaFixture, SeedWalksUpAndTraceNeverClimbs) {
    placeSingleBall();
    effects::traceMetaSurface(nullptr);
    // From the centre's cube (12, 12, 12) up the c axis: 12 and 13 lie inside, 14 is crossed.
    EXPECT_TRUE(visited(12, 12, 12));
    EXPECT_TRUE(visited(12, 12, 13));
    EXPECT_TRUE(visited(12, 12, 14));
    ASSERT_FALSE(recordedLines.empty());
    // The first lines drawn are the seed cube's two triangles.
    const std::vector<Line> traced = recordedLines;
    recordedLines.clear();
    ASSERT_EQ(effects::cubeIndex(12, 12, 14), 0xCC);
    effects::drawMetaCube(nullptr, 12, 12, 14, 0xCC);
    ASSERT_EQ(recordedLines.size(), 6u);
    EXPECT_TRUE(std::equal(recordedLines.begin(), recordedLines.end(), traced.begin()));
    // Nothing above the seed layer is ever reached: the walk goes down and sideways only.
    for (int a = 0; a < 23; ++a) {
        for (int b = 0; b < 23; ++b) {
            for (int c = 15; c < 23; ++c) {
                EXPECT_FALSE(visited(a, b, c)) << a << "," << b << "," << c;
            }
        }
    }
    // The far ball's column has no crossed cube: it adds nothing.
    effects::metaballs.balls[0].strength = 0.0f;
    recordedLines.clear();
    effects::traceMetaSurface(nullptr);
    EXPECT_TRUE(recordedLines.empty());
}

TEST_F(MetaFixture, SecondSeedOnATracedCubeIsDrawnAgainAndStops) {
    // Two balls at one spot share the surface; the second seed lands on the first's seed cube.
    placeSingleBall(200.0f);
    effects::traceMetaSurface(nullptr);
    ASSERT_EQ(effects::cubeIndex(12, 12, 14), 0xCC);
    const std::size_t seedLines = 3 * effects::polygoniseCube(12, 12, 14, 0xCC);
    ASSERT_GT(recordedLines.size(), 2 * seedLines);
    for (std::size_t i = 0; i < seedLines; ++i) {
        EXPECT_EQ(recordedLines[recordedLines.size() - seedLines + i], recordedLines[i]);
    }
}

TEST_F(MetaFixture, BallCentredOnACornerKeepsEveryVertexFinite) {
    // World (0, 0, 0) is grid corner (12, 12, 12): its field would be infinite. A weak ball
    // leaves its neighbours outside, so edges run from that corner.
    effects::metaballs.balls[0] = {0.0f, 0.0f, 0.0f, 50.0f};
    effects::metaballs.balls[1] = {1000.0f, 1000.0f, 1000.0f, 0.0f};
    effects::metaballs.balls[2] = effects::metaballs.balls[1];
    effects::traceMetaSurface(nullptr);
    ASSERT_FALSE(recordedLines.empty());
    for (const Line& line : recordedLines) {
        for (std::int32_t v : line) {
            EXPECT_TRUE(v > -1000 && v < 1000) << v;
        }
    }
}

// The trace written as plain recursion, to check the explicit stack's visiting order.
void recursiveTrace(int a, int b, int c, int index) {
    effects::metaballs.visited[(a * 23 + b) * 23 + c] = 1;
    effects::drawMetaCube(nullptr, a, b, c, index);
    const int next[5][3] = {
        {a, b, c - 1}, {a, b + 1, c}, {a + 1, b, c}, {a - 1, b, c}, {a, b - 1, c}};
    for (const auto& n : next) {
        if (n[0] < 0 || n[0] > 22 || n[1] < 0 || n[1] > 22 || n[2] < 0 || n[2] > 22 ||
            effects::metaballs.visited[(n[0] * 23 + n[1]) * 23 + n[2]] != 0) {
            continue;
        }
        if (const int nextIndex = effects::cubeIndex(n[0], n[1], n[2]); nextIndex != 0) {
            recursiveTrace(n[0], n[1], n[2], nextIndex);
        }
    }
}

TEST_F(MetaFixture, ExplicitStackVisitsInRecursiveOrder) {
    for (int frame = 0; frame < 24; ++frame) {
        effects::metaballs.clock1 = 17.0f * frame;
        effects::metaballs.clock2 = 20.0f + 29.0f * frame;
        effects::placeMetaBalls();
        recordedLines.clear();
        effects::traceMetaSurface(nullptr);
        const std::vector<Line> fromStack = recordedLines;

        recordedLines.clear();
        effects::clearMetaCaches();
        for (const auto& ball : effects::metaballs.balls) {
            const int a = static_cast<int>(ball.x / 3.0 + 12);
            const int b = static_cast<int>(ball.y / 3.0 + 12);
            int c = static_cast<int>(ball.z / 3.0 + 12);
            int index;
            while ((index = effects::cubeIndex(a, b, c)) == 0 && c < 22) {
                ++c;
            }
            if (c < 22) {
                recursiveTrace(a, b, c, index);
            }
        }
        ASSERT_EQ(fromStack, recordedLines) << frame;
    }
}

TEST_F(MetaFixture, GoldenWireFrameAndClocks) {
    core::motion.sceneTime = 1.3f;
    effects::metaFrame(nullptr, effects::MetaPace::normal);
    EXPECT_EQ(effects::metaballs.balls[0].x, 6.840863227844238f);
    EXPECT_EQ(effects::metaballs.balls[2].z, 20.0f);
    EXPECT_EQ(recordedLines.size(), 2442u);
    EXPECT_EQ(fnvLines(recordedLines), 0xba85bf85u);
    EXPECT_EQ(effects::metaballs.clock1, 65.0f);
    EXPECT_EQ(effects::metaballs.clock2, 130.0f);

    recordedLines.clear();
    effects::metaFrame(nullptr, effects::MetaPace::normal);
    EXPECT_EQ(recordedLines.size(), 2490u);
    EXPECT_EQ(fnvLines(recordedLines), 0x784eec05u);
    EXPECT_EQ((recordedLines[0]), (Line{50, 37, 52, 37}));

    core::motion.sceneTime = 2.0f;
    effects::metaFrame(nullptr, effects::MetaPace::slow);
    EXPECT_EQ(effects::metaballs.clock1, 20.0f);
    EXPECT_EQ(effects::metaballs.clock2, 40.0f);
}

TEST(MetaOnShowBuffers, GoldenPictureInWorkC) {
    sequencer::prepareWorkBuffers();  // runs metaSetup, as at start-up
    core::motion.sceneTime = 1.3f;
    std::vector<std::uint8_t> before(core::buffers.grainPage + 64000,
                                     core::buffers.grainPage + 240000);
    // The two frames of the golden wire frame above, drawn additively one over the other.
    effects::metaFrame(core::buffers.grainPage, effects::MetaPace::normal);
    effects::metaFrame(core::buffers.grainPage, effects::MetaPace::normal);
    EXPECT_EQ(fnv1a(core::buffers.grainPage, 64000), 0x2aee34cau);
    EXPECT_GE(core::buffers.grainPage[37 * 320 + 51], 50);  // on the second frame's first line
    // Only the picture itself is touched.
    EXPECT_EQ(std::vector<std::uint8_t>(core::buffers.grainPage + 64000,
                                        core::buffers.grainPage + 240000),
              before);
    core::releaseWorkBuffers();
    core::motion.sceneTime = 0.0f;
}

}  // namespace
