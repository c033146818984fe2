#include "core/buffers.h"

#include <cstdlib>
#include <cstring>

namespace core {

Buffers buffers;

namespace {

// One heap work buffer: where its address lives, its size, the zeroed margins around it, and
// whether it is cleared after the effect set-ups. Listed in allocation (and release) order.
struct WorkBufferLayout {
    std::uint8_t* Buffers::*buffer;
    std::size_t size;
    std::size_t marginBefore;
    std::size_t marginAfter;
    bool clearedAfterSetup;
};

constexpr std::size_t kWorkBufferCount = 8;
const std::array<WorkBufferLayout, kWorkBufferCount> workBufferLayouts{{
    {&Buffers::sourcePage, kSourcePageBytes, 0, 0, true},
    {&Buffers::layerPage, kScenePageBytes, 0, 0, true},
    {&Buffers::mixPage, kScenePageBytes, 0, 0, true},
    {&Buffers::grainPage, kScenePageBytes, 0, 0, true},
    {&Buffers::warpHeights, kWarpHeightsBytes, 0, kWarpHeightsTailMargin, false},
    {&Buffers::paletteA, kPaletteBytes, 0, 0, true},
    {&Buffers::paletteB, kPaletteBytes, 0, 0, true},
    {&Buffers::paletteC, kPaletteBytes, 0, 0, true},
}};

// The memory check after the buffers: this much must still be available.
constexpr std::size_t kSpareCheckBytes = 240000;

void* zeroedAllocation(std::size_t count, std::size_t size) {
    return std::calloc(count, size);
}

BlockAllocator blockAllocator = &zeroedAllocation;

}  // namespace

void useBlockAllocator(BlockAllocator allocator) {
    blockAllocator = allocator != nullptr ? allocator : &zeroedAllocation;
}

bool allocateWorkBuffers() {
    for (const WorkBufferLayout& layout : workBufferLayouts) {
        // Zeroed storage: the margins read as 0, and warpHeights, which is not cleared, starts
        // from a defined picture.
        auto* storage = static_cast<std::uint8_t*>(
            blockAllocator(layout.marginBefore + layout.size + layout.marginAfter, 1));
        if (storage == nullptr) {
            return false;
        }
        buffers.*layout.buffer = storage + layout.marginBefore;
    }
    void* spare = blockAllocator(kSpareCheckBytes, 1);
    if (spare == nullptr) {
        return false;
    }
    std::free(spare);
    return true;
}

void clearWorkBuffers() {
    for (const WorkBufferLayout& layout : workBufferLayouts) {
        if (layout.clearedAfterSetup) {
            std::memset(buffers.*layout.buffer, 0, layout.size);
        }
    }
}

void releaseWorkBuffers() {
    for (const WorkBufferLayout& layout : workBufferLayouts) {
        if (buffers.*layout.buffer != nullptr) {
            std::free(buffers.*layout.buffer - layout.marginBefore);
            buffers.*layout.buffer = nullptr;
        }
    }
}

}  // namespace core
