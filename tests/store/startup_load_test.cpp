#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "archive/archive_writer.h"
#include "core/buffers.h"
#include "core/entries.h"
#include "sequencer/preparation.h"
#include "store/store.h"
#include "tests/support/captured.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using testsupport::captured;

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

// Writes an archive of `entries` to `path` and makes it the data file.
void useArchiveOf(const std::vector<Bytes>& entries, const std::string& path) {
    const Bytes file = archive::buildArchive(entries);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    store::setDataFilePath(path);
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
    void SetUp() override { store::setDataFilePath(*path_); }
    void TearDown() override {
        core::releaseWorkBuffers();
        store::setDataFilePath(store::kDefaultDataFile);
    }

    static std::vector<Bytes>* entries_;
    static std::string* path_;
};
std::vector<Bytes>* StartupLoadTest::entries_ = nullptr;
std::string* StartupLoadTest::path_ = nullptr;

TEST_F(StartupLoadTest, ListOrderAndDestinations) {
    sequencer::prepareWorkBuffers();
    const auto list = store::startupLoadList();
    for (std::size_t order = 0; order < list.size(); ++order) {
        const std::int32_t expectedEntry =
            order < 19 ? static_cast<std::int32_t>(order) : static_cast<std::int32_t>(order) - 1;
        EXPECT_EQ(list[order].entry, expectedEntry) << "order " << order;
        // A slot smaller than the table's room would refuse the generator's entry.
        EXPECT_EQ(list[order].capacity, core::entryCapacity(expectedEntry)) << "order " << order;
    }
    EXPECT_EQ(list[1].destination, core::buffers.paletteA);
    EXPECT_EQ(list[31].destination, core::buffers.paletteB);
    EXPECT_EQ(list[18].destination, core::buffers.titleStrip.first.data());
    EXPECT_EQ(list[19].destination, core::buffers.titleStrip.second.data());
    EXPECT_EQ(core::buffers.titleStrip.second.data(),
              core::buffers.titleStrip.first.data() + 32000);
    EXPECT_EQ(list[20].destination, core::buffers.flareBand.data());
    EXPECT_EQ(list[20].capacity, 19320u);
    EXPECT_EQ(list[29].capacity, 9600u);
    EXPECT_EQ(list[30].capacity, 64768u);
}

TEST_F(StartupLoadTest, LoadsEveryEntryWithADotAfterEach) {
    const auto outcome =
        captured([] { return sequencer::prepareWorkBuffers() && sequencer::loadArchiveEntries(); });
    EXPECT_TRUE(outcome.result);
    EXPECT_EQ(outcome.output, std::string(37, '.'));
    for (const store::StartupLoad& load : store::startupLoadList()) {
        const Bytes& entry = (*entries_)[load.entry];
        EXPECT_EQ(std::memcmp(load.destination, entry.data(), entry.size()), 0) << load.entry;
    }
    // Entry 18 twice: two identical copies, back to back.
    EXPECT_EQ(std::memcmp(core::buffers.titleStrip.first.data(),
                          core::buffers.titleStrip.second.data(), 32000),
              0);
}

// Entry 17 again into sourcePage, its first 64000 bytes turned into words -4 x byte.
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
    useArchiveOf(entries, path);
    sequencer::prepareWorkBuffers();
    std::memset(core::buffers.warpHeights, 0x55, core::kWarpHeightsBytes);
    EXPECT_TRUE(store::loadWarpHeights());
    std::filesystem::remove(path);
    const auto* words = reinterpret_cast<const std::int16_t*>(core::buffers.warpHeights);
    EXPECT_EQ(words[0], 0);
    EXPECT_EQ(words[1], -4);
    EXPECT_EQ(words[2], -1020);
    EXPECT_EQ(words[3], -512);
    EXPECT_EQ(words[63999], -800);
    EXPECT_EQ(std::memcmp(core::buffers.sourcePage, extremes.data(), extremes.size()), 0);
    EXPECT_EQ(core::buffers.sourcePage[65536], 0);    // the rest of sourcePage stays clear
    EXPECT_EQ(core::buffers.warpHeights[128000], 0);  // the margin past the words reads as 0
}

}  // namespace

// An entry shorter than what its slot's readers take is a damaged data file: one line naming
// the file, the entry and both sizes, and a failed preparation (status 1 from the host). What a
// slot needs is its whole capacity, or less where its readers take less: a picture in a larger
// slot, the height map widened in place, a dancer's stream of words.
TEST_F(StartupLoadTest, AnEntryShorterThanItsSlotNeedsIsRefused) {
    struct Case {
        std::int32_t entry;
        std::size_t needs;
    };
    for (const Case& shortened : {Case{7, 64000}, Case{9, 64000}, Case{5, 65536}, Case{0, 131072},
                                  Case{22, 2}, Case{30, 768}}) {
        SCOPED_TRACE(shortened.entry);
        for (const std::size_t size : {shortened.needs - 1, shortened.needs}) {
            std::vector<Bytes> entries = *entries_;
            entries[static_cast<std::size_t>(shortened.entry)].resize(size);
            const std::string path = *path_ + ".short";
            useArchiveOf(entries, path);
            const auto outcome = captured(
                [] { return sequencer::prepareWorkBuffers() && sequencer::loadArchiveEntries(); });
            core::releaseWorkBuffers();
            std::filesystem::remove(path);
            if (size == shortened.needs) {
                EXPECT_TRUE(outcome.result) << outcome.errors;
                continue;
            }
            EXPECT_FALSE(outcome.result);
            EXPECT_EQ(outcome.errors, path + ": entry " + std::to_string(shortened.entry) +
                                          " holds " + std::to_string(size) +
                                          " bytes, fewer than the " +
                                          std::to_string(shortened.needs) + " its slot needs\n");
        }
    }
}
