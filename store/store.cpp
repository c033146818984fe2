#include "store/store.h"

#include <cstdio>
#include <cstring>

#include "archive/archive_reader.h"
#include "core/buffers.h"
#include "core/console.h"

namespace store {

using namespace core;

namespace {

std::string& dataFile() {
    static std::string path = kDefaultDataFile;
    return path;
}

}  // namespace

void setDataFilePath(std::string path) {
    dataFile() = std::move(path);
}

bool loadEntry(std::int32_t index, std::uint8_t* destination, std::size_t capacity,
               std::size_t needs) {
    archive::ReadResult result;
    {
        // Opened and closed anew for every entry; nothing is remembered between calls.
        archive::FileSource source(dataFile());
        if (!source.isOpen()) {
            if (source.problem().missing) {
                std::fputs(kMissingDataFileMessage, stdout);
                std::fflush(stdout);
            } else {
                core::errorLine(dataFile() + ": " + source.problem().text);
            }
            return false;
        }
        std::uint32_t decodedSize = 0;
        result = archive::readDecodedSize(source, index, decodedSize);
        if (result.ok() && decodedSize < needs) {
            result = {archive::ReadProblem::streamEndsEarly,
                      "entry " + std::to_string(index) + " holds " + std::to_string(decodedSize) +
                          " bytes, fewer than the " + std::to_string(needs) + " its slot needs"};
        }
        if (result.ok()) {
            result = archive::readEntry(source, index, destination, capacity);
        }
    }
    if (!result.ok()) {
        core::errorLine(dataFile() + ": " + result.description);
        return false;
    }
    return true;
}

std::array<StartupLoad, kStartupLoadCount> startupLoadList() {
    // Most slots are read whole; a picture in a larger slot uses its first 64000 bytes, the
    // height map is widened in place from its first half, and a dancer is a stream of words
    // read up to its end marker.
    auto slot = [](std::int32_t entry, auto& buffer, std::size_t needs = 0) {
        return StartupLoad{entry, buffer.data(), buffer.size(), needs == 0 ? buffer.size() : needs};
    };
    auto picture = [&](std::int32_t entry, auto& buffer) {
        return slot(entry, buffer, kPictureBytes);
    };
    constexpr std::size_t kDancerWord = 2;
    return {{
        slot(0, tunnelRemap),
        {1, paletteA, entryCapacity(1), entryCapacity(1)},
        slot(2, crystalTexture),
        slot(3, ribbedTexture),
        slot(4, smallLight),
        slot(5, landscapeHeights, landscapeHeights.size() / 2),
        slot(6, landscapeColours),
        slot(7, skyPicture),
        picture(8, flashBurst),
        picture(9, flashShockwave),
        picture(10, openingPicture),
        picture(11, stormPicture),
        picture(12, accentRings),
        picture(13, accentStreaks),
        slot(14, largeFlare),
        picture(15, wordStorm),
        picture(16, wordGlass),
        slot(17, marbleField),
        slot(18, titleStrip.first),
        slot(18, titleStrip.second),
        slot(19, flareBand),
        slot(20, windowFlashes),
        slot(21, windowCaptions),
        slot(22, dancerSolo, kDancerWord),
        slot(23, dancerPair, kDancerWord),
        slot(24, danceBurst),
        slot(25, dancePillars),
        slot(26, captionTitle),
        slot(27, captionLinux),
        slot(28, captionPressure),
        picture(29, duskPicture),
        {30, paletteB, entryCapacity(30), entryCapacity(30)},
        slot(31, glassSphere),
        slot(32, dialEmblem),
        slot(33, crestEmblem),
        slot(34, creditsPicture),
        slot(35, lightningPicture),
    }};
}

bool loadWarpHeights() {
    if (!loadEntry(17, sourcePage, kSourcePageBytes, kPictureBytes)) {
        return false;
    }
    for (std::size_t i = 0; i < kPictureBytes; ++i) {
        const auto word = static_cast<std::int16_t>(-4 * static_cast<int>(sourcePage[i]));
        std::memcpy(warpHeights + 2 * i, &word, sizeof word);
    }
    return true;
}

}  // namespace store
