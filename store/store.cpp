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
        slot(0, resource00),
        {1, paletteA, kPaletteBytes, kPaletteBytes},
        slot(2, resource02),
        slot(3, resource03),
        slot(4, resource04),
        slot(5, resource05, resource05.size() / 2),
        slot(6, resource06),
        slot(7, resource07),
        picture(8, resource08),
        picture(9, resource09),
        picture(10, resource10),
        picture(11, resource11),
        picture(12, resource12),
        picture(13, resource13),
        slot(14, resource14),
        picture(15, resource15),
        picture(16, resource16),
        slot(17, resource17),
        slot(18, titleStrip.first),
        slot(18, titleStrip.second),
        slot(19, resource19),
        slot(20, resource20),
        slot(21, resource21),
        slot(22, resource22, kDancerWord),
        slot(23, resource23, kDancerWord),
        slot(24, resource24),
        slot(25, resource25),
        slot(26, resource26),
        slot(27, resource27),
        slot(28, resource28),
        picture(29, resource29),
        {30, paletteB, kPaletteBytes, kPaletteBytes},
        slot(31, resource31),
        slot(32, resource32),
        slot(33, resource33),
        slot(34, resource34),
        slot(35, resource35),
    }};
}

bool loadSecondEntry17() {
    if (!loadEntry(17, work400, kWork400Bytes, kPictureBytes)) {
        return false;
    }
    for (std::size_t i = 0; i < kPictureBytes; ++i) {
        const auto word = static_cast<std::int16_t>(-4 * static_cast<int>(work400[i]));
        std::memcpy(work128 + 2 * i, &word, sizeof word);
    }
    return true;
}

}  // namespace store
