#pragma once
// Writing archives: entry blocks first, then the directory, then the trailer.
#include <cstdint>
#include <span>
#include <vector>

namespace archive {

// Compresses every entry (entry N is decodedEntries[N]) and returns the whole archive file.
// archiveLength is the file's length and directoryDistance is 8 x entries + 8.
std::vector<std::uint8_t> buildArchive(std::span<const std::vector<std::uint8_t>> decodedEntries);

// The same layout from blocks that are already compressed.
std::vector<std::uint8_t> buildArchiveFromBlocks(
    std::span<const std::vector<std::uint8_t>> storedBlocks);

}  // namespace archive
