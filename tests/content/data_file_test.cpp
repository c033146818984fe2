// The generated data file: every entry comes back out of sg2.dat through the program's
// decoder, and the generator writes the same bytes every time it runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "archive/lzari.h"
#include "content/data_file.h"
#include "content/entries.h"
#include "resources/logo.h"

namespace {

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t u32At(const std::vector<std::uint8_t>& f, std::size_t at) {
    return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) |
           (static_cast<std::uint32_t>(f[at + 3]) << 24);
}

// Finds entry `index` the way the program's loader does, from the end of the file, and
// decodes it into a buffer of the entry's capacity.
archive::DecodeStatus decodeEntry(const std::vector<std::uint8_t>& file, int index,
                                  std::vector<std::uint8_t>& out) {
    const std::size_t end = file.size();
    const std::uint32_t archiveLength = u32At(file, end - 8);
    const std::uint32_t directoryDistance = u32At(file, end - 4);
    const std::size_t record = end - directoryDistance + 8u * static_cast<unsigned>(index);
    const std::uint32_t offset = u32At(file, record);
    const std::uint32_t storedSize = u32At(file, record + 4);
    const std::size_t start = end - archiveLength + offset;
    out.assign(core::entryCapacity(index), 0);
    const std::span<const std::uint8_t> block(file.data() + start, storedSize);
    const archive::DecodeStatus status = archive::lzariDecode(block, out.data(), out.size());
    out.resize(archive::lzariDecodedSize(block));
    return status;
}

std::string binaryDir() {
    const char* dir = std::getenv("SG2_BINARY_DIR");
#ifdef SG2_CONTENT_BINARY_DIR
    return dir != nullptr ? dir : SG2_CONTENT_BINARY_DIR;
#else
    return dir != nullptr ? dir : ".";
#endif
}

TEST(ContentDataFile, EveryEntryDecodesFromTheBuiltFileToItsShape) {
    const std::vector<std::uint8_t> file = readFile(binaryDir() + "/sg2.dat");
    ASSERT_GT(file.size(), 36u * 8u + 8u) << "the build writes sg2.dat next to the program";
    const std::vector<content::Bytes> expected = content::buildAllEntries();
    for (int i = 0; i < content::kEntryCount; ++i) {
        SCOPED_TRACE(i);
        std::vector<std::uint8_t> decoded;
        ASSERT_EQ(decodeEntry(file, i, decoded), archive::DecodeStatus::ok);
        EXPECT_LE(decoded.size(), core::entryCapacity(i));
        EXPECT_EQ(decoded, expected[static_cast<std::size_t>(i)]);
    }
}

TEST(ContentDataFile, GeneratorWritesIdenticalBytesOnEveryRun) {
    const std::string generator = binaryDir() + "/content/sg2-content";
    char firstDir[] = "/tmp/sg2-content-a-XXXXXX";
    char secondDir[] = "/tmp/sg2-content-b-XXXXXX";
    ASSERT_NE(mkdtemp(firstDir), nullptr);
    ASSERT_NE(mkdtemp(secondDir), nullptr);
    ASSERT_EQ(std::system((generator + " --out " + firstDir).c_str()), 0);
    ASSERT_EQ(std::system((generator + " --out " + secondDir).c_str()), 0);
    for (const char* name : {"/sg2.dat", "/sg2.it"}) {
        const auto a = readFile(std::string(firstDir) + name);
        const auto b = readFile(std::string(secondDir) + name);
        EXPECT_EQ(a, b) << name;
        std::remove((std::string(firstDir) + name).c_str());
        std::remove((std::string(secondDir) + name).c_str());
    }
    const auto built = readFile(binaryDir() + "/sg2.dat");
    const auto fresh = content::buildDataFile(content::buildAllEntries());
    EXPECT_EQ(built, fresh) << "the in-process build matches the generator's file";
    std::remove(firstDir);
    std::remove(secondDir);
}

TEST(ContentDataFile, LogoBitmapHasTheLauncherSize) {
    const content::Bytes bmp = content::logoAsBmp(content::buildLogoRgb());
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(u32At(bmp, 18), 213u);
    EXPECT_EQ(u32At(bmp, 22), 133u);
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(bmp.size(), 54u + 133u * 640u);  // rows padded from 639 to 640 bytes
}

TEST(ContentDataFile, CompiledInLogoIsTheGeneratorsLogo) {
    // resources/logo.bmp is a generated file kept in the tree; it must match the art.
    const content::Bytes expected = content::logoAsBmp(content::buildLogoRgb());
    const auto file = resources::logoBmpFile();
    EXPECT_TRUE(std::equal(file.begin(), file.end(), expected.begin(), expected.end()))
        << "regenerate it with: sg2-content --logo-bmp resources/logo.bmp";
    const content::Bytes rgb = content::buildLogoRgb();
    const auto pixels = resources::logoPixelsRgb();
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), rgb.begin(), rgb.end()));
}

}  // namespace
