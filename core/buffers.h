#pragma once
// The process-wide picture, palette and resource buffers that the resource store fills and
// every routine reads. One owner: this file. Heap work buffers live from allocateWorkBuffers to
// releaseWorkBuffers; the resource slots are static and zero at start.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/entries.h"
#include "core/picture.h"

namespace core {

inline constexpr std::size_t kWork400Bytes = 400000;
inline constexpr std::size_t kWorkABCBytes = 240000;
inline constexpr std::size_t kWork128Bytes = 128000;

// Heap work buffers; null until allocateWorkBuffers.
extern std::uint8_t* work400;
extern std::uint8_t* workA;
extern std::uint8_t* workB;
extern std::uint8_t* workC;
extern std::uint8_t* work128;
extern std::uint8_t* paletteA;
extern std::uint8_t* paletteB;
extern std::uint8_t* paletteC;

// Static resource slots, one per archive entry, sized from the entry table.
template <int Entry>
using EntrySlot = std::array<std::uint8_t, entryCapacity(Entry)>;

extern EntrySlot<0> resource00;
extern EntrySlot<2> resource02;
extern EntrySlot<3> resource03;
extern EntrySlot<4> resource04;
extern EntrySlot<5> resource05;
extern EntrySlot<6> resource06;
extern EntrySlot<7> resource07;
extern EntrySlot<8> resource08;
extern EntrySlot<9> resource09;
extern EntrySlot<10> resource10;
extern EntrySlot<11> resource11;
extern EntrySlot<12> resource12;
extern EntrySlot<13> resource13;
extern EntrySlot<14> resource14;
extern EntrySlot<15> resource15;
extern EntrySlot<16> resource16;
extern EntrySlot<17> resource17;

// The title strip is loaded twice into two adjacent slots so a 200-row window starting
// anywhere in the first copy runs on into the second without a seam.
struct TitleStripSlots {
    EntrySlot<18> first;
    EntrySlot<18> second;
};
static_assert(offsetof(TitleStripSlots, second) == entryCapacity(18),
              "strip copies must be adjacent");
extern TitleStripSlots titleStrip;
inline std::uint8_t* const resource18a = titleStrip.first.data();
inline std::uint8_t* const resource18b = titleStrip.second.data();

// A static slot with zeroed margins before and after it, for routines that read a little
// outside the slot; the slot's name refers to the slot proper.
template <std::size_t Before, std::size_t Size, std::size_t After>
struct MarginedSlot {
    std::array<std::uint8_t, Before> before;
    std::array<std::uint8_t, Size> slot;
    std::array<std::uint8_t, After> after;
};

// The band image is read 743 bytes a row with a window of 320 that may start as far as 699 bytes
// into a row, so the last row's window runs up to 274 bytes past the image; those read as 0.
inline constexpr std::size_t kResource19TailMargin = 320;
extern MarginedSlot<0, entryCapacity(19), kResource19TailMargin> resource19Storage;
inline EntrySlot<19>& resource19 = resource19Storage.slot;
extern EntrySlot<20> resource20;
extern EntrySlot<21> resource21;
extern EntrySlot<22> resource22;
extern EntrySlot<23> resource23;
extern EntrySlot<24> resource24;
extern EntrySlot<25> resource25;
extern EntrySlot<26> resource26;
extern EntrySlot<27> resource27;
extern EntrySlot<28> resource28;
extern EntrySlot<29> resource29;
extern EntrySlot<31> resource31;
extern EntrySlot<32> resource32;
extern EntrySlot<33> resource33;
extern EntrySlot<34> resource34;
extern EntrySlot<35> resource35;

// Heap work buffers may carry zeroed margins for routines that read past them; the buffer's
// name points at its first byte proper. work128's height words are read up to 642 bytes past
// its end by the gradient warp; those read as 0.
inline constexpr std::size_t kWork128TailMargin = 1024;

// Allocates work400, workA, workB, workC, work128, paletteA, paletteB, paletteC in that order
// (all zeroed, margins included), then checks that 240000 more bytes are still available.
// False on the first failed allocation; what was allocated stays held for releaseWorkBuffers.
// The preparation runs the effect set-ups in between this and clearWorkBuffers.
[[nodiscard]] bool allocateWorkBuffers();
// Clears every work buffer but work128 (left as the set-ups leave it).
void clearWorkBuffers();
// Frees the heap work buffers in their fixed order; safe on buffers never allocated.
void releaseWorkBuffers();

// The allocator behind allocateWorkBuffers: calloc, or a replacement that returns zeroed
// storage releasable with std::free, or null to exercise the out-of-memory path. Passing
// nullptr restores calloc.
using BlockAllocator = void* (*)(std::size_t count, std::size_t size);
void useBlockAllocator(BlockAllocator allocator);

}  // namespace core
