#include "archive/archive_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "archive/lzari.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t wordAt(const Bytes& file, std::size_t position) {
    return file[position] | file[position + 1] << 8 | file[position + 2] << 16 |
           static_cast<std::uint32_t>(file[position + 3]) << 24;
}

TEST(ArchiveWriter, BlocksThenDirectoryThenTrailer) {
    const std::vector<Bytes> entries{Bytes(300, 9), Bytes{}, Bytes{1, 2, 3, 4, 5}};
    const Bytes file = archive::buildArchive(entries);

    const std::size_t end = file.size();
    EXPECT_EQ(wordAt(file, end - 8), end);           // archiveLength: the whole file
    EXPECT_EQ(wordAt(file, end - 4), 3u * 8u + 8u);  // directoryDistance
    const std::size_t directory = end - wordAt(file, end - 4);

    std::size_t expectedOffset = 0;
    for (std::size_t n = 0; n < entries.size(); ++n) {
        const std::uint32_t offset = wordAt(file, directory + 8 * n);
        const std::uint32_t storedSize = wordAt(file, directory + 8 * n + 4);
        EXPECT_EQ(offset, expectedOffset) << "entry " << n;  // blocks in entry order, packed
        const Bytes block(file.begin() + offset, file.begin() + offset + storedSize);
        EXPECT_EQ(block, archive::lzariEncode(entries[n]));
        Bytes decoded(entries[n].size() + 1, 0xEE);
        EXPECT_EQ(archive::lzariDecode(block, decoded.data(), entries[n].size()),
                  archive::DecodeStatus::ok);
        decoded.pop_back();
        EXPECT_EQ(decoded, entries[n]);
        expectedOffset += storedSize;
    }
    EXPECT_EQ(expectedOffset, directory);
}

TEST(ArchiveWriter, EmptyArchiveIsTheTrailerAlone) {
    const Bytes file = archive::buildArchive({});
    EXPECT_EQ(file, (Bytes{8, 0, 0, 0, 8, 0, 0, 0}));
}

}  // namespace
