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
    auto slot = [](std::int32_t entry, auto& buffer) {
        return StartupLoad{entry, buffer.data(), buffer.size(), entryNeeds(entry)};
    };
    return {{
        slot(0, buffers.tunnelRemap),
        {1, buffers.paletteA, entryCapacity(1), entryNeeds(1)},
        slot(2, buffers.crystalTexture),
        slot(3, buffers.ribbedTexture),
        slot(4, buffers.smallLight),
        slot(5, buffers.landscapeHeights),
        slot(6, buffers.landscapeColours),
        slot(7, buffers.skyPicture),
        slot(8, buffers.flashBurst),
        slot(9, buffers.flashShockwave),
        slot(10, buffers.openingPicture),
        slot(11, buffers.stormPicture),
        slot(12, buffers.accentRings),
        slot(13, buffers.accentStreaks),
        slot(14, buffers.largeFlare),
        slot(15, buffers.wordStorm),
        slot(16, buffers.wordGlass),
        slot(17, buffers.marbleField),
        slot(18, buffers.titleStrip.first),
        slot(18, buffers.titleStrip.second),
        slot(19, buffers.flareBand),
        slot(20, buffers.windowFlashes),
        slot(21, buffers.windowCaptions),
        slot(22, buffers.dancerSolo),
        slot(23, buffers.dancerPair),
        slot(24, buffers.danceBurst),
        slot(25, buffers.dancePillars),
        slot(26, buffers.captionTitle),
        slot(27, buffers.captionLinux),
        slot(28, buffers.captionPressure),
        slot(29, buffers.duskPicture),
        {30, buffers.paletteB, entryCapacity(30), entryNeeds(30)},
        slot(31, buffers.glassSphere),
        slot(32, buffers.dialEmblem),
        slot(33, buffers.crestEmblem),
        slot(34, buffers.creditsPicture),
        slot(35, buffers.lightningPicture),
    }};
}

bool loadWarpHeights() {
    if (!loadEntry(17, buffers.sourcePage, kSourcePageBytes, kPictureBytes)) {
        return false;
    }
    for (std::size_t i = 0; i < kPictureBytes; ++i) {
        const auto word = static_cast<std::int16_t>(-4 * static_cast<int>(buffers.sourcePage[i]));
        std::memcpy(buffers.warpHeights + 2 * i, &word, sizeof word);
    }
    return true;
}

}  // namespace store
