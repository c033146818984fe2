#include "store/store.h"

#include <cstdio>
#include <cstring>

#include "archive/archive_reader.h"
#include "core/buffers.h"
#include "core/process.h"

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

void loadEntry(std::int32_t index, std::uint8_t* destination, std::size_t capacity) {
    archive::ReadResult result;
    {
        // Opened and closed anew for every entry; nothing is remembered between calls.
        archive::FileSource source(dataFile());
        if (!source.isOpen()) {
            std::fputs(kMissingDataFileMessage, stdout);
            core::exitProcess(1);
        }
        result = archive::readEntry(source, index, destination, capacity);
    }
    if (!result.ok()) {
        std::printf("%s: %s\n", dataFile().c_str(), result.description.c_str());
        core::exitProcess(1);
    }
}

std::array<StartupLoad, kStartupLoadCount> startupLoadList() {
    auto slot = [](std::int32_t entry, auto& buffer) {
        return StartupLoad{entry, buffer.data(), buffer.size()};
    };
    return {{
        slot(0, resource00),
        {1, paletteA, kPaletteBytes},
        slot(2, resource02),
        slot(3, resource03),
        slot(4, resource04),
        slot(5, resource05),
        slot(6, resource06),
        slot(7, resource07),
        slot(8, resource08),
        slot(9, resource09),
        slot(10, resource10),
        slot(11, resource11),
        slot(12, resource12),
        slot(13, resource13),
        slot(14, resource14),
        slot(15, resource15),
        slot(16, resource16),
        slot(17, resource17),
        {18, resource18a, titleStrip.first.size()},
        {18, resource18b, titleStrip.second.size()},
        slot(19, resource19),
        slot(20, resource20),
        slot(21, resource21),
        slot(22, resource22),
        slot(23, resource23),
        slot(24, resource24),
        slot(25, resource25),
        slot(26, resource26),
        slot(27, resource27),
        slot(28, resource28),
        slot(29, resource29),
        {30, paletteB, kPaletteBytes},
        slot(31, resource31),
        slot(32, resource32),
        slot(33, resource33),
        slot(34, resource34),
        slot(35, resource35),
    }};
}

void loadSecondEntry17() {
    loadEntry(17, work400, kWork400Bytes);
    for (std::size_t i = 0; i < kPictureBytes; ++i) {
        const auto word = static_cast<std::int16_t>(-4 * static_cast<int>(work400[i]));
        std::memcpy(work128 + 2 * i, &word, sizeof word);
    }
}

}  // namespace store
