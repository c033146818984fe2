#include "content/entries.h"

namespace content {

EntryKind entryKind(int index) {
    return core::kArchiveEntries[static_cast<std::size_t>(index)].kind;
}

std::size_t entryShapeBytes(int index) {
    // The height map and a picture in a larger slot are built to what the program reads; the
    // dusk picture carries its palette after it, and everything else fills its room (a dancer's
    // room is its upper bound).
    switch (entryKind(index)) {
        case EntryKind::heightMap:
            return core::entryNeeds(index);
        case EntryKind::picture:
            return index == 29 ? core::entryCapacity(index) : core::entryNeeds(index);
        default:
            return core::entryCapacity(index);
    }
}

int entryPalette(int index) {
    switch (index) {
        case 29:
        case 30:
        case 31:
        case 32:
        case 33:
            return 30;
        default:
            return 1;
    }
}

namespace {

Bytes paletteAEntry() {
    const Palette p = makePaletteA();
    return Bytes(p.begin(), p.end());
}

Bytes paletteBEntry() {
    const Palette p = makePaletteB();
    return Bytes(p.begin(), p.end());
}

// The picture, followed by the palette it is shown with, filling the slot.
Bytes duskPictureWithPalette() {
    Bytes b = buildDuskPicture();
    const Palette p = makePaletteB();
    b.insert(b.end(), p.begin(), p.end());
    return b;
}

// Each entry's builder, in the entries' order, four a row (0-3, 4-7, ...).
constexpr std::array<Bytes (*)(), kEntryCount> kEntryBuilders = {
    buildTunnelRemap,     paletteAEntry,          buildCrystalTexture,   buildRibbedTexture,
    buildSmallLight,      buildLandscapeHeights,  buildLandscapeColours, buildSky,
    buildFlashBurst,      buildFlashShockwave,    buildOpeningPicture,   buildStormPicture,
    buildAccentRings,     buildAccentStreaks,     buildLargeFlare,       buildWordStorm,
    buildWordGlass,       buildMarbleField,       buildTitleStrip,       buildFlareBand,
    buildWindowFlashes,   buildWindowCaptions,    buildDancerSolo,       buildDancerPair,
    buildDanceBurst,      buildDancePillars,      buildCaptionTitle,     buildCaptionLinux,
    buildCaptionPressure, duskPictureWithPalette, paletteBEntry,         buildGlassSphere,
    buildDialEmblem,      buildCrestEmblem,       buildCreditsPicture,   buildLightningPicture};

}  // namespace

Bytes buildEntry(int index) {
    if (index < 0 || index >= kEntryCount) {
        return {};
    }
    return kEntryBuilders[static_cast<std::size_t>(index)]();
}

std::vector<Bytes> buildAllEntries() {
    std::vector<Bytes> entries;
    entries.reserve(kEntryCount);
    for (int i = 0; i < kEntryCount; ++i) {
        entries.push_back(buildEntry(i));
    }
    return entries;
}

}  // namespace content
