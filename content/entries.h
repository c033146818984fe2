#pragma once
// The 36 entries of the show's data file, built from code: pictures, palettes, textures,
// sprites, tables and dancer animations. Each builder returns the entry's decoded bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/entries.h"
#include "core/picture.h"

namespace content {

using Bytes = std::vector<std::uint8_t>;
using Palette = std::array<std::uint8_t, 768>;

inline constexpr int kEntryCount = core::kArchiveEntryCount;
inline constexpr int kPictureWidth = core::kPictureWidth;
inline constexpr int kPictureHeight = core::kPictureHeight;
inline constexpr std::size_t kPictureBytes = core::kPictureBytes;
inline constexpr std::size_t kMapBytes = core::kMapBytes;

// How each entry is looked at, for the contact sheet and the tests.
using EntryKind = core::EntryKind;
EntryKind entryKind(int index);
// The exact decoded size each entry has (for the dancers: the upper bound).
std::size_t entryShapeBytes(int index);
// Which palette the show uses when it puts the entry on screen: 1 (paletteA) or 30 (paletteB).
int entryPalette(int index);

Palette makePaletteA();
Palette makePaletteB();

// Entry builders, grouped by the source file that holds them.
Bytes buildTunnelRemap();       // 0
Bytes buildCrystalTexture();    // 2
Bytes buildRibbedTexture();     // 3
Bytes buildSmallLight();        // 4
Bytes buildLandscapeHeights();  // 5
Bytes buildLandscapeColours();  // 6
Bytes buildSky();               // 7
Bytes buildFlashBurst();        // 8
Bytes buildFlashShockwave();    // 9
Bytes buildOpeningPicture();    // 10
Bytes buildStormPicture();      // 11
Bytes buildAccentRings();       // 12
Bytes buildAccentStreaks();     // 13
Bytes buildLargeFlare();        // 14
Bytes buildWordStorm();         // 15
Bytes buildWordGlass();         // 16
Bytes buildMarbleField();       // 17
Bytes buildTitleStrip();        // 18
Bytes buildFlareBand();         // 19
Bytes buildWindowFlashes();     // 20
Bytes buildWindowCaptions();    // 21
Bytes buildDancerSolo();        // 22
Bytes buildDancerPair();        // 23
Bytes buildDanceBurst();        // 24
Bytes buildDancePillars();      // 25
Bytes buildCaptionTitle();      // 26
Bytes buildCaptionLinux();      // 27
Bytes buildCaptionPressure();   // 28
Bytes buildDuskPicture();       // 29
Bytes buildGlassSphere();       // 31
Bytes buildDialEmblem();        // 32
Bytes buildCrestEmblem();       // 33
Bytes buildCreditsPicture();    // 34
Bytes buildLightningPicture();  // 35

Bytes buildEntry(int index);
std::vector<Bytes> buildAllEntries();

// The launcher's logo: 213 x 133 pixels of 8-bit red, green, blue, rows top to bottom.
inline constexpr int kLogoWidth = 213;
inline constexpr int kLogoHeight = 133;
Bytes buildLogoRgb();

}  // namespace content
