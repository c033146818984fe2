#include "store/store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/lzari.h"
#include "core/buffers.h"
#include "tests/support/captured.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using testsupport::captured;

void putWord(Bytes& bytes, std::size_t position, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) {
        bytes[position + k] = static_cast<std::uint8_t>(value >> (8 * k));
    }
}

// Entry n: a recognisable pattern of its own length, so a swapped entry or slot shows.
Bytes patternEntry(int n, std::size_t size) {
    Bytes entry(size);
    for (std::size_t i = 0; i < size; ++i) {
        entry[i] = static_cast<std::uint8_t>((i * (n + 3) + n * 17 + i / 97) & 0xFF);
    }
    return entry;
}

class ArchiveFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        directory_ = std::filesystem::temp_directory_path() /
                     ("sg2-archive-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(directory_);
        path_ = (directory_ / "sg2.dat").string();
        store::setDataFilePath(path_);
    }
    void TearDown() override {
        store::setDataFilePath(store::kDefaultDataFile);
        std::filesystem::remove_all(directory_);
    }
    void writeFile(const Bytes& bytes) {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path directory_;
    std::string path_;
};

TEST_F(ArchiveFileTest, ArchiveAppendedAfterOtherDataLoadsLikeAStandAloneOne) {
    const std::vector<Bytes> entries{patternEntry(0, 3000), patternEntry(1, 1), Bytes{},
                                     patternEntry(3, 700)};
    Bytes file(12345, 0x5A);  // something else first: nothing at the start is read
    const Bytes archiveBytes = archive::buildArchive(entries);
    file.insert(file.end(), archiveBytes.begin(), archiveBytes.end());
    writeFile(file);

    for (int n : {3, 0, 1, 2}) {
        Bytes out(entries[n].size() + 16, 0xEE);
        store::loadEntry(n, out.data(), entries[n].size());
        EXPECT_EQ(Bytes(out.begin(), out.begin() + entries[n].size()), entries[n]) << n;
        EXPECT_EQ(out[entries[n].size()], 0xEE) << n;  // nothing past the entry
    }
}

TEST_F(ArchiveFileTest, BlocksInAnyOrderWithBytesBetween) {
    // Blocks stored in reverse order with filler between them and the directory in the middle.
    const Bytes first = archive::lzariEncode(patternEntry(0, 500));
    const Bytes second = archive::lzariEncode(patternEntry(1, 900));
    Bytes file(7, 0x11);  // archive starts here, at 7
    const std::size_t secondOffset = file.size() - 7;
    file.insert(file.end(), second.begin(), second.end());
    file.insert(file.end(), 5, 0x22);
    const std::size_t directoryStart = file.size();
    file.resize(file.size() + 16);
    file.insert(file.end(), 3, 0x33);
    const std::size_t firstOffset = file.size() - 7;
    file.insert(file.end(), first.begin(), first.end());
    file.resize(file.size() + 8);
    putWord(file, directoryStart, static_cast<std::uint32_t>(firstOffset));
    putWord(file, directoryStart + 4, static_cast<std::uint32_t>(first.size()));
    putWord(file, directoryStart + 8, static_cast<std::uint32_t>(secondOffset));
    putWord(file, directoryStart + 12, static_cast<std::uint32_t>(second.size()));
    putWord(file, file.size() - 8, static_cast<std::uint32_t>(file.size() - 7));
    putWord(file, file.size() - 4, static_cast<std::uint32_t>(file.size() - directoryStart));
    writeFile(file);

    Bytes out(900);
    store::loadEntry(1, out.data(), out.size());
    EXPECT_EQ(out, patternEntry(1, 900));
    store::loadEntry(0, out.data(), 500);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 500), patternEntry(0, 500));
}

TEST_F(ArchiveFileTest, DecodedSizeZeroWritesNothing) {
    writeFile(archive::buildArchive(std::vector<Bytes>{Bytes{}}));
    Bytes out(8, 0xEE);
    store::loadEntry(0, out.data(), 0);
    EXPECT_EQ(out, Bytes(8, 0xEE));
}

// The loader reports and returns; the host ends the run with status 1.
bool loadFirstEntry() {
    Bytes out(16);
    return store::loadEntry(0, out.data(), out.size());
}

TEST_F(ArchiveFileTest, MissingFileEndsWithTheOverlayMessage) {
    const auto outcome = captured(&loadFirstEntry);
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.output, "DEMO_INIT: OVERLAY NOT FOUND. TERMINATING... \n");
}

TEST_F(ArchiveFileTest, ADataFileThatIsNotARegularFileIsRefusedWithoutWaiting) {
    // A directory, a FIFO (which would block a plain open for ever) and a device that never
    // ends: each gets one line on standard error and a failed load, nothing read.
    std::filesystem::create_directories(path_);
    const auto directory = captured(&loadFirstEntry);
    EXPECT_FALSE(directory.result);
    EXPECT_EQ(directory.output, "");
    EXPECT_EQ(directory.errors, path_ + ": is a directory\n");
    std::filesystem::remove(path_);
    ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
    const auto fifo = captured(&loadFirstEntry);
    EXPECT_FALSE(fifo.result);
    EXPECT_EQ(fifo.errors, path_ + ": is not a regular file\n");
    std::filesystem::remove(path_);
    std::filesystem::create_symlink("/dev/zero", path_);
    const auto zero = captured(&loadFirstEntry);
    EXPECT_FALSE(zero.result);
    EXPECT_EQ(zero.errors, path_ + ": is not a regular file\n");
}

// Every kind of damage: the reader names it, and loadEntry prints one line naming the file and
// the problem and fails, leaving the destination's neighbours untouched.
struct Damage {
    const char* name;
    std::function<void(Bytes& file)> apply;
    std::int32_t index;
    std::size_t capacity;
    archive::ReadProblem expected;
    const char* wording;
};

TEST_F(ArchiveFileTest, EveryKindOfCorruptArchiveIsRefused) {
    const std::vector<Bytes> entries{patternEntry(0, 4000), patternEntry(1, 100)};
    const Bytes good = archive::buildArchive(entries);
    const std::size_t end = good.size();
    const std::size_t directory = end - 24;
    using P = archive::ReadProblem;
    const std::vector<Damage> damages{
        {"file shorter than the trailer", [](Bytes& f) { f.resize(5); }, 0, 4000,
         P::trailerUnreadable, "trailer"},
        {"archive length beyond the file",
         [end](Bytes& f) { putWord(f, end - 8, static_cast<std::uint32_t>(end + 1)); }, 0, 4000,
         P::archiveLengthOutsideFile, "archive length"},
        {"directory distance beyond the file",
         [end](Bytes& f) { putWord(f, end - 4, static_cast<std::uint32_t>(end + 8)); }, 0, 4000,
         P::directoryOutsideFile, "directory distance"},
        {"directory distance inside the trailer", [end](Bytes& f) { putWord(f, end - 4, 4); }, 0,
         4000, P::directoryOutsideFile, "directory distance"},
        {"index past the last entry", [](Bytes&) {}, 2, 4000, P::indexOutsideDirectory,
         "entry 2 lies outside the directory"},
        {"negative index", [](Bytes&) {}, -1, 4000, P::indexOutsideDirectory,
         "entry -1 lies outside the directory"},
        {"block running past the file's end",
         [directory](Bytes& f) { putWord(f, directory + 4, 0xFFFFFFF0u); }, 0, 4000,
         P::blockOutsideFile, "runs past the file's end"},
        {"offset past the file's end",
         [directory, end](Bytes& f) { putWord(f, directory, static_cast<std::uint32_t>(end)); }, 0,
         4000, P::blockOutsideFile, "runs past the file's end"},
        {"block too short for its size", [directory](Bytes& f) { putWord(f, directory + 4, 3); }, 0,
         4000, P::blockTooShort, "too short"},
        {"decoded size larger than the destination", [](Bytes&) {}, 0, 3999,
         P::decodedSizeExceedsCapacity, "decodes to 4000 bytes, more than its destination's 3999"},
        {"stream cut short", [directory](Bytes& f) { putWord(f, directory + 4, 40); }, 0, 4000,
         P::streamEndsEarly, "ends before its 4000 decoded bytes"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        Bytes file = good;
        damage.apply(file);

        archive::MemorySource source(file);
        Bytes out(damage.capacity + 64, 0xEE);
        const archive::ReadResult result =
            archive::readEntry(source, damage.index, out.data(), damage.capacity);
        EXPECT_EQ(result.problem, damage.expected);
        EXPECT_NE(result.description.find(damage.wording), std::string::npos) << result.description;
        EXPECT_EQ(out[damage.capacity], 0xEE);

        writeFile(file);
        const auto outcome =
            captured([&] { return store::loadEntry(damage.index, out.data(), damage.capacity); });
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.output, "");
        EXPECT_EQ(outcome.errors, path_ + ": " + result.description + "\n");
    }
}

// A source whose n-th read falls short, as a failing disk or a file cut while open would.
class ShortReadSource final : public archive::ByteSource {
  public:
    ShortReadSource(const Bytes& bytes, int failingRead)
        : inner_(bytes), failingRead_(failingRead) {}
    std::uint64_t size() const override { return inner_.size(); }
    bool readAt(std::uint64_t position, std::uint8_t* destination, std::size_t count) override {
        if (reads_++ == failingRead_) {
            return false;
        }
        return inner_.readAt(position, destination, count);
    }

  private:
    archive::MemorySource inner_;
    int failingRead_;
    int reads_ = 0;
};

TEST(ArchiveReader, ShortReadsAreReportedAtEachStep) {
    const Bytes file = archive::buildArchive(std::vector<Bytes>{patternEntry(0, 64)});
    const archive::ReadProblem expected[] = {archive::ReadProblem::trailerUnreadable,
                                             archive::ReadProblem::recordUnreadable,
                                             archive::ReadProblem::blockUnreadable};
    for (int failing = 0; failing < 3; ++failing) {
        ShortReadSource source(file, failing);
        Bytes out(64, 0xEE);
        EXPECT_EQ(archive::readEntry(source, 0, out.data(), out.size()).problem, expected[failing]);
        EXPECT_EQ(out, Bytes(64, 0xEE));  // nothing decoded from a failed read
    }
    ShortReadSource healthy(file, 3);
    Bytes out(64);
    EXPECT_TRUE(archive::readEntry(healthy, 0, out.data(), out.size()).ok());
    EXPECT_EQ(out, patternEntry(0, 64));
}

}  // namespace
