// Sine and wobble tables, the fixed-point product, the rotation and the projection.
#include "vector/transform.h"
#include "vector/state.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace vector {
namespace {

class TransformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        buildSineTable();
        buildWobbleTable();
    }
    // A one-vertex mesh so each case names its own input.
    void transformOne(Vertex v, std::uint32_t ax, std::uint32_t ay, std::uint32_t az,
                      std::int32_t distance = kBaseViewDistance, std::int32_t* wobble = nullptr) {
        vertex = {v};
        transformVertices({vertex, {}}, rotationFor(ax, ay, az), distance, wobble);
    }
    std::array<Vertex, 1> vertex{};
};

TEST_F(TransformTest, SineTableTruncatesToPeaksOf65535) {
    EXPECT_EQ(state.sineTable[0], 0);
    EXPECT_EQ(state.sineTable[512], 46340);
    EXPECT_EQ(state.sineTable[1024], 65535);
    EXPECT_EQ(state.sineTable[2048], 0);
    EXPECT_EQ(state.sineTable[3072], -65535);
    EXPECT_EQ(state.sineTable[4096], 0);
    EXPECT_EQ(state.sineTable[5119], state.sineTable[1023]);
    EXPECT_EQ(state.sineTable[100], 10013);    // trunc(sin(100 / 651.8986) * 65536)
    EXPECT_EQ(state.sineTable[2148], -10013);  // truncation toward zero is symmetric
}

TEST_F(TransformTest, WobbleTableHoldsTheTubesJitter) {
    EXPECT_EQ(state.wobbleTable[0], 0);
    EXPECT_EQ(state.wobbleTable[1], 26170);  // trunc(sin(0.1) * 4 * 65536)
    EXPECT_EQ(state.wobbleTable[16], 262032);
    EXPECT_EQ(state.wobbleTable[999], -154645);
    // Built once per scene: a rebuild must fill every entry again, not only the start.
    const auto before = state.wobbleTable;
    state.wobbleTable.fill(0);
    buildWobbleTable();
    EXPECT_EQ(state.wobbleTable, before);
}

TEST_F(TransformTest, MulShiftsTheFullProductArithmetically) {
    EXPECT_EQ(mul(65536, 65536), 65536);
    EXPECT_EQ(mul(655360, 65535), 655350);
    EXPECT_EQ(mul(-1, 1), -1);  // rounds toward minus infinity
    EXPECT_EQ(mul(-327675, 65535), -327671);
    // 0x3FFFFFFF00000001 >> 16 = 0x3FFFFFFF0000: only the low 32 bits survive.
    EXPECT_EQ(mul(0x7FFFFFFF, 0x7FFFFFFF), -65536);
}

TEST_F(TransformTest, UnrotatedVertexShrinksByAHairAndProjectsTo179x90) {
    transformOne({10, -5, 0}, 0, 0, 0);
    EXPECT_EQ(state.projectedVertices[0].x, 179);
    EXPECT_EQ(state.projectedVertices[0].y, 90);
    EXPECT_EQ(state.rotatedVertices[0].x, 9);
    EXPECT_EQ(state.rotatedVertices[0].y, -5);
    EXPECT_EQ(state.rotatedVertices[0].z, 0);
}

TEST_F(TransformTest, RotationsFollowTheirAxesAndPerspectiveEnlargesNearPoints) {
    // A quarter turn about x takes +z to -y (up on screen) and +y to +z (toward the eye).
    transformOne({0, 0, 40}, 4096, 0, 0);
    EXPECT_EQ(state.rotatedVertices[0].x, 0);
    EXPECT_EQ(state.rotatedVertices[0].y, -40);
    EXPECT_EQ(state.rotatedVertices[0].z, 0);
    transformOne({0, 40, 0}, 4096, 0, 0);
    EXPECT_EQ(state.rotatedVertices[0].z, 39);  // 40 * 65535 / 65536, floored
    // A quarter turn about y takes +x to -z; about z, +x to +y.
    transformOne({40, 0, 0}, 0, 4096, 0);
    EXPECT_EQ(state.rotatedVertices[0].z, -40);
    transformOne({40, 0, 0}, 0, 0, 4096);
    EXPECT_EQ(state.rotatedVertices[0].y, 39);
    EXPECT_EQ(state.rotatedVertices[0].x, 0);
    // Near (+z) vertices are drawn larger than far ones: 2 * 20 * 800 / (800 -+ 100).
    transformOne({20, 0, 100}, 0, 0, 0);
    EXPECT_EQ(state.projectedVertices[0].x, 160 + 45);
    transformOne({20, 0, -100}, 0, 0, 0);
    EXPECT_EQ(state.projectedVertices[0].x, 160 + 35);
}

TEST_F(TransformTest, NegativeScreenOffsetsFloorAfterTheCentreIsAdded) {
    // x3 = -65535 (-0.99998): 2 * -65535 + 160.0 = 158.00003, kept as 158; y3 = 65534 gives
    // 101.99997, floored to 101, not rounded to 102.
    transformOne({-1, 1, 0}, 0, 0, 0, 3 * 65536);
    EXPECT_EQ(state.rotatedVertices[0].x, -1);
    EXPECT_EQ(state.projectedVertices[0].x, 158);
    EXPECT_EQ(state.projectedVertices[0].y, 101);
}

TEST_F(TransformTest, VertexAtOrBehindTheEyeProjectsAsIfOneUnitInFront) {
    transformOne({10, 0, 800}, 0, 0, 0);  // d - z3 is below 1.0
    const ScreenPoint atEye = state.projectedVertices[0];
    transformOne({10, 0, 900}, 0, 0, 0);  // behind the eye: no division by zero
    EXPECT_EQ(state.projectedVertices[0].x, atEye.x);
    EXPECT_GT(atEye.x, 10000);  // 2 * 10 * 800 + 160, far off screen
}

TEST_F(TransformTest, WobbleAddsOneEntryPerLoadInTheOrderYZYZXX) {
    // Entry k = k units, so each output names the load it came from. Rotations are chosen so
    // that each output of a vertex at the origin depends on one load only; every product by a
    // cosine of 65535 shrinks it a hair, so k units come out as k - 1 when floored.
    for (std::int32_t k = 0; k < kWobbleEntries; ++k) {
        state.wobbleTable[k] = (k % 100) * 65536;
    }
    std::int32_t index = 10;
    transformOne({0, 0, 0}, 0, 0, 0, kBaseViewDistance, &index);
    EXPECT_EQ(index, 16);
    EXPECT_EQ(state.rotatedVertices[0].y, 9);   // Y alpha, load 0
    EXPECT_EQ(state.rotatedVertices[0].z, 12);  // Z beta, load 3
    EXPECT_EQ(state.rotatedVertices[0].x, 13);  // X alpha, load 4
    index = 20;
    transformOne({0, 0, 0}, 4096, 0, 0, kBaseViewDistance, &index);
    EXPECT_EQ(state.rotatedVertices[0].y, -21);  // -Z alpha, load 1
    EXPECT_EQ(state.rotatedVertices[0].z, 21);   // Y beta, load 2
    index = 30;
    transformOne({0, 0, 0}, 0, 4096, 0, kBaseViewDistance, &index);
    EXPECT_EQ(state.rotatedVertices[0].z, -35);  // -X beta, load 5, negated with its wobble
}

TEST_F(TransformTest, WobbleIndexWrapsFrom999ToZero) {
    std::int32_t index = 997;
    transformOne({0, 0, 0}, 0, 0, 0, kBaseViewDistance, &index);
    EXPECT_EQ(index, 3);  // 997, 998, 999, 0, 1, 2
    EXPECT_EQ(state.rotatedVertices[0].x,
              mul(mul(state.wobbleTable[1], state.sineTable[1024]), state.sineTable[1024]) >> 16);
    index = 1000;  // outside the table: starts over at 0
    transformOne({0, 0, 0}, 0, 0, 0, kBaseViewDistance, &index);
    EXPECT_EQ(index, 6);
    index = -5;
    transformOne({0, 0, 0}, 0, 0, 0, kBaseViewDistance, &index);
    EXPECT_EQ(index, 6);
}

TEST_F(TransformTest, AnglesResetAtAFullTurnAndNegativeCountsAsLarge) {
    EXPECT_EQ(resetAngle(16380), 16380u);
    EXPECT_EQ(resetAngle(16384), 0u);
    EXPECT_EQ(resetAngle(20000), 0u);  // reset, not reduced modulo a turn
    EXPECT_EQ(resetAngle(static_cast<std::uint32_t>(-128)), 0u);
    const Rotation quarter = rotationFor(4096, 8192, 12288);
    EXPECT_EQ(quarter.sinX, 65535);
    EXPECT_EQ(quarter.cosX, 0);
    EXPECT_EQ(quarter.sinY, 0);
    EXPECT_EQ(quarter.cosY, -65535);
    EXPECT_EQ(quarter.sinZ, -65535);
    EXPECT_EQ(quarter.cosZ, 0);
}

}  // namespace
}  // namespace vector
