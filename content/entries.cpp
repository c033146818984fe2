#include "content/entries.h"

namespace content {

EntryKind entryKind(int index) {
    return core::kArchiveEntries[static_cast<std::size_t>(index)].kind;
}

std::size_t entryShapeBytes(int index) {
    switch (entryKind(index)) {
        case EntryKind::remapTable:
            return 131072;
        case EntryKind::palette:
            return 768;
        case EntryKind::map256:
        case EntryKind::heightMap:
        case EntryKind::tallMap:
            return kMapBytes;
        case EntryKind::titleStrip:
            return 32000;
        case EntryKind::band:
            return 19320;
        case EntryKind::captionStrip:
            return 9600;
        case EntryKind::dancer:
            return kEntryCapacity[static_cast<std::size_t>(index)];
        case EntryKind::picture:
            return index == 29 ? 64768 : kPictureBytes;
    }
    return 0;
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

Bytes buildEntry(int index) {
    switch (index) {
        case 0:
            return buildTunnelRemap();
        case 1: {
            const Palette p = makePaletteA();
            return Bytes(p.begin(), p.end());
        }
        case 2:
            return buildCrystalTexture();
        case 3:
            return buildRibbedTexture();
        case 4:
            return buildSmallLight();
        case 5:
            return buildLandscapeHeights();
        case 6:
            return buildLandscapeColours();
        case 7:
            return buildSky();
        case 8:
            return buildFlashBurst();
        case 9:
            return buildFlashShockwave();
        case 10:
            return buildOpeningPicture();
        case 11:
            return buildStormPicture();
        case 12:
            return buildAccentRings();
        case 13:
            return buildAccentStreaks();
        case 14:
            return buildLargeFlare();
        case 15:
            return buildWordStorm();
        case 16:
            return buildWordGlass();
        case 17:
            return buildMarbleField();
        case 18:
            return buildTitleStrip();
        case 19:
            return buildFlareBand();
        case 20:
            return buildWindowFlashes();
        case 21:
            return buildWindowCaptions();
        case 22:
            return buildDancerSolo();
        case 23:
            return buildDancerPair();
        case 24:
            return buildDanceBurst();
        case 25:
            return buildDancePillars();
        case 26:
            return buildCaptionTitle();
        case 27:
            return buildCaptionLinux();
        case 28:
            return buildCaptionPressure();
        case 29: {
            // The picture, followed by the palette it is shown with, filling the slot.
            Bytes b = buildDuskPicture();
            const Palette p = makePaletteB();
            b.insert(b.end(), p.begin(), p.end());
            return b;
        }
        case 30: {
            const Palette p = makePaletteB();
            return Bytes(p.begin(), p.end());
        }
        case 31:
            return buildGlassSphere();
        case 32:
            return buildDialEmblem();
        case 33:
            return buildCrestEmblem();
        case 34:
            return buildCreditsPicture();
        case 35:
            return buildLightningPicture();
        default:
            return {};
    }
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
