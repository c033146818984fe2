// The PNG writer and the contact sheet that people look at, and the generator's command line.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "content/contact_sheet.h"
#include "image/png.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t bigEndian(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (static_cast<std::uint32_t>(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) |
           b[at + 3];
}

// A fresh directory per run, so runs side by side (two builds, two checkouts) never share one.
fs::path scratchDir(const char* name) {
    return testsupport::makeTempDirectory(name);
}

std::string generator() {
    const char* dir = std::getenv("SG2_BINARY_DIR");
#ifdef SG2_CONTENT_BINARY_DIR
    return std::string(dir != nullptr ? dir : SG2_CONTENT_BINARY_DIR) + "/content/sg2-content";
#else
    return std::string(dir != nullptr ? dir : ".") + "/content/sg2-content";
#endif
}

TEST(ContentPng, PixelsSurviveTheRoundTrip) {
    // A 3 x 2 picture with six different colours, so a swapped axis or channel shows.
    const std::vector<std::uint8_t> rgb = {1,  2,  3,  4,  5,  6,  7,  8,  9,
                                           10, 11, 12, 13, 14, 15, 16, 17, 255};
    const fs::path dir = scratchDir("png-test");
    ASSERT_TRUE(image::writePng((dir / "t.png").string(), 3, 2, rgb));
    const auto png = readFile(dir / "t.png");
    ASSERT_GT(png.size(), 8u + 25u + 12u + 12u);
    EXPECT_EQ(png[1], 'P');
    EXPECT_EQ(bigEndian(png, 16), 3u);  // IHDR width
    EXPECT_EQ(bigEndian(png, 20), 2u);  // IHDR height
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], 2);  // truecolour
    // The IDAT chunk follows IHDR; its CRC covers type and data.
    const std::size_t idat = 8 + 25;
    const std::uint32_t length = bigEndian(png, idat);
    ASSERT_EQ(std::string(png.begin() + idat + 4, png.begin() + idat + 8), "IDAT");
    const uLong crc = crc32(0L, png.data() + idat + 4, length + 4);
    EXPECT_EQ(bigEndian(png, idat + 8 + length), static_cast<std::uint32_t>(crc));
    std::vector<std::uint8_t> raw(2 * (1 + 9));
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize, png.data() + idat + 8, length), Z_OK);
    ASSERT_EQ(rawSize, raw.size());
    EXPECT_EQ(raw[0], 0);
    EXPECT_EQ(raw[10], 0);
    EXPECT_TRUE(std::equal(rgb.begin(), rgb.begin() + 9, raw.begin() + 1));
    EXPECT_TRUE(std::equal(rgb.begin() + 9, rgb.end(), raw.begin() + 11));
    fs::remove_all(dir);
}

TEST(ContentPng, RefusesImpossibleRequests) {
    const std::vector<std::uint8_t> rgb(12, 0);
    EXPECT_FALSE(image::writePng("/nonexistent-dir/x.png", 2, 2, rgb));
    const fs::path dir = scratchDir("png-refuse");
    EXPECT_FALSE(image::writePng((dir / "short.png").string(), 3, 2, rgb)) << "too few bytes";
    EXPECT_FALSE(image::writePng((dir / "zero.png").string(), 0, 2, rgb));
    fs::remove_all(dir);
}

TEST(ContentContactSheet, WritesEveryPictureLikeEntry) {
    const fs::path dir = scratchDir("sheet-test");
    ASSERT_TRUE(content::writeEntryPictures(dir.string(), content::buildAllEntries()));
    for (int i = 0; i < content::kEntryCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "entry_%02d.png", i);
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }
    EXPECT_TRUE(fs::exists(dir / "logo.png"));
    EXPECT_TRUE(fs::exists(dir / "entry_33_as_picture.png"));
    // A picture entry is written at its size: 320 x 200.
    const auto png = readFile(dir / "entry_10.png");
    EXPECT_EQ(bigEndian(png, 16), 320u);
    EXPECT_EQ(bigEndian(png, 20), 200u);
    fs::remove_all(dir);
}

TEST(ContentCommandLine, RejectsUnknownOptionsAndWritesTheLogo) {
    EXPECT_NE(std::system((generator() + " --bogus 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((generator() + " --out 2>/dev/null").c_str()), 0) << "missing value";
    const fs::path dir = scratchDir("cli-test");
    ASSERT_EQ(std::system((generator() + " --logo-bmp " + (dir / "logo.bmp").string()).c_str()), 0);
    EXPECT_EQ(fs::file_size(dir / "logo.bmp"), 54u + 133u * 640u);
    EXPECT_NE(std::system((generator() + " --out /nonexistent-dir 2>/dev/null").c_str()), 0)
        << "a file that cannot be written is a failure";
    fs::remove_all(dir);
}

}  // namespace
