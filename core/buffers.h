#pragma once
// The process-wide picture, palette and resource buffers that the resource store fills and
// every routine reads. One owner: this file. Heap work buffers live from allocateWorkBuffers to
// releaseWorkBuffers; the resource slots are static and zero at start.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

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

// Static resource slots, one per archive entry, sized to the capacity the load list gives.
extern std::array<std::uint8_t, 131072> resource00;
extern std::array<std::uint8_t, 65536> resource02;
extern std::array<std::uint8_t, 65536> resource03;
extern std::array<std::uint8_t, 65536> resource04;
extern std::array<std::uint8_t, 131072> resource05;
extern std::array<std::uint8_t, 65536> resource06;
extern std::array<std::uint8_t, 64000> resource07;
extern std::array<std::uint8_t, 65536> resource08;
extern std::array<std::uint8_t, 65536> resource09;
extern std::array<std::uint8_t, 65536> resource10;
extern std::array<std::uint8_t, 65536> resource11;
extern std::array<std::uint8_t, 65536> resource12;
extern std::array<std::uint8_t, 65536> resource13;
extern std::array<std::uint8_t, 65536> resource14;
extern std::array<std::uint8_t, 65536> resource15;
extern std::array<std::uint8_t, 65536> resource16;
extern std::array<std::uint8_t, 65536> resource17;

// The title strip is loaded twice into two adjacent slots so a 200-row window starting
// anywhere in the first copy runs on into the second without a seam.
struct TitleStripSlots {
    std::array<std::uint8_t, 32000> first;
    std::array<std::uint8_t, 32000> second;
};
static_assert(offsetof(TitleStripSlots, second) == 32000, "strip copies must be adjacent");
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
extern MarginedSlot<0, 19320, kResource19TailMargin> resource19Storage;
inline std::array<std::uint8_t, 19320>& resource19 = resource19Storage.slot;
extern std::array<std::uint8_t, 64000> resource20;
extern std::array<std::uint8_t, 64000> resource21;
extern std::array<std::uint8_t, 30000> resource22;
extern std::array<std::uint8_t, 15000> resource23;
extern std::array<std::uint8_t, 64000> resource24;
extern std::array<std::uint8_t, 64000> resource25;
extern std::array<std::uint8_t, 9600> resource26;
extern std::array<std::uint8_t, 9600> resource27;
extern std::array<std::uint8_t, 9600> resource28;
extern std::array<std::uint8_t, 64768> resource29;
extern std::array<std::uint8_t, 64000> resource31;
extern std::array<std::uint8_t, 65536> resource32;
extern std::array<std::uint8_t, 65536> resource33;
extern std::array<std::uint8_t, 64000> resource34;
extern std::array<std::uint8_t, 64000> resource35;

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
