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

EntrySlot<0> resource00{};
EntrySlot<2> resource02{};
EntrySlot<3> resource03{};
EntrySlot<4> resource04{};
EntrySlot<5> resource05{};
EntrySlot<6> resource06{};
EntrySlot<7> resource07{};
EntrySlot<8> resource08{};
EntrySlot<9> resource09{};
EntrySlot<10> resource10{};
EntrySlot<11> resource11{};
EntrySlot<12> resource12{};
EntrySlot<13> resource13{};
EntrySlot<14> resource14{};
EntrySlot<15> resource15{};
EntrySlot<16> resource16{};
EntrySlot<17> resource17{};
TitleStripSlots titleStrip{};
MarginedSlot<0, entryCapacity(19), kResource19TailMargin> resource19Storage{};
static_assert(offsetof(decltype(resource19Storage), after) ==
                  offsetof(decltype(resource19Storage), slot) + entryCapacity(19),
              "the band image's margin must follow it directly");
EntrySlot<20> resource20{};
EntrySlot<21> resource21{};
EntrySlot<22> resource22{};
EntrySlot<23> resource23{};
EntrySlot<24> resource24{};
EntrySlot<25> resource25{};
EntrySlot<26> resource26{};
EntrySlot<27> resource27{};
EntrySlot<28> resource28{};
EntrySlot<29> resource29{};
EntrySlot<31> resource31{};
EntrySlot<32> resource32{};
EntrySlot<33> resource33{};
EntrySlot<34> resource34{};
EntrySlot<35> resource35{};

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
