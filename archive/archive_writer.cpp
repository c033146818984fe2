#include "archive/archive_writer.h"

#include <stdexcept>

#include "archive/format.h"
#include "archive/lzari.h"
#include "core/bytes.h"

namespace archive {

namespace {

void appendWord(std::vector<std::uint8_t>& file, std::uint64_t value) {
    if (value > kLargestWord) {
        throw std::length_error("archive larger than 4 GiB");
    }
    core::appendLittle32(file, static_cast<std::uint32_t>(value));
}

}  // namespace

std::vector<std::uint8_t> buildArchiveFromBlocks(
    std::span<const std::vector<std::uint8_t>> storedBlocks) {
    std::vector<std::uint8_t> file;
    std::vector<std::uint64_t> offsets;
    offsets.reserve(storedBlocks.size());
    for (const auto& block : storedBlocks) {
        offsets.push_back(file.size());
        file.insert(file.end(), block.begin(), block.end());
    }
    for (std::size_t n = 0; n < storedBlocks.size(); ++n) {
        appendWord(file, offsets[n]);
        appendWord(file, storedBlocks[n].size());
    }
    const std::uint64_t directoryDistance =
        kDirectoryRecordBytes * storedBlocks.size() + kTrailerBytes;
    appendWord(file, file.size() + kTrailerBytes);  // archiveLength: the whole file
    appendWord(file, directoryDistance);
    return file;
}

std::vector<std::uint8_t> buildArchive(std::span<const std::vector<std::uint8_t>> decodedEntries) {
    std::vector<std::vector<std::uint8_t>> blocks;
    blocks.reserve(decodedEntries.size());
    for (const auto& entry : decodedEntries) {
        blocks.push_back(lzariEncode(entry));
    }
    return buildArchiveFromBlocks(blocks);
}

}  // namespace archive
