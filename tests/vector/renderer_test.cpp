// Whole frames of the two renderers: angle rules, eye distance, wobble progress and golden
// checksums that pin the arithmetic of every stage.
#include "vector/renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/buffers.h"
#include "display/engine.h"
#include "display/state.h"
#include "vector/fill.h"
#include "vector/state.h"

namespace vector {
namespace {

constexpr std::size_t kPicture = 64000;

std::uint64_t fnv1a(const void* data, std::size_t size,
                    std::uint64_t hash = 14695981039346656037ull) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

class RendererTest : public ::testing::Test {
  protected:
    void SetUp() override {
        display::buildScaleTable();
        buildSineTable();
        buildWobbleTable();
        resetBackground();
        for (std::size_t i = 0; i < kPicture; ++i) {
            const std::size_t x = i % 320, y = i / 320;
            source[i] = static_cast<std::uint8_t>(x * 3 + y * 5 + (x * y >> 6));
        }
        state.vectorA = {};
        state.vectorB = {};
    }
    void resetBackground() {
        // Exactly one picture each, so the sanitizer sees any stray write.
        for (std::size_t i = 0; i < kPicture; ++i) {
            destination[i] = static_cast<std::uint8_t>((i / 320) ^ (i % 320));
        }
    }
    std::uint64_t pictureHash() const { return fnv1a(destination.data(), destination.size()); }
    std::uint64_t transformHash(std::size_t vertexCount) const {
        return fnv1a(state.rotatedVertices.data(), vertexCount * sizeof(ViewPoint),
                     fnv1a(state.projectedVertices.data(), vertexCount * sizeof(ScreenPoint)));
    }
    std::vector<std::uint8_t> source = std::vector<std::uint8_t>(kPicture);
    std::vector<std::uint8_t> destination = std::vector<std::uint8_t>(kPicture);
};

TEST_F(RendererTest, InitSetsOnlyTheAngles) {
    state.vectorA.angleZ = 300;
    state.vectorA.init();
    EXPECT_EQ(state.vectorA.angleX, 4096u);
    EXPECT_EQ(state.vectorA.angleY, 8192u);
    EXPECT_EQ(state.vectorA.angleZ, 0u);
    state.vectorB.angleY = 640;
    state.vectorB.distanceOffset = -123;
    state.vectorB.wobbleIndex = 456;
    state.vectorB.init();
    EXPECT_EQ(state.vectorB.angleX, 4096u);
    EXPECT_EQ(state.vectorB.angleY, 0u);
    EXPECT_EQ(state.vectorB.angleZ, 0u);
    EXPECT_EQ(state.vectorB.distanceOffset, -123);
    EXPECT_EQ(state.vectorB.wobbleIndex, 456);
}

TEST_F(RendererTest, MaskKeepsTheScenesAnglesAndResetsOutOfRangeOnes) {
    state.vectorA.angleX = 4480;
    state.vectorA.angleY = 16384;
    state.vectorA.angleZ = static_cast<std::uint32_t>(-128);
    state.vectorA.drawFrame(source.data(), destination.data());
    EXPECT_EQ(state.vectorA.angleX, 4480u);
    EXPECT_EQ(state.vectorA.angleY, 0u);
    EXPECT_EQ(state.vectorA.angleZ, 0u);
    EXPECT_EQ(state.projectedVertices[360].x, 160);  // the spare vertex at the origin
    EXPECT_EQ(state.projectedVertices[360].y, 100);
}

TEST_F(RendererTest, TubeTurns128PerFrameAndStartsOverAtAFullTurn) {
    state.vectorB.init();
    state.vectorB.drawFrame(source.data(), destination.data());
    EXPECT_EQ(state.vectorB.angleY, 128u);
    state.vectorB.angleY = 16256;
    state.vectorB.angleX = static_cast<std::uint32_t>(-4096);
    state.vectorB.drawFrame(source.data(), destination.data());
    EXPECT_EQ(state.vectorB.angleY, 0u);
    EXPECT_EQ(state.vectorB.angleX, 0u);
}

TEST_F(RendererTest, TubeWobbleAdvancesSixLoadsPerVertexAcrossFrames) {
    state.vectorB.init();
    state.vectorB.wobbleIndex = 900;
    state.vectorB.drawFrame(source.data(), destination.data());
    EXPECT_EQ(state.vectorB.wobbleIndex, (900 + 468 * 6) % 1000);
    state.vectorA.init();
    state.vectorA.drawFrame(source.data(), destination.data());  // the mask does not wobble
    EXPECT_EQ(state.vectorB.wobbleIndex, (900 + 468 * 6) % 1000);
}

TEST_F(RendererTest, TubeEyeDistanceStaysWithinTheScenesRange) {
    auto frameWith = [&](std::int32_t offset) {
        state.vectorB.init();
        state.vectorB.wobbleIndex = 0;
        state.vectorB.distanceOffset = offset;
        resetBackground();
        state.vectorB.drawFrame(source.data(), destination.data());
        return pictureHash();
    };
    const std::uint64_t nearest = frameWith(-550 * 65536);
    EXPECT_EQ(frameWith(-800 * 65536), nearest);  // would put the eye inside the tube
    EXPECT_EQ(frameWith(INT32_MIN), nearest);
    const std::uint64_t farthest = frameWith(550 * 65536);
    EXPECT_EQ(frameWith(INT32_MAX), farthest);
    EXPECT_NE(nearest, farthest);
}

TEST_F(RendererTest, DrawFrameWithoutArgumentsUsesTheWorkPictures) {
    std::uint8_t* const savedB = core::buffers.mixPage;
    std::uint8_t* const savedC = core::buffers.grainPage;
    core::buffers.mixPage = source.data();
    core::buffers.grainPage = destination.data();
    state.vectorA.init();
    state.vectorA.drawFrame();
    const std::uint64_t viaWork = pictureHash();
    core::buffers.mixPage = savedB;
    core::buffers.grainPage = savedC;
    resetBackground();
    state.vectorA.init();
    state.vectorA.drawFrame(source.data(), destination.data());
    EXPECT_EQ(pictureHash(), viaWork);
}

TEST_F(RendererTest, MaskFaceOnShowsItsFrontLitAndTheBackgroundAroundIt) {
    state.vectorA.init();
    state.vectorA.drawFrame(source.data(), destination.data());
    // Facing the viewer: most of the mesh survives the cull, and the forehead (centre top)
    // is lit almost fully while the corners of the picture keep their background.
    EXPECT_GT(state.visibleFaces.count, 550);
    const std::size_t forehead = 40 * 320 + 160;
    EXPECT_GE(destination[forehead], display::state.scaleTable[source[forehead] * 256 + 230]);
    EXPECT_EQ(destination[0], 0);  // background 0 ^ 0
    EXPECT_EQ(destination[199 * 320 + 5], (199 ^ 5));
}

// Golden frames. The picture hashes were checked against a separate straight transcription of
// the pipeline's arithmetic; a change in any shift, rounding, order or table shows here.
TEST_F(RendererTest, GoldenFrameOfTheMask) {
    state.vectorA.init();
    state.vectorA.angleX = 4096 + 128 * 3;  // as the scene poses it: 128 * trunc(8 cos t) + 4096
    state.vectorA.angleY = 8192 - 128 * 5;
    state.vectorA.drawFrame(source.data(), destination.data());
    EXPECT_EQ(transformHash(361), 11003613509720729879ull);
    EXPECT_EQ(pictureHash(), 8185478813531280387ull);
}

TEST_F(RendererTest, GoldenFrameOfTheTube) {
    state.vectorB.init();
    state.vectorB.wobbleIndex = 0;
    state.vectorB.distanceOffset = static_cast<std::int32_t>(550 * 65536 * std::sin(0.7));
    for (int frame = 0; frame < 3; ++frame) {
        resetBackground();
        state.vectorB.drawFrame(source.data(), destination.data());
    }
    EXPECT_EQ(state.vectorB.angleY, 384u);
    EXPECT_EQ(transformHash(468), 15730676150993479645ull);
    EXPECT_EQ(state.vectorB.wobbleIndex, 424);
    EXPECT_EQ(pictureHash(), 8332028966863774643ull);
}

}  // namespace
}  // namespace vector
