#include "core/buffers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "effects/metaballs.h"
#include "effects/plane.h"
#include "raster/state.h"
#include "sequencer/preparation.h"

namespace {

int allocationsLeft = 0;
void* failingAfterSome(std::size_t count, std::size_t size) {
    if (allocationsLeft-- <= 0) {
        return nullptr;
    }
    return std::calloc(count, size);
}

std::uint8_t* const* allBuffers[] = {&core::buffers.sourcePage,  &core::buffers.layerPage,
                                     &core::buffers.mixPage,     &core::buffers.grainPage,
                                     &core::buffers.warpHeights, &core::buffers.paletteA,
                                     &core::buffers.paletteB,    &core::buffers.paletteC};

TEST(WorkBuffers, AllocatedClearedAndReleased) {
    ASSERT_TRUE(core::allocateWorkBuffers());
    // Written between allocation and clearing, as the effect set-ups do.
    std::memset(core::buffers.sourcePage, 7, core::kSourcePageBytes);
    std::memset(core::buffers.warpHeights, 9, core::kWarpHeightsBytes);
    std::memset(core::buffers.paletteC, 5, core::kPaletteBytes);
    core::clearWorkBuffers();
    const std::size_t sizes[] = {400000, 240000, 240000, 240000, 128000, 768, 768, 768};
    for (std::size_t b = 0; b < 8; ++b) {
        if (b == 4) {
            continue;  // warpHeights is kept as the set-ups leave it
        }
        const std::uint8_t* buffer = *allBuffers[b];
        ASSERT_NE(buffer, nullptr) << b;
        std::size_t nonZero = 0;
        for (std::size_t i = 0; i < sizes[b]; ++i) {
            nonZero += buffer[i] != 0;
        }
        EXPECT_EQ(nonZero, 0u) << b;
    }
    EXPECT_EQ(core::buffers.warpHeights[0], 9);
    EXPECT_EQ(core::buffers.warpHeights[core::kWarpHeightsBytes - 1], 9);
    // warpHeights' margin reads as 0 up to the last height word the gradient warp reaches.
    for (std::size_t i = 128000; i < 128000 + core::kWarpHeightsTailMargin; ++i) {
        ASSERT_EQ(core::buffers.warpHeights[i], 0) << i;
    }
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(core::buffers.warpHeights) % alignof(std::int16_t),
              0u);
    core::releaseWorkBuffers();
    for (auto* buffer : allBuffers) {
        EXPECT_EQ(*buffer, nullptr);
    }
    core::releaseWorkBuffers();  // twice is harmless
}

TEST(WorkBuffers, BandImageMarginReadsAsZero) {
    const std::uint8_t* band = core::buffers.flareBand.data();
    // The last row's window at the largest band offset ends 274 bytes past the image.
    const std::size_t lastRead = 743 * 25 + 699 + 319;
    EXPECT_EQ(lastRead - 19320 + 1, 274u);
    for (std::size_t i = 19320; i <= lastRead; ++i) {
        ASSERT_EQ(band[i], 0) << i;
    }
}

// The preparation's step: buffers, then the plane and metaball set-ups into them, then the
// buffers cleared but warpHeights.
TEST(WorkBuffers, PreparationRunsTheSetUpsBetweenAllocationAndClearing) {
    effects::metaballs.clock2 = 0.0f;
    sequencer::prepareWorkBuffers();
    EXPECT_EQ(effects::metaballs.clock2, 20.0f);
    core::releaseWorkBuffers();
}

bool allReleased() {
    bool allNull = true;
    for (auto* buffer : allBuffers) {
        allNull = allNull && *buffer == nullptr;
    }
    return allNull;
}

TEST(WorkBuffers, OutOfMemoryAtEveryStep) {
    // Nine allocations: eight buffers and the spare check. Failing the k-th reports it, and the
    // preparation prints the line and returns false, holding what was allocated until the
    // shutdown releases it; the process is not ended here (the host ends the run with status 1).
    for (int succeeding = 0; succeeding <= 8; ++succeeding) {
        SCOPED_TRACE(succeeding);
        allocationsLeft = succeeding;
        core::useBlockAllocator(&failingAfterSome);
        EXPECT_FALSE(core::allocateWorkBuffers());
        core::releaseWorkBuffers();
        EXPECT_TRUE(allReleased());

        allocationsLeft = succeeding;
        testing::internal::CaptureStdout();
        const bool prepared = sequencer::prepareWorkBuffers();
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "outta himem... sorry, but 8 megs required!\n");
        EXPECT_FALSE(prepared);
        core::useBlockAllocator(nullptr);
        core::releaseWorkBuffers();
        EXPECT_TRUE(allReleased());
    }
    // With the tenth allocation failing, everything succeeded.
    allocationsLeft = 9;
    core::useBlockAllocator(&failingAfterSome);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(sequencer::prepareWorkBuffers());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    core::useBlockAllocator(nullptr);
    core::releaseWorkBuffers();
    EXPECT_TRUE(allReleased());
}

}  // namespace

// The slots share one object and so do the raster tables; in the sanitizer build a routine
// that runs off the end of one is still stopped, as it was when each was a global of its own.
TEST(WorkBuffersDeathTest, RunningOffASlotOrATableIsStopped) {
    if (!core::kTablesGuarded) {
        GTEST_SKIP() << "only the sanitizer build guards the tables";
    }
    const auto readPastEnd = [](const auto& table) {
        const volatile std::uint8_t* end =
            reinterpret_cast<const std::uint8_t*>(table.data() + table.size());
        return *end;
    };
    EXPECT_DEATH(readPastEnd(core::buffers.skyPicture), "use-after-poison");
    EXPECT_DEATH(readPastEnd(core::buffers.titleStrip.second), "use-after-poison");
    EXPECT_DEATH(readPastEnd(core::buffers.flareBandTail), "use-after-poison");
    EXPECT_DEATH(readPastEnd(raster::state.polarTable), "use-after-poison");
    EXPECT_DEATH(readPastEnd(raster::state.noiseTable), "use-after-poison");
}
