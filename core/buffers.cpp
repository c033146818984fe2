#include "core/buffers.h"

#include <cstdlib>
#include <cstring>

namespace core {

std::uint8_t* work400 = nullptr;
std::uint8_t* workA = nullptr;
std::uint8_t* workB = nullptr;
std::uint8_t* workC = nullptr;
std::uint8_t* work128 = nullptr;
std::uint8_t* paletteA = nullptr;
std::uint8_t* paletteB = nullptr;
std::uint8_t* paletteC = nullptr;

std::array<std::uint8_t, 131072> resource00{};
std::array<std::uint8_t, 65536> resource02{};
std::array<std::uint8_t, 65536> resource03{};
std::array<std::uint8_t, 65536> resource04{};
std::array<std::uint8_t, 131072> resource05{};
std::array<std::uint8_t, 65536> resource06{};
std::array<std::uint8_t, 64000> resource07{};
std::array<std::uint8_t, 65536> resource08{};
std::array<std::uint8_t, 65536> resource09{};
std::array<std::uint8_t, 65536> resource10{};
std::array<std::uint8_t, 65536> resource11{};
std::array<std::uint8_t, 65536> resource12{};
std::array<std::uint8_t, 65536> resource13{};
std::array<std::uint8_t, 65536> resource14{};
std::array<std::uint8_t, 65536> resource15{};
std::array<std::uint8_t, 65536> resource16{};
std::array<std::uint8_t, 65536> resource17{};
TitleStripSlots titleStrip{};
MarginedSlot<0, 19320, kResource19TailMargin> resource19Storage{};
static_assert(offsetof(decltype(resource19Storage), after) ==
                  offsetof(decltype(resource19Storage), slot) + 19320,
              "the band image's margin must follow it directly");
std::array<std::uint8_t, 64000> resource20{};
std::array<std::uint8_t, 64000> resource21{};
std::array<std::uint8_t, 30000> resource22{};
std::array<std::uint8_t, 15000> resource23{};
std::array<std::uint8_t, 64000> resource24{};
std::array<std::uint8_t, 64000> resource25{};
std::array<std::uint8_t, 9600> resource26{};
std::array<std::uint8_t, 9600> resource27{};
std::array<std::uint8_t, 9600> resource28{};
std::array<std::uint8_t, 64768> resource29{};
std::array<std::uint8_t, 64000> resource31{};
std::array<std::uint8_t, 65536> resource32{};
std::array<std::uint8_t, 65536> resource33{};
std::array<std::uint8_t, 64000> resource34{};
std::array<std::uint8_t, 64000> resource35{};

namespace {

// One heap work buffer: where its address lives, its size, the zeroed margins around it, and
// whether it is cleared after the effect set-ups. Listed in allocation (and release) order.
struct WorkBufferLayout {
    std::uint8_t** buffer;
    std::size_t size;
    std::size_t marginBefore;
    std::size_t marginAfter;
    bool clearedAfterSetup;
};

constexpr std::size_t kWorkBufferCount = 8;
const std::array<WorkBufferLayout, kWorkBufferCount> workBufferLayouts{{
    {&work400, kWork400Bytes, 0, 0, true},
    {&workA, kWorkABCBytes, 0, 0, true},
    {&workB, kWorkABCBytes, 0, 0, true},
    {&workC, kWorkABCBytes, 0, 0, true},
    {&work128, kWork128Bytes, 0, kWork128TailMargin, false},
    {&paletteA, kPaletteBytes, 0, 0, true},
    {&paletteB, kPaletteBytes, 0, 0, true},
    {&paletteC, kPaletteBytes, 0, 0, true},
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
        // Zeroed storage: the margins read as 0, and work128, which is not cleared, starts
        // from a defined picture.
        auto* storage = static_cast<std::uint8_t*>(
            blockAllocator(layout.marginBefore + layout.size + layout.marginAfter, 1));
        if (storage == nullptr) {
            return false;
        }
        *layout.buffer = storage + layout.marginBefore;
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
            std::memset(*layout.buffer, 0, layout.size);
        }
    }
}

void releaseWorkBuffers() {
    for (const WorkBufferLayout& layout : workBufferLayouts) {
        if (*layout.buffer != nullptr) {
            std::free(*layout.buffer - layout.marginBefore);
            *layout.buffer = nullptr;
        }
    }
}

}  // namespace core
