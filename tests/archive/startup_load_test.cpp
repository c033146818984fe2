#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "archive/archive.h"
#include "archive/archive_writer.h"
#include "archive/buffers.h"
#include "child_process.h"
#include "host/process.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using archive_test::runInChild;

// Entry n fills its slot to capacity with a pattern of its own.
std::vector<Bytes> startupEntries() {
    constexpr std::array<std::size_t, 36> sizes{
        131072, 768,   65536, 65536, 65536, 65536, 65536, 64000, 65536, 65536, 65536, 65536,
        65536,  65536, 65536, 65536, 65536, 65536, 32000, 19320, 64000, 64000, 30000, 15000,
        64000,  64000, 9600,  9600,  9600,  64768, 768,   64000, 65536, 65536, 64000, 64000};
    std::vector<Bytes> entries;
    for (std::size_t n = 0; n < sizes.size(); ++n) {
        Bytes entry(sizes[n]);
        for (std::size_t i = 0; i < entry.size(); ++i) {
            entry[i] = static_cast<std::uint8_t>(n * 7 + (i % 251) + (i / 640));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

class StartupLoadTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        entries_ = new std::vector<Bytes>(startupEntries());
        path_ = new std::string((std::filesystem::temp_directory_path() /
                                 ("sg2-startup-test-" + std::to_string(getpid()) + ".dat"))
                                    .string());
        const Bytes file = archive::buildArchive(*entries_);
        std::ofstream(*path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()),
                   static_cast<std::streamsize>(file.size()));
    }
    static void TearDownTestSuite() {
        std::filesystem::remove(*path_);
        delete entries_;
        delete path_;
    }
    void SetUp() override { archive::setDataFilePath(*path_); }
    void TearDown() override {
        archive::releaseWorkBuffers();
        archive::setDataFilePath(archive::kDefaultDataFile);
    }

    static std::vector<Bytes>* entries_;
    static std::string* path_;
};
std::vector<Bytes>* StartupLoadTest::entries_ = nullptr;
std::string* StartupLoadTest::path_ = nullptr;

TEST_F(StartupLoadTest, ListOrderAndDestinations) {
    archive::allocateWorkBuffers();
    const auto list = archive::startupLoadList();
    for (std::size_t order = 0; order < list.size(); ++order) {
        const std::int32_t expectedEntry =
            order < 19 ? static_cast<std::int32_t>(order) : static_cast<std::int32_t>(order) - 1;
        EXPECT_EQ(list[order].entry, expectedEntry) << "order " << order;
    }
    EXPECT_EQ(list[1].destination, archive::paletteA);
    EXPECT_EQ(list[31].destination, archive::paletteB);
    EXPECT_EQ(list[18].destination, archive::resource18a);
    EXPECT_EQ(list[19].destination, archive::resource18b);
    EXPECT_EQ(archive::resource18b, archive::resource18a + 32000);
    EXPECT_EQ(list[20].destination, archive::resource19.data());
    EXPECT_EQ(list[20].capacity, 19320u);
    EXPECT_EQ(list[29].capacity, 9600u);
    EXPECT_EQ(list[30].capacity, 64768u);
}

TEST_F(StartupLoadTest, LoadsEveryEntryWithADotAfterEach) {
    const auto outcome = runInChild([] {
        archive::allocateWorkBuffers();
        archive::loadStartupList();
        std::fflush(stdout);
        int mismatches = 0;
        for (const archive::StartupLoad& load : archive::startupLoadList()) {
            const Bytes& entry = (*entries_)[load.entry];
            if (std::memcmp(load.destination, entry.data(), entry.size()) != 0) {
                ++mismatches;
            }
        }
        // Entry 18 twice: two identical copies, back to back.
        if (std::memcmp(archive::resource18a, archive::resource18b, 32000) != 0) {
            ++mismatches;
        }
        _exit(mismatches == 0 ? 0 : 2);
    });
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.output, std::string(37, '.'));
}

// Entry 17 again into work400, its first 64000 bytes turned into words -4 x byte.
TEST_F(StartupLoadTest, SecondCopyOfEntry17BecomesHeightWords) {
    std::vector<Bytes> entries(18);
    Bytes extremes(65536, 0);
    extremes[0] = 0;
    extremes[1] = 1;
    extremes[2] = 255;
    extremes[3] = 128;
    extremes[63999] = 200;
    extremes[64000] = 255;  // past the converted part
    entries[17] = extremes;
    const std::string path = *path_ + ".extremes";
    const Bytes file = archive::buildArchive(entries);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    archive::setDataFilePath(path);
    archive::allocateWorkBuffers();
    std::memset(archive::work128, 0x55, archive::kWork128Bytes);
    archive::loadSecondEntry17();
    std::filesystem::remove(path);
    const auto* words = reinterpret_cast<const std::int16_t*>(archive::work128);
    EXPECT_EQ(words[0], 0);
    EXPECT_EQ(words[1], -4);
    EXPECT_EQ(words[2], -1020);
    EXPECT_EQ(words[3], -512);
    EXPECT_EQ(words[63999], -800);
    EXPECT_EQ(std::memcmp(archive::work400, extremes.data(), extremes.size()), 0);
    EXPECT_EQ(archive::work400[65536], 0);   // the rest of work400 stays clear
    EXPECT_EQ(archive::work128[128000], 0);  // the margin past the words reads as 0
}

}  // namespace
