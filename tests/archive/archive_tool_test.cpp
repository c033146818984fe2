#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "archive/archive_writer.h"
#include "archive/lzari.h"
#include "tests/support/child_process.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

fs::path toolPath() {
    if (const char* binaryDir = std::getenv("SG2_BINARY_DIR")) {
        return fs::path(binaryDir) / "tools" / "sg2-archive" / "sg2-archive";
    }
    // Run by hand: the tool sits beside the tests' directory in the build tree.
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "tools" /
           "sg2-archive" / "sg2-archive";
}

testsupport::ChildOutcome runTool(std::vector<std::string> arguments) {
    const std::string tool = toolPath().string();
    return testsupport::runInChild([&] {
        std::vector<char*> argv{const_cast<char*>(tool.c_str())};
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        execv(tool.c_str(), argv.data());
        _exit(127);
    });
}

void writeBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

Bytes readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ArchiveToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(toolPath())) << toolPath();
        directory_ = fs::temp_directory_path() / ("sg2-tool-test-" + std::to_string(getpid()));
        fs::create_directories(directory_);
        inputs_ = {Bytes(5000, 0x41), Bytes{}, Bytes{9, 8, 7, 6, 5, 4, 3, 2, 1}};
        for (std::size_t n = 0; n < inputs_.size(); ++n) {
            writeBytes(file("in" + std::to_string(n)), inputs_[n]);
        }
    }
    void TearDown() override { fs::remove_all(directory_); }
    std::string file(const std::string& name) const { return (directory_ / name).string(); }

    fs::path directory_;
    std::vector<Bytes> inputs_;
};

TEST_F(ArchiveToolTest, PackListExtractVerify) {
    const std::string out = file("out.dat");
    auto packed = runTool({"pack", out, file("in0"), file("in1"), file("in2")});
    ASSERT_EQ(packed.status, 0) << packed.output;
    EXPECT_EQ(readBytes(out), archive::buildArchive(inputs_));

    const auto listed = runTool({"list", out});
    EXPECT_EQ(listed.status, 0);
    const std::size_t size0 = archive::lzariEncode(inputs_[0]).size();
    const std::size_t size2 = archive::lzariEncode(inputs_[2]).size();
    std::ostringstream expected;
    char line[64];
    std::snprintf(line, sizeof line, "%2u %10u %10zu %10u\n", 0u, 0u, size0, 5000u);
    expected << line;
    std::snprintf(line, sizeof line, "%2u %10zu %10u %10u\n", 1u, size0, 4u, 0u);
    expected << line;
    std::snprintf(line, sizeof line, "%2u %10zu %10zu %10u\n", 2u, size0 + 4, size2, 9u);
    expected << line;
    EXPECT_EQ(listed.output, expected.str());

    const auto extracted = runTool({"extract", out, file("x")});
    EXPECT_EQ(extracted.status, 0) << extracted.output;
    for (std::size_t n = 0; n < inputs_.size(); ++n) {
        EXPECT_EQ(readBytes(directory_ / "x" / ("entry0" + std::to_string(n) + ".bin")),
                  inputs_[n]);
    }

    const auto verified = runTool({"verify", out});
    EXPECT_EQ(verified.status, 0);
    EXPECT_EQ(verified.output, out + ": 3 entries verified\n");
}

TEST_F(ArchiveToolTest, BadInputNamesTheFileAndTheProblem) {
    const std::string out = file("out.dat");
    ASSERT_EQ(runTool({"pack", out, file("in0"), file("in2")}).status, 0);

    // A stream cut short: entry 1's stored size shrunk to 5 bytes.
    Bytes cut = readBytes(out);
    const std::size_t record1 = cut.size() - 8 - 8 * 2 + 8;
    cut[record1 + 4] = 5;
    cut[record1 + 5] = cut[record1 + 6] = cut[record1 + 7] = 0;
    writeBytes(file("cut.dat"), cut);
    // Entry 1 holds 9 bytes that need a few bytes of stream beyond the 1 left.
    auto verified = runTool({"verify", file("cut.dat")});
    EXPECT_EQ(verified.status, 1);
    EXPECT_EQ(verified.errors,
              file("cut.dat") + ": entry 1 ends before its 9 decoded bytes are complete\n");

    // A directory distance that is not a whole number of records.
    Bytes odd = readBytes(out);
    odd[odd.size() - 4] = 8 * 2 + 8 + 3;
    writeBytes(file("odd.dat"), odd);
    for (const char* command : {"list", "verify"}) {
        auto outcome = runTool({command, file("odd.dat")});
        EXPECT_EQ(outcome.status, 1) << command;
        EXPECT_EQ(outcome.errors, file("odd.dat") +
                                      ": directory distance 27 is not a whole number of records "
                                      "before the trailer\n")
            << command;
    }

    auto missingInput = runTool({"pack", out, file("in0"), file("nowhere")});
    EXPECT_EQ(missingInput.status, 1);
    EXPECT_EQ(missingInput.errors,
              file("nowhere") + ": cannot be opened (No such file or directory)\n");

    auto missingArchive = runTool({"list", file("nowhere.dat")});
    EXPECT_EQ(missingArchive.status, 1);
    EXPECT_EQ(missingArchive.errors,
              file("nowhere.dat") + ": cannot be opened (No such file or directory)\n");

    auto tooShort = runTool({"verify", file("in2")});  // 9 bytes: a nonsense trailer
    EXPECT_EQ(tooShort.status, 1);
    EXPECT_EQ(tooShort.errors.find(file("in2") + ": "), 0u);
    EXPECT_EQ(std::count(tooShort.errors.begin(), tooShort.errors.end(), '\n'), 1);
    EXPECT_EQ(tooShort.output, "");

    // Bad command lines.
    EXPECT_EQ(runTool({"unpack", out}).status, 2);
    EXPECT_EQ(runTool({"list"}).status, 2);
    EXPECT_EQ(runTool({}).status, 2);
}

TEST_F(ArchiveToolTest, NonRegularInputsAndConflictingPathsAreRefusedBeforeWriting) {
    const std::string out = file("out.dat");
    ASSERT_EQ(mkfifo(file("fifo").c_str(), 0600), 0);
    fs::create_directory(file("dir"));
    for (const std::string& input : {file("fifo"), file("dir"), std::string("/dev/zero")}) {
        const auto outcome = runTool({"pack", out, file("in0"), input});
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.errors, input + (input == file("dir") ? ": is a directory\n"
                                                                : ": is not a regular file\n"));
        EXPECT_FALSE(fs::exists(out));
    }
    // Packing onto one of its own inputs, under any spelling, would destroy it.
    const Bytes before = readBytes(file("in0"));
    const auto onto = runTool({"pack", file("in0"), file("in2"), file("x/../in0")});
    EXPECT_EQ(onto.status, 2);
    EXPECT_EQ(onto.errors, file("in0") + ": given for both a file to pack and the archive\n");
    EXPECT_EQ(readBytes(file("in0")), before);

    // An output location that cannot be written: nothing left behind, one line.
    const auto missingDirectory = runTool({"pack", file("no/out.dat"), file("in0")});
    EXPECT_EQ(missingDirectory.status, 1);
    EXPECT_EQ(missingDirectory.errors,
              file("no/out.dat") + ": cannot be written (No such file or directory)\n");
    ASSERT_EQ(runTool({"pack", out, file("in0")}).status, 0);
    const auto extractOntoFile = runTool({"extract", out, file("in2")});
    EXPECT_EQ(extractOntoFile.status, 1);
    EXPECT_EQ(extractOntoFile.errors, file("in2") + ": is not a directory\n");
}

}  // namespace
