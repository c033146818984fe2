#include "archive/buffers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "child_process.h"
#include "host/process.h"

namespace {

using archive_test::runInChild;

int allocationsLeft = 0;
void* failingAfterSome(std::size_t count, std::size_t size) {
    if (allocationsLeft-- <= 0) {
        return nullptr;
    }
    return std::calloc(count, size);
}

std::uint8_t* const* allBuffers[] = {&archive::work400,  &archive::workA,   &archive::workB,
                                     &archive::workC,    &archive::work128, &archive::paletteA,
                                     &archive::paletteB, &archive::paletteC};

TEST(WorkBuffers, AllocatedClearedAndReleased) {
    archive::allocateWorkBuffers();
    const std::size_t sizes[] = {400000, 240000, 240000, 240000, 128000, 768, 768, 768};
    for (std::size_t b = 0; b < 8; ++b) {
        const std::uint8_t* buffer = *allBuffers[b];
        ASSERT_NE(buffer, nullptr) << b;
        std::size_t nonZero = 0;
        for (std::size_t i = 0; i < sizes[b]; ++i) {
            nonZero += buffer[i] != 0;
        }
        EXPECT_EQ(nonZero, 0u) << b;
    }
    // work128's margin reads as 0 up to the last height word the gradient warp reaches.
    for (std::size_t i = 128000; i < 128000 + archive::kWork128TailMargin; ++i) {
        ASSERT_EQ(archive::work128[i], 0) << i;
    }
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(archive::work128) % alignof(std::int16_t), 0u);
    archive::releaseWorkBuffers();
    for (auto* buffer : allBuffers) {
        EXPECT_EQ(*buffer, nullptr);
    }
    archive::releaseWorkBuffers();  // twice is harmless
}

TEST(WorkBuffers, BandImageMarginReadsAsZero) {
    const std::uint8_t* band = archive::resource19.data();
    // The last row's window at the largest band offset ends 274 bytes past the image.
    const std::size_t lastRead = 743 * 25 + 699 + 319;
    EXPECT_EQ(lastRead - 19320 + 1, 274u);
    for (std::size_t i = 19320; i <= lastRead; ++i) {
        ASSERT_EQ(band[i], 0) << i;
    }
}

TEST(WorkBuffers, OutOfMemoryAtEveryStep) {
    // Nine allocations: eight buffers and the spare check. Failing the k-th prints the line,
    // frees what was allocated, and ends with status 0.
    for (int succeeding = 0; succeeding <= 8; ++succeeding) {
        SCOPED_TRACE(succeeding);
        const auto outcome = runInChild([succeeding] {
            host::addExitHook([](int) {
                bool allNull = true;
                for (auto* buffer : allBuffers) {
                    allNull = allNull && *buffer == nullptr;
                }
                std::fputs(allNull ? "released\n" : "still held\n", stdout);
            });
            allocationsLeft = succeeding;
            archive::useBlockAllocator(&failingAfterSome);
            archive::allocateWorkBuffers();
        });
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.output, "outta himem... sorry, but 8 megs required!\nreleased\n");
    }
    // With the tenth allocation failing, everything succeeded.
    const auto outcome = runInChild([] {
        allocationsLeft = 9;
        archive::useBlockAllocator(&failingAfterSome);
        archive::allocateWorkBuffers();
        archive::useBlockAllocator(nullptr);
        archive::releaseWorkBuffers();
    });
    EXPECT_EQ(outcome.status, archive_test::kReturned);
    EXPECT_EQ(outcome.output, "");
}

}  // namespace
