#include "raster/blobs.h"
#include "raster/state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "core/buffers.h"
#include "sequencer/preparation.h"

namespace {

constexpr int kWidth = 320;

class BlobTest : public ::testing::Test {
  protected:
    void SetUp() override { sequencer::prepareWorkBuffers(); }
    void TearDown() override { core::releaseWorkBuffers(); }

    static std::uint8_t at(int column, int row) {
        return core::buffers.mixPage[row * kWidth + column];
    }
    static int brush(int column, int row) { return 4 * raster::blobBrush[row * 32 + column]; }
    static int litBytes() {
        return static_cast<int>(std::count_if(core::buffers.mixPage,
                                              core::buffers.mixPage + core::kScenePageBytes,
                                              [](std::uint8_t b) { return b != 0; }));
    }
    static std::vector<std::uint8_t> stream(std::initializer_list<std::uint16_t> words) {
        std::vector<std::uint8_t> bytes;
        for (std::uint16_t w : words) {
            bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(w >> 8));
        }
        return bytes;
    }
};

TEST(BlobBrush, SoftSpotPeaksAtTheCentre) {
    EXPECT_EQ(std::count_if(raster::blobBrush.begin(), raster::blobBrush.end(),
                            [](std::uint8_t b) { return b != 0; }),
              811);
    EXPECT_EQ(raster::blobBrush[15 * 32 + 15], 31);
    EXPECT_EQ(*std::max_element(raster::blobBrush.begin(), raster::blobBrush.end()), 31);
    EXPECT_EQ(raster::blobBrush[31 * 32 + 13], 1);  // bottom row, asymmetric to the top
}

TEST_F(BlobTest, UnclippedBlobCoversItsSquareOnly) {
    raster::stampBlob(core::buffers.mixPage, 16, 16);
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 32; ++column) {
            ASSERT_EQ(at(column, row), brush(column, row));
        }
    }
    EXPECT_EQ(litBytes(), 811);
    std::memset(core::buffers.mixPage, 200, 64000);
    raster::stampBlob(core::buffers.mixPage, 16, 16);
    EXPECT_EQ(at(15, 15), 255);  // 200 + 124 saturates
    EXPECT_EQ(at(13, 31), 204);
}

TEST_F(BlobTest, EdgeBlobsAreClippedToThePicturesColumns) {
    raster::stampBlob(core::buffers.mixPage, 0, 100);  // left half skipped
    EXPECT_EQ(at(0, 99), brush(16, 15));
    EXPECT_EQ(at(15, 100), brush(31, 16));
    EXPECT_EQ(at(16, 99), 0);
    EXPECT_EQ(at(319, 98), 0);  // nothing wrapped onto the row above
    std::memset(core::buffers.mixPage, 0, 64000);
    raster::stampBlob(core::buffers.mixPage, 320, 100);  // only the left 16 columns, in 304..319
    EXPECT_EQ(at(304, 99), brush(0, 15));
    EXPECT_EQ(at(319, 99), brush(15, 15));
    EXPECT_EQ(at(0, 100), 0);  // nothing wrapped onto the next row
    EXPECT_EQ(at(303, 99), 0);
}

TEST_F(BlobTest, BlobsOutsideTheHandledRangeAreNotDrawn) {
    for (auto [x, y] : {std::pair{100, 15},
                        {100, 217},
                        {-1, 100},
                        {336, 100},
                        {INT_MIN, 100},
                        {INT_MAX, INT_MAX},
                        {100, INT_MIN}}) {
        raster::stampBlob(core::buffers.mixPage, x, y);
    }
    EXPECT_EQ(litBytes(), 0);
    // The lowest and the outermost positions still drawn stay inside mixPage.
    raster::stampBlob(core::buffers.mixPage, 0,
                      216);  // top row 200: rows 200..231 lie below the picture
    raster::stampBlob(core::buffers.mixPage, 335, 216);
    EXPECT_EQ(at(15, 215), brush(31, 15));
    EXPECT_EQ(at(319, 215), brush(0, 15));
}

TEST_F(BlobTest, DancerStampsAllButTheLastPointOfEachFrame) {
    // Frame 1: (40, 60 / 2) and (100, 81 / 2 = 40), closed by a throw-away point.
    // Frame 2: a single point, so nothing. Then the end of the animation.
    const auto words = stream({40, 60, 100, 81, 7, 7, 0xFFFE, 200, 120, 0xFFFE, 1, 1, 0xFFFF});
    raster::startDancerA(words);
    raster::drawDancerA(core::buffers.mixPage);
    EXPECT_EQ(at(39, 29), 124);  // the brush peaks one pixel up and left of the centre
    EXPECT_EQ(at(99, 39), 124);
    EXPECT_EQ(litBytes(), 2 * 811);
    EXPECT_EQ(raster::state.dancerA.dancerCursor, 7u);
    std::memset(core::buffers.mixPage, 0, 64000);
    raster::drawDancerA(core::buffers.mixPage);
    EXPECT_EQ(litBytes(), 0);
    EXPECT_EQ(raster::state.dancerA.dancerCursor, 10u);
    raster::drawDancerA(
        core::buffers.mixPage);  // the end word: back to the first frame in the same call
    EXPECT_EQ(litBytes(), 2 * 811);
    EXPECT_EQ(raster::state.dancerA.dancerCursor, 7u);
}

TEST_F(BlobTest, SecondFrameEndingTheAnimationReplaysTheFirstFrame) {
    const auto words = stream({60, 200, 9, 9, 0xFFFE, 9, 9, 0xFFFF});
    raster::startDancerB(words);
    for (int call = 1; call <= 3; ++call) {
        std::memset(core::buffers.mixPage, 0, 64000);
        raster::drawDancerB(core::buffers.mixPage);
        EXPECT_EQ(at(59, 99), 124) << call;
        EXPECT_EQ(litBytes(), 811) << call;
        EXPECT_EQ(raster::state.dancerB.dancerCursor, 5u);
    }
}

TEST_F(BlobTest, DamagedStreamsStopSafely) {
    // A first frame that ends the animation would restart for ever: one restart per call.
    const auto looping = stream({50, 50, 0xFFFF});
    raster::startDancerA(looping);
    raster::drawDancerA(core::buffers.mixPage);
    EXPECT_EQ(raster::state.dancerA.dancerCursor, 0u);

    // An odd-length stream and one too short for a point draw nothing.
    const auto odd = std::vector<std::uint8_t>{50, 0, 50, 0, 0xFE};
    raster::startDancerA(odd);
    raster::drawDancerA(core::buffers.mixPage);
    raster::startDancerB({});
    raster::drawDancerB(core::buffers.mixPage);
    EXPECT_EQ(litBytes(), 0);

    // The real entry buffer with no end word at all: every point but the last is stamped,
    // the call then ends at the buffer's end and the next call starts over.
    for (std::size_t i = 0; i + 1 < core::buffers.dancerPair.size(); i += 2) {
        core::buffers.dancerPair[i] = static_cast<std::uint8_t>(i % 300);
        core::buffers.dancerPair[i + 1] = 0;
    }
    raster::startDancerB(core::buffers.dancerPair);
    raster::drawDancerB(core::buffers.mixPage);
    EXPECT_EQ(raster::state.dancerB.dancerCursor, 0u);
    EXPECT_GT(litBytes(), 0);
}

}  // namespace
