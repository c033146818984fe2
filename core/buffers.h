#pragma once
// The process-wide picture, palette and resource buffers that the resource store fills and
// every routine reads, in one object: core::buffers. Heap work buffers live from
// allocateWorkBuffers to releaseWorkBuffers; the resource slots are static and zero at start.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/entries.h"
#include "core/guard.h"
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

// Static resource slots, one per archive entry, sized from the entry table.
template <int Entry>
using EntrySlot = std::array<std::uint8_t, entryCapacity(Entry)>;

// The title strip is loaded twice into two adjacent slots so a 200-row window starting
// anywhere in the first copy runs on into the second without a seam.
struct TitleStripSlots {
    EntrySlot<18> first;
    EntrySlot<18> second;
};
static_assert(offsetof(TitleStripSlots, second) == entryCapacity(18),
              "strip copies must be adjacent");

// The band image is read 743 bytes a row with a window of 320 that may start as far as 699 bytes
// into a row, so the last row's window runs up to 274 bytes past the image; those read as 0.
inline constexpr std::size_t kFlareBandTailMargin = 320;

// Heap work buffers may carry zeroed margins for routines that read past them; the buffer's
// name points at its first byte proper. warpHeights' height words are read up to 642 bytes past
// its end by the gradient warp; those read as 0.
inline constexpr std::size_t kWarpHeightsTailMargin = 1024;

struct Buffers {
    // Heap work buffers; null until allocateWorkBuffers. The scenes share them, each page
    // keeping one kind of work from scene to scene.
    // The maps the effects read (a texture or sprite copy at the start) and the landscape.
    std::uint8_t* sourcePage = nullptr;
    // The sky backdrop and the layers effects lay down: plasma, rotozoom layers, flares,
    // sprites.
    std::uint8_t* layerPage = nullptr;
    // Where pictures are mixed: remaps, cross-fades, thumbnails, the warped landscape and dance.
    std::uint8_t* mixPage = nullptr;
    // Grained pictures, the tunnels with their vector objects, the warped ring of flares.
    std::uint8_t* grainPage = nullptr;
    // The gradient warp's 64000 signed height words, made from the marble field.
    std::uint8_t* warpHeights = nullptr;
    std::uint8_t* paletteA = nullptr;
    std::uint8_t* paletteB = nullptr;
    std::uint8_t* paletteC = nullptr;

    // The resource slots, zero at start, each followed by its guard (the last one by the
    // red zone the sanitizer puts after every global).
    EntrySlot<0> tunnelRemap{};
    [[no_unique_address]] TableGuard afterTunnelRemap;
    EntrySlot<2> crystalTexture{};
    [[no_unique_address]] TableGuard afterCrystalTexture;
    EntrySlot<3> ribbedTexture{};
    [[no_unique_address]] TableGuard afterRibbedTexture;
    EntrySlot<4> smallLight{};
    [[no_unique_address]] TableGuard afterSmallLight;
    EntrySlot<5> landscapeHeights{};
    [[no_unique_address]] TableGuard afterLandscapeHeights;
    EntrySlot<6> landscapeColours{};
    [[no_unique_address]] TableGuard afterLandscapeColours;
    EntrySlot<7> skyPicture{};
    [[no_unique_address]] TableGuard afterSkyPicture;
    EntrySlot<8> flashBurst{};
    [[no_unique_address]] TableGuard afterFlashBurst;
    EntrySlot<9> flashShockwave{};
    [[no_unique_address]] TableGuard afterFlashShockwave;
    EntrySlot<10> openingPicture{};
    [[no_unique_address]] TableGuard afterOpeningPicture;
    EntrySlot<11> stormPicture{};
    [[no_unique_address]] TableGuard afterStormPicture;
    EntrySlot<12> accentRings{};
    [[no_unique_address]] TableGuard afterAccentRings;
    EntrySlot<13> accentStreaks{};
    [[no_unique_address]] TableGuard afterAccentStreaks;
    EntrySlot<14> largeFlare{};
    [[no_unique_address]] TableGuard afterLargeFlare;
    EntrySlot<15> wordStorm{};
    [[no_unique_address]] TableGuard afterWordStorm;
    EntrySlot<16> wordGlass{};
    [[no_unique_address]] TableGuard afterWordGlass;
    EntrySlot<17> marbleField{};
    [[no_unique_address]] TableGuard afterMarbleField;
    TitleStripSlots titleStrip{};
    [[no_unique_address]] TableGuard afterTitleStrip;
    EntrySlot<19> flareBand{};
    // Never written: what the band's last window reads past the image.
    std::array<std::uint8_t, kFlareBandTailMargin> flareBandTail{};
    [[no_unique_address]] TableGuard afterFlareBandTail;
    EntrySlot<20> windowFlashes{};
    [[no_unique_address]] TableGuard afterWindowFlashes;
    EntrySlot<21> windowCaptions{};
    [[no_unique_address]] TableGuard afterWindowCaptions;
    EntrySlot<22> dancerSolo{};
    [[no_unique_address]] TableGuard afterDancerSolo;
    EntrySlot<23> dancerPair{};
    [[no_unique_address]] TableGuard afterDancerPair;
    EntrySlot<24> danceBurst{};
    [[no_unique_address]] TableGuard afterDanceBurst;
    EntrySlot<25> dancePillars{};
    [[no_unique_address]] TableGuard afterDancePillars;
    EntrySlot<26> captionTitle{};
    [[no_unique_address]] TableGuard afterCaptionTitle;
    EntrySlot<27> captionLinux{};
    [[no_unique_address]] TableGuard afterCaptionLinux;
    EntrySlot<28> captionPressure{};
    [[no_unique_address]] TableGuard afterCaptionPressure;
    EntrySlot<29> duskPicture{};
    [[no_unique_address]] TableGuard afterDuskPicture;
    EntrySlot<31> glassSphere{};
    [[no_unique_address]] TableGuard afterGlassSphere;
    EntrySlot<32> dialEmblem{};
    [[no_unique_address]] TableGuard afterDialEmblem;
    EntrySlot<33> crestEmblem{};
    [[no_unique_address]] TableGuard afterCrestEmblem;
    EntrySlot<34> creditsPicture{};
    [[no_unique_address]] TableGuard afterCreditsPicture;
    EntrySlot<35> lightningPicture{};
};
static_assert(offsetof(Buffers, flareBandTail) == offsetof(Buffers, flareBand) + entryCapacity(19),
              "the band image's margin must follow it directly");

// The one set of buffers: main thread only.
extern Buffers buffers;

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
