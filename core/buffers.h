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

inline constexpr std::size_t kSourcePageBytes = 400000;
inline constexpr std::size_t kScenePageBytes = 240000;
inline constexpr std::size_t kWarpHeightsBytes = 128000;

// Fixed places on the pages, in bytes from a page's start. The landscape is drawn clear of
// the map that sourcePage holds at its start.
inline constexpr std::size_t kLandscapeInSourcePage = 128000;
// The pressure caption: row 85, column 72.
inline constexpr std::size_t kPressureCaptionAt = 320 * 85 + 72;
// The window scene's two flashing bands of windows: rows 30 to 89 and 130 to 189.
inline constexpr std::size_t kUpperWindowsAt = 320 * 30;
inline constexpr std::size_t kLowerWindowsAt = 320 * 130;
// The flare band across the ring-of-flares picture: rows 170 to 195.
inline constexpr std::size_t kBandRowsAt = 320 * 170;
// The flight caption once risen: row 160 of mixPage's second picture (it starts 40 rows lower).
inline constexpr std::size_t kRisenCaptionAt = kPictureBytes + 320 * 160;

// Heap work buffers; null until allocateWorkBuffers. The scenes share them, each page keeping
// one kind of work from scene to scene.
// The maps the effects read (a texture or sprite copy at the start) and the landscape picture.
extern std::uint8_t* sourcePage;
// The sky backdrop and the layers effects lay down: plasma, rotozoom layers, flares, sprites.
extern std::uint8_t* layerPage;
// Where pictures are mixed: remaps, cross-fades, thumbnails, the warped landscape and dance.
extern std::uint8_t* mixPage;
// Grained pictures, the tunnels with their vector objects, the warped ring of flares.
extern std::uint8_t* grainPage;
// The gradient warp's 64000 signed height words, made from the marble field.
extern std::uint8_t* warpHeights;
extern std::uint8_t* paletteA;
extern std::uint8_t* paletteB;
extern std::uint8_t* paletteC;

// Static resource slots, one per archive entry, sized from the entry table.
template <int Entry>
using EntrySlot = std::array<std::uint8_t, entryCapacity(Entry)>;

extern EntrySlot<0> tunnelRemap;
extern EntrySlot<2> crystalTexture;
extern EntrySlot<3> ribbedTexture;
extern EntrySlot<4> smallLight;
extern EntrySlot<5> landscapeHeights;
extern EntrySlot<6> landscapeColours;
extern EntrySlot<7> skyPicture;
extern EntrySlot<8> flashBurst;
extern EntrySlot<9> flashShockwave;
extern EntrySlot<10> openingPicture;
extern EntrySlot<11> stormPicture;
extern EntrySlot<12> accentRings;
extern EntrySlot<13> accentStreaks;
extern EntrySlot<14> largeFlare;
extern EntrySlot<15> wordStorm;
extern EntrySlot<16> wordGlass;
extern EntrySlot<17> marbleField;

// The title strip is loaded twice into two adjacent slots so a 200-row window starting
// anywhere in the first copy runs on into the second without a seam.
struct TitleStripSlots {
    EntrySlot<18> first;
    EntrySlot<18> second;
};
static_assert(offsetof(TitleStripSlots, second) == entryCapacity(18),
              "strip copies must be adjacent");
extern TitleStripSlots titleStrip;
inline std::uint8_t* const titleStripFirst = titleStrip.first.data();
inline std::uint8_t* const titleStripSecond = titleStrip.second.data();

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
inline constexpr std::size_t kFlareBandTailMargin = 320;
extern MarginedSlot<0, entryCapacity(19), kFlareBandTailMargin> flareBandStorage;
inline EntrySlot<19>& flareBand = flareBandStorage.slot;
extern EntrySlot<20> windowFlashes;
extern EntrySlot<21> windowCaptions;
extern EntrySlot<22> dancerSolo;
extern EntrySlot<23> dancerPair;
extern EntrySlot<24> danceBurst;
extern EntrySlot<25> dancePillars;
extern EntrySlot<26> captionTitle;
extern EntrySlot<27> captionLinux;
extern EntrySlot<28> captionPressure;
extern EntrySlot<29> duskPicture;
extern EntrySlot<31> glassSphere;
extern EntrySlot<32> dialEmblem;
extern EntrySlot<33> crestEmblem;
extern EntrySlot<34> creditsPicture;
extern EntrySlot<35> lightningPicture;

// Heap work buffers may carry zeroed margins for routines that read past them; the buffer's
// name points at its first byte proper. warpHeights' height words are read up to 642 bytes past
// its end by the gradient warp; those read as 0.
inline constexpr std::size_t kWarpHeightsTailMargin = 1024;

// Allocates sourcePage, layerPage, mixPage, grainPage, warpHeights, paletteA, paletteB, paletteC in
// that order (all zeroed, margins included), then checks that 240000 more bytes are still
// available. False on the first failed allocation; what was allocated stays held for
// releaseWorkBuffers. The preparation runs the effect set-ups in between this and clearWorkBuffers.
[[nodiscard]] bool allocateWorkBuffers();
// Clears every work buffer but warpHeights (left as the set-ups leave it).
void clearWorkBuffers();
// Frees the heap work buffers in their fixed order; safe on buffers never allocated.
void releaseWorkBuffers();

// The allocator behind allocateWorkBuffers: calloc, or a replacement that returns zeroed
// storage releasable with std::free, or null to exercise the out-of-memory path. Passing
// nullptr restores calloc.
using BlockAllocator = void* (*)(std::size_t count, std::size_t size);
void useBlockAllocator(BlockAllocator allocator);

}  // namespace core
