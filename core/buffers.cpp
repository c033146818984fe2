#include "core/buffers.h"

#include <cstdlib>
#include <cstring>

namespace core {

std::uint8_t* sourcePage = nullptr;
std::uint8_t* layerPage = nullptr;
std::uint8_t* mixPage = nullptr;
std::uint8_t* grainPage = nullptr;
std::uint8_t* warpHeights = nullptr;
std::uint8_t* paletteA = nullptr;
std::uint8_t* paletteB = nullptr;
std::uint8_t* paletteC = nullptr;

EntrySlot<0> tunnelRemap{};
EntrySlot<2> crystalTexture{};
EntrySlot<3> ribbedTexture{};
EntrySlot<4> smallLight{};
EntrySlot<5> landscapeHeights{};
EntrySlot<6> landscapeColours{};
EntrySlot<7> skyPicture{};
EntrySlot<8> flashBurst{};
EntrySlot<9> flashShockwave{};
EntrySlot<10> openingPicture{};
EntrySlot<11> stormPicture{};
EntrySlot<12> accentRings{};
EntrySlot<13> accentStreaks{};
EntrySlot<14> largeFlare{};
EntrySlot<15> wordStorm{};
EntrySlot<16> wordGlass{};
EntrySlot<17> marbleField{};
TitleStripSlots titleStrip{};
MarginedSlot<0, entryCapacity(19), kFlareBandTailMargin> flareBandStorage{};
static_assert(offsetof(decltype(flareBandStorage), after) ==
                  offsetof(decltype(flareBandStorage), slot) + entryCapacity(19),
              "the band image's margin must follow it directly");
EntrySlot<20> windowFlashes{};
EntrySlot<21> windowCaptions{};
EntrySlot<22> dancerSolo{};
EntrySlot<23> dancerPair{};
EntrySlot<24> danceBurst{};
EntrySlot<25> dancePillars{};
EntrySlot<26> captionTitle{};
EntrySlot<27> captionLinux{};
EntrySlot<28> captionPressure{};
EntrySlot<29> duskPicture{};
EntrySlot<31> glassSphere{};
EntrySlot<32> dialEmblem{};
EntrySlot<33> crestEmblem{};
EntrySlot<34> creditsPicture{};
EntrySlot<35> lightningPicture{};

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
    {&sourcePage, kSourcePageBytes, 0, 0, true},
    {&layerPage, kScenePageBytes, 0, 0, true},
    {&mixPage, kScenePageBytes, 0, 0, true},
    {&grainPage, kScenePageBytes, 0, 0, true},
    {&warpHeights, kWarpHeightsBytes, 0, kWarpHeightsTailMargin, false},
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
        // Zeroed storage: the margins read as 0, and warpHeights, which is not cleared, starts
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
