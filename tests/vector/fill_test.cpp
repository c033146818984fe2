// Culling, depth sort, normals and light, the edge walk, the row fill and the corner glow.
#include "vector/fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <vector>

#include "display/engine.h"
#include "display/state.h"
#include "vector/state.h"
#include "vector/transform.h"

namespace vector {
namespace {

constexpr int kPicture = core::kPictureWidth * core::kPictureHeight;

class FillTest : public ::testing::Test {
  protected:
    void SetUp() override {
        display::buildScaleTable();
        // An asymmetric source so a swapped row or column shows.
        for (int i = 0; i < kPicture; ++i) {
            source[i] = static_cast<std::uint8_t>((i % core::kPictureWidth) +
                                                  3 * (i / core::kPictureWidth));
        }
        std::fill(destination.begin(), destination.end(), 7);
        state.visibleFaces.count = 0;
    }
    void clearEdges() {
        for (auto& row : state.edgeTable) {
            row = {kNoEdge, kNoEdge};
        }
    }
    // One visible face with the given screen corners, lit by `normal`.
    void placeFace(ScreenPoint p0, ScreenPoint p1, ScreenPoint p2, Normal normal) {
        state.projectedVertices[0] = p0;
        state.projectedVertices[1] = p1;
        state.projectedVertices[2] = p2;
        state.visibleFaces.count = 1;
        state.visibleFaces.faces[0] = {0, 1, 2};
        state.faceNormals[0] = normal;
    }
    int changedPixels() const {
        return static_cast<int>(std::count_if(destination.begin(), destination.end(),
                                              [](std::uint8_t b) { return b != 7; }));
    }
    // Separate heap blocks of exactly one picture, so the sanitizer sees any stray access.
    std::vector<std::uint8_t> source = std::vector<std::uint8_t>(kPicture);
    std::vector<std::uint8_t> destination = std::vector<std::uint8_t>(kPicture);
};

TEST_F(FillTest, CullKeepsClockwiseAndEdgeOnFacesInMeshOrder) {
    const std::array<Face, 4> faces{{{0, 1, 2}, {0, 2, 1}, {3, 4, 5}, {2, 1, 0}}};
    state.projectedVertices[0] = {0, 0};
    state.projectedVertices[1] = {10, 0};
    state.projectedVertices[2] = {0, 10};  // c = -100: clockwise on screen, kept
    state.projectedVertices[3] = {5, 5};
    state.projectedVertices[4] = {9, 9};
    state.projectedVertices[5] = {20, 20};  // collinear, c = 0: kept
    cullFaces({{}, faces});
    ASSERT_EQ(state.visibleFaces.count, 2);
    EXPECT_EQ(state.visibleFaces.faces[0].i1, 1);
    EXPECT_EQ(state.visibleFaces.faces[1].i0, 3);
}

TEST_F(FillTest, SortPutsNearestFirstAndLeavesEqualKeysAsTheQuicksortDoes) {
    // Keys 1, 2 (face A), 2 (face B), 3: the partition exchanges the two 2s, so B ends before
    // A, where a stable sort would keep A first.
    const std::array<std::int32_t, 4> z{1, 2, 2, 3};
    for (int i = 0; i < 4; ++i) {
        state.rotatedVertices[i] = {0, 0, z[i]};
        state.rotatedVertices[10 + i] = {0, 0, 0};
        state.visibleFaces.faces[i] = {i, 10 + i, 10 + i};
    }
    state.visibleFaces.count = 4;
    sortFaces();
    EXPECT_EQ(state.visibleFaces.faces[0].i0, 3);
    EXPECT_EQ(state.visibleFaces.faces[1].i0, 2);  // B
    EXPECT_EQ(state.visibleFaces.faces[2].i0, 1);  // A
    EXPECT_EQ(state.visibleFaces.faces[3].i0, 0);
    EXPECT_EQ(state.depthKeys[0], 3);
    EXPECT_EQ(state.depthKeys[3], 1);
}

TEST_F(FillTest, SortOrdersAFullListOfManyEqualAndDistinctKeys) {
    std::uint32_t seed = 12345;
    const auto count = static_cast<std::int32_t>(kMaxVisibleFaces);
    for (std::int32_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        state.rotatedVertices[i] = {0, 0, static_cast<std::int32_t>(seed >> 16) % 37 - 18};
        state.visibleFaces.faces[i] = {i, i, i};
    }
    state.visibleFaces.count = count;
    sortFaces();
    std::vector<int> seen;
    for (std::int32_t i = 0; i < count; ++i) {
        const Face& f = state.visibleFaces.faces[i];
        EXPECT_EQ(state.depthKeys[i],
                  3 * state.rotatedVertices[f.i0].z);  // keys moved with their faces
        if (i > 0) {
            EXPECT_GE(state.depthKeys[i - 1], state.depthKeys[i]);
        }
        seen.push_back(f.i0);
    }
    std::sort(seen.begin(), seen.end());
    std::vector<int> all(count);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(seen, all);
}

TEST_F(FillTest, NormalIsP1MinusP0CrossP0MinusP2InViewSpace) {
    state.rotatedVertices[0] = {1, 2, 3};
    state.rotatedVertices[1] = {4, 6, 5};
    state.rotatedVertices[2] = {2, -1, 7};
    state.visibleFaces.faces[0] = {0, 1, 2};
    state.visibleFaces.count = 1;
    computeNormals();
    // (3, 4, 2) x (-1, 3, -4) = (4*-4 - 2*3, 2*-1 - 3*-4, 3*3 - 4*-1)
    EXPECT_EQ(state.faceNormals[0].nx, -22);
    EXPECT_EQ(state.faceNormals[0].ny, 10);
    EXPECT_EQ(state.faceNormals[0].nz, 13);
}

TEST_F(FillTest, LightFromTheNormalsShareTowardTheViewer) {
    EXPECT_EQ(faceLight({0, 0, -100}), 253);  // 6553600 / 101 = 64887, >> 8
    EXPECT_EQ(faceLight({0, 0, -1000}), 255);
    EXPECT_EQ(faceLight({60, 0, -80}), 202);
    EXPECT_EQ(faceLight({-60, 0, -80}), 202);
    EXPECT_EQ(faceLight({0, 0, 50}), 0);  // turned away
    EXPECT_EQ(faceLight({0, 0, 0}), 0);   // degenerate: no division by zero
    // len = round(sqrt(2)) = 1: q = 65536 / 2 >> 8 = 128; a floor would give the same, so
    // also check a case where rounding up matters: sqrt(8) = 2.83 -> 3, q = 131072 / 4 = 32768.
    EXPECT_EQ(faceLight({1, 0, -1}), 128);
    EXPECT_EQ(faceLight({2, 0, -2}), 128);
    // Large normals keep their precision: -nz / |n| = 0.577.
    EXPECT_EQ(faceLight({30000, 30000, -30000}), 147);
}

TEST_F(FillTest, ShallowEdgeKeepsTheLastXOfEachRow) {
    clearEdges();
    drawEdge(10, 50, 17, 52, 1, destination.data());
    // dx 7, dy 2: x 10..17 visit rows 50, 50, 51, 51, 51, 51, 52, 52; the last x per row stays.
    EXPECT_EQ(state.edgeTable[49][1], kNoEdge);
    EXPECT_EQ(state.edgeTable[50][1], 11);
    EXPECT_EQ(state.edgeTable[51][1], 15);
    EXPECT_EQ(state.edgeTable[52][1], 17);
    EXPECT_EQ(state.edgeTable[53][1], kNoEdge);
    EXPECT_EQ(state.edgeTable[51][0], kNoEdge);  // the other column is untouched
}

TEST_F(FillTest, EdgesStoreOnlyRowsOnScreenAndUnclippedX) {
    clearEdges();
    drawEdge(-50, -5, 400, 205, 0, destination.data());
    EXPECT_LT(state.edgeTable[0][0], 0);
    EXPECT_GT(state.edgeTable[199][0], 319);
}

TEST_F(FillTest, LongEdgeTiesGoToP2P0ThenP1P2) {
    // Corners 1 and 2 are equally far from 0 in y: e01 = e20 = 10, e12 = 0, so P2-P0 is long
    // and the face fills between x of edge P2 -> P0 and the two short edges.
    placeFace({100, 100}, {120, 90}, {110, 90}, {0, 0, -100});
    drawFaces(source.data(), destination.data());
    // Row 95: column 0 from P2->P0 (x 105), column 1 from P0->P1, walked from P1 down, whose
    // last x on that row is 109.
    EXPECT_EQ(state.edgeTable[95][0], 105);
    EXPECT_EQ(state.edgeTable[95][1], 109);
    EXPECT_EQ(destination[95 * 320 + 104], 7);
    EXPECT_EQ(destination[95 * 320 + 105],
              display::state.scaleTable[source[95 * 320 + 105] * 256 + 253]);
    EXPECT_EQ(destination[95 * 320 + 109],
              display::state.scaleTable[source[95 * 320 + 109] * 256 + 253]);
    EXPECT_EQ(destination[95 * 320 + 110], 7);
    // e01 = e12 > e20: the tie goes to P1-P2, drawn first into column 0.
    clearEdges();
    std::fill(destination.begin(), destination.end(), 7);
    placeFace({100, 100}, {105, 110}, {110, 100}, {0, 0, -100});
    drawFaces(source.data(), destination.data());
    // P1 -> P2 is walked from P2 (110, 100) down to P1 (105, 110).
    EXPECT_EQ(state.edgeTable[100][0], 110);
    EXPECT_EQ(state.edgeTable[105][0], 108);
    EXPECT_EQ(state.edgeTable[110][0], 105);
}

TEST_F(FillTest, OneRowFaceFillsBetweenP0AndP2Only) {
    // All corners on row 120, P1 outside the span of P0 and P2.
    placeFace({150, 120}, {190, 120}, {160, 120}, {0, 0, -1000});
    drawFaces(source.data(), destination.data());
    EXPECT_EQ(state.edgeTable[120][0], 150);  // end of the walk P2 -> P0
    EXPECT_EQ(state.edgeTable[120][1], 160);  // end of the last walk P1 -> P2
    const int row = 120 * 320;
    EXPECT_EQ(destination[row + 150], display::state.scaleTable[source[row + 150] * 256 + 255]);
    EXPECT_EQ(destination[row + 160], display::state.scaleTable[source[row + 160] * 256 + 255]);
    EXPECT_NE(destination[row + 161], display::state.scaleTable[source[row + 161] * 256 + 255]);
    EXPECT_NE(destination[row + 149], display::state.scaleTable[source[row + 149] * 256 + 255]);
}

TEST_F(FillTest, SpansAreClampedAndRowsFullyOffScreenSkipped) {
    // A wide face spilling past both sides and past the bottom.
    placeFace({-40, 180}, {400, 170}, {380, 230}, {0, 0, -1000});
    drawFaces(source.data(), destination.data());
    const int row = 185 * 320;
    EXPECT_EQ(destination[row + 319], display::state.scaleTable[source[row + 319] * 256 + 255]);
    // A face entirely right of the screen paints nothing (its glows lie beyond x = 320).
    std::fill(destination.begin(), destination.end(), 7);
    placeFace({330, 100}, {360, 100}, {330, 130}, {0, 0, -1000});
    drawFaces(source.data(), destination.data());
    EXPECT_EQ(changedPixels(), 0);
}

TEST_F(FillTest, TurnedAwayFaceFillsWithIndexZero) {
    placeFace({200, 30}, {230, 30}, {200, 60}, {0, 0, 40});
    drawFaces(source.data(), destination.data());
    EXPECT_EQ(destination[40 * 320 + 205], 0);
}

TEST_F(FillTest, RowReachedByOneColumnOnlyStaysUnfilled) {
    // The one-pixel horizontal edge P0 -> P1 steps down a row on its second pixel, so row 101
    // gets a column 1 entry and no column 0 entry. The face is turned away (light 0), so a
    // filled pixel would be 0.
    placeFace({100, 100}, {101, 100}, {100, 90}, {0, 0, 10});
    drawFaces(source.data(), destination.data());
    EXPECT_EQ(state.edgeTable[101][0], kNoEdge);
    EXPECT_EQ(state.edgeTable[101][1], 101);
    EXPECT_EQ(destination[100 * 320 + 100], 0);
    EXPECT_NE(destination[101 * 320 + 101], 0);  // only the corner glows reach it
}

TEST_F(FillTest, NoVisibleFacesDrawsNothing) {
    state.visibleFaces.count = 0;
    sortFaces();
    computeNormals();
    drawFaces(source.data(), destination.data());
    EXPECT_EQ(changedPixels(), 0);
}

TEST_F(FillTest, GlowAddsTheSpriteShiftedAndSaturates) {
    stampGlow(100, 100, destination.data());
    EXPECT_EQ(destination[100 * 320 + 100], 7 + (255 >> 3));
    EXPECT_EQ(destination[96 * 320 + 100], 7 + (12 >> 3));
    EXPECT_EQ(destination[99 * 320 + 102], 7 + (121 >> 3));  // the sprite's lopsided column
    EXPECT_EQ(destination[99 * 320 + 98], 7 + (122 >> 3));
    EXPECT_EQ(destination[95 * 320 + 100], 7);
    destination[100 * 320 + 100] = 250;
    stampGlow(100, 100, destination.data());
    EXPECT_EQ(destination[100 * 320 + 100], 255);
}

TEST_F(FillTest, GlowLimitsAndLinearSpillAtTheBorders) {
    stampGlow(321, 100, destination.data());
    stampGlow(100, 191, destination.data());
    stampGlow(100, 9, destination.data());
    stampGlow(-1, 100, destination.data());
    EXPECT_EQ(changedPixels(), 0);

    stampGlow(320, 100, destination.data());  // centre is column 0 of the next row
    EXPECT_EQ(destination[101 * 320 + 0], 7 + (255 >> 3));
    EXPECT_EQ(destination[100 * 320 + 319], 7 + (194 >> 3));

    std::fill(destination.begin(), destination.end(), 7);
    stampGlow(0, 50, destination.data());  // left four columns land at the previous row's end
    EXPECT_EQ(destination[50 * 320 + 0], 7 + (255 >> 3));
    EXPECT_EQ(destination[49 * 320 + 319], 7 + (194 >> 3));
    EXPECT_EQ(destination[49 * 320 + 316], 7 + (12 >> 3));

    std::fill(destination.begin(), destination.end(), 7);
    stampGlow(319, 190, destination.data());  // lowest and rightmost stays inside the picture
    stampGlow(0, 10, destination.data());
    EXPECT_EQ(destination[194 * 320 + 319], 7 + (12 >> 3));
}

}  // namespace
}  // namespace vector
