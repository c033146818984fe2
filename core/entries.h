#pragma once
// The data file's 36 entries, listed once: what each holds, the room the program reserves for
// it, and what kind of thing it is. The generator builds to it, the store loads by it, and the
// resource slots are sized from it.
#include <array>
#include <cstddef>

#include "core/picture.h"

namespace core {

// How an entry is laid out.
enum class EntryKind {
    remapTable,    // the tunnel's two-byte remap of 256 x 256 polar coordinates
    palette,       // 256 colours
    map256,        // 256 x 256 texture or sprite
    heightMap,     // 256 x 256 heights, widened in place to words after loading
    picture,       // 320 x 200
    tallMap,       // a 65536-byte map read 320 wide
    titleStrip,    // 32 x 1000
    band,          // 743 x 26
    dancer,        // a stream of words up to its end marker
    captionStrip,  // 320 x 30
};

struct ArchiveEntry {
    int index;
    const char* name;  // as its resource slot is named
    std::size_t capacity;
    EntryKind kind;
};

inline constexpr int kArchiveEntryCount = 36;
inline constexpr std::size_t kMapBytes = 65536;

inline constexpr std::array<ArchiveEntry, kArchiveEntryCount> kArchiveEntries{{
    {0, "tunnelRemap", 2 * kMapBytes, EntryKind::remapTable},
    {1, "paletteA", kPaletteBytes, EntryKind::palette},
    {2, "crystalTexture", kMapBytes, EntryKind::map256},
    {3, "ribbedTexture", kMapBytes, EntryKind::map256},
    {4, "smallLight", kMapBytes, EntryKind::map256},
    {5, "landscapeHeights", 2 * kMapBytes, EntryKind::heightMap},
    {6, "landscapeColours", kMapBytes, EntryKind::map256},
    {7, "skyPicture", kPictureBytes, EntryKind::picture},
    {8, "flashBurst", kMapBytes, EntryKind::picture},
    {9, "flashShockwave", kMapBytes, EntryKind::picture},
    {10, "openingPicture", kMapBytes, EntryKind::picture},
    {11, "stormPicture", kMapBytes, EntryKind::picture},
    {12, "accentRings", kMapBytes, EntryKind::picture},
    {13, "accentStreaks", kMapBytes, EntryKind::picture},
    {14, "largeFlare", kMapBytes, EntryKind::map256},
    {15, "wordStorm", kMapBytes, EntryKind::picture},
    {16, "wordGlass", kMapBytes, EntryKind::picture},
    {17, "marbleField", kMapBytes, EntryKind::tallMap},
    {18, "titleStrip", 32000, EntryKind::titleStrip},
    {19, "flareBand", 19320, EntryKind::band},
    {20, "windowFlashes", kPictureBytes, EntryKind::picture},
    {21, "windowCaptions", kPictureBytes, EntryKind::picture},
    {22, "dancerSolo", 30000, EntryKind::dancer},
    {23, "dancerPair", 15000, EntryKind::dancer},
    {24, "danceBurst", kPictureBytes, EntryKind::picture},
    {25, "dancePillars", kPictureBytes, EntryKind::picture},
    {26, "captionTitle", 9600, EntryKind::captionStrip},
    {27, "captionLinux", 9600, EntryKind::captionStrip},
    {28, "captionPressure", 9600, EntryKind::captionStrip},
    {29, "duskPicture", kPictureBytes + kPaletteBytes, EntryKind::picture},
    {30, "paletteB", kPaletteBytes, EntryKind::palette},
    {31, "glassSphere", kPictureBytes, EntryKind::picture},
    {32, "dialEmblem", kMapBytes, EntryKind::map256},
    {33, "crestEmblem", kMapBytes, EntryKind::map256},
    {34, "creditsPicture", kPictureBytes, EntryKind::picture},
    {35, "lightningPicture", kPictureBytes, EntryKind::picture},
}};

constexpr bool entriesInIndexOrder() {
    for (int i = 0; i < kArchiveEntryCount; ++i) {
        if (kArchiveEntries[static_cast<std::size_t>(i)].index != i) {
            return false;
        }
    }
    return true;
}
static_assert(entriesInIndexOrder(), "row i of the entry table must describe entry i");

// The room reserved for entry `index`; no entry may decode to more.
constexpr std::size_t entryCapacity(int index) {
    return kArchiveEntries[static_cast<std::size_t>(index)].capacity;
}

// The bytes entry `index` must hold at least for its readers; a shorter entry is a damaged one.
// A picture in a larger slot uses its first 64000 bytes, the height map is widened in place
// from its first half, and a dancer's stream may be as short as its end marker.
constexpr std::size_t entryNeeds(int index) {
    const ArchiveEntry& entry = kArchiveEntries[static_cast<std::size_t>(index)];
    switch (entry.kind) {
        case EntryKind::picture:
            return kPictureBytes;
        case EntryKind::heightMap:
            return entry.capacity / 2;
        case EntryKind::dancer:
            return 2;
        default:
            return entry.capacity;
    }
}

}  // namespace core
