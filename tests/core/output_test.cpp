// Outputs are complete or absent: what each path holds, and what else the directory holds,
// after commits, failures, discards and exits.
#include "core/output.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/child_process.h"
#include "tests/support/run_program.h"
#include "tests/support/small_disk.h"

namespace {

namespace fs = std::filesystem;
using testsupport::fileContents;
using testsupport::namesIn;

void put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(OutputFile, AppearsOnlyWhenCommittedWithItsHeaderPatched) {
    const std::string dir = testsupport::makeTempDirectory("output");
    const std::string path = dir + "/sound.wav";
    core::OutputFile file;
    ASSERT_TRUE(file.open(path)) << file.error();
    EXPECT_FALSE(fs::exists(path));
    // Hidden, beside the final path, with its extension kept for programs that go by it.
    const fs::path temporary(file.temporaryPath());
    EXPECT_EQ(temporary.parent_path(), fs::path(dir));
    EXPECT_EQ(temporary.filename().string().front(), '.');
    EXPECT_EQ(temporary.extension(), ".wav");
    EXPECT_TRUE(file.write("....body", 8));
    EXPECT_TRUE(file.writeAt(0, "HEAD", 4));
    EXPECT_TRUE(file.write("!", 1));
    ASSERT_TRUE(file.commit()) << file.error();
    EXPECT_EQ(fileContents(path), "HEADbody!");
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"sound.wav"});
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::owner_read, fs::perms::owner_read);
}

TEST(OutputFile, DiscardDestructionAndAbandonLeaveTheOldFileAlone) {
    const std::string dir = testsupport::makeTempDirectory("output");
    const std::string path = dir + "/report.json";
    put(path, "old");
    {
        core::OutputFile discarded;
        ASSERT_TRUE(discarded.open(path));
        discarded.write("new", 3);
        discarded.discard();
        EXPECT_FALSE(discarded.commit());
        core::OutputFile dropped;
        ASSERT_TRUE(dropped.open(path));
        dropped.write("new", 3);
    }
    core::OutputFile first;
    core::OutputFile second;
    ASSERT_TRUE(first.open(path));
    ASSERT_TRUE(second.open(dir + "/other.json"));
    core::abandonOutputs();
    EXPECT_FALSE(first.commit());
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(fileContents(path), "old");
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"report.json"});
}

TEST(OutputFile, AnExitBeforeTheCommitLeavesNothing) {
    const std::string dir = testsupport::makeTempDirectory("output");
    const pid_t child = fork();
    if (child == 0) {
        static core::OutputFile kept;  // outlives the exit's own clean-up of the list
        // Never destroyed, yet reachable, so the leak checker leaves the exit status alone.
        static core::OutputFile* const onHeap = new core::OutputFile;
        const bool opened = kept.open(dir + "/a.png") && onHeap->open(dir + "/b.png");
        kept.write("x", 1);
        std::exit(opened ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(namesIn(dir).empty());
}

TEST(OutputFile, UnwritableLocationsFailWithTheReasonAndLeaveNothing) {
    const std::string dir = testsupport::makeTempDirectory("output");
    core::OutputFile file;
    EXPECT_FALSE(file.open(dir + "/missing/x.wav"));
    EXPECT_EQ(file.error(), "cannot be written (No such file or directory)");
    fs::create_directory(dir + "/taken");
    ASSERT_TRUE(file.open(dir + "/taken"));
    file.write("x", 1);
    EXPECT_FALSE(file.commit());  // rename refuses to replace a directory
    EXPECT_EQ(file.error(), "cannot be written (Is a directory)");
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"taken"});
    std::string error;
    EXPECT_FALSE(core::writeWholeFile(dir + "/", std::vector<std::uint8_t>{1}, error));
    EXPECT_EQ(error, "cannot be written (Is a directory)");
}

// A caller that commits after a failed write (a file-size limit here) still gets nothing in
// place: the promise is the output's own, not its callers'.
TEST(OutputFile, ACommitAfterAFailedWriteKeepsNothing) {
    const std::string dir = testsupport::makeTempDirectory("output");
    const std::string path = dir + "/big.wav";
    put(path, "old");
    const auto outcome = testsupport::runInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        core::OutputFile file;
        const std::string bytes(10000, 'x');
        const bool opened = file.open(path);
        const bool written = file.write(bytes.data(), bytes.size());
        const bool committed = file.commit();
        std::printf("%d%d%d %s", opened, written, committed, file.error().c_str());
    });
    EXPECT_EQ(outcome.output, "100 cannot be written (File too large)");
    EXPECT_EQ(fileContents(path), "old");
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"big.wav"});
}

// Any name the file system takes works: the hidden temporary's stem gives way, never the
// extension a child program goes by, and never in the middle of a character.
TEST(OutputFile, ANameUpToTheLimitGetsATemporaryThatFits) {
    const std::string dir = testsupport::makeTempDirectory("output");
    std::string wide;
    while (wide.size() + 2 <= 251) {
        wide += "\xc3\xa9";  // two bytes each
    }
    for (const std::string& name : {std::string(251, 'a') + ".png", std::string(250, 'b') + ".json",
                                    wide + ".wav", std::string(255, 'c')}) {
        SCOPED_TRACE(name.size());
        core::OutputFile file;
        ASSERT_TRUE(file.open(dir + "/" + name)) << file.error();
        const std::string temporary = fs::path(file.temporaryPath()).filename().string();
        EXPECT_LE(temporary.size(), 255u);
        if (fs::path(name).has_extension()) {
            EXPECT_EQ(fs::path(temporary).extension(), fs::path(name).extension());
        }
        EXPECT_EQ(temporary.find("\xc3."), std::string::npos) << "a character was cut";
        ASSERT_TRUE(file.write("x", 1));
        ASSERT_TRUE(file.commit()) << file.error();
        EXPECT_EQ(fileContents(dir + "/" + name), "x");
        fs::remove(dir + "/" + name);
    }
    EXPECT_TRUE(namesIn(dir).empty());
}

TEST(OutputFile, AFullDiskFailsTheWriteAndKeepsNoPartialFile) {
    testsupport::SmallDisk disk(64 * 1024);
    if (!disk.mounted()) {
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    }
    const std::string path = disk.path() + "/big.bin";
    put(path, "old");
    const std::vector<std::uint8_t> bytes(1 << 20, 7);
    std::string error;
    EXPECT_FALSE(core::writeWholeFile(path, bytes, error));
    EXPECT_EQ(error, "cannot be written (No space left on device)");
    EXPECT_EQ(fileContents(path), "old");
    EXPECT_EQ(namesIn(disk.path()), std::vector<std::string>{"big.bin"});
    // The space is back: a small file still fits.
    EXPECT_TRUE(core::writeWholeFile(disk.path() + "/small.bin", {bytes.data(), 100}, error));
}

TEST(OutputPlan, RefusesAPathGivenTwiceOrAnInputWrittenOver) {
    const std::string dir = testsupport::makeTempDirectory("plan");
    put(dir + "/song.it", "module");
    fs::create_symlink(dir + "/song.it", dir + "/link.it");
    {
        core::OutputPlan plan;
        plan.addFile(dir + "/run.json", "--stats");
        plan.addFile(dir + "/sub/../run.json", "--wav");
        const auto problem = plan.check();
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->status, 2);
        EXPECT_EQ(problem->line, dir + "/sub/../run.json: given for both --stats and --wav");
    }
    {
        core::OutputPlan plan;
        plan.addInput(dir + "/song.it", "the soundtrack");
        plan.addFile(dir + "/link.it", "--wav");
        const auto problem = plan.check();
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->status, 2);
        EXPECT_EQ(problem->line, dir + "/link.it: given for both the soundtrack and --wav");
    }
    {
        core::OutputPlan plan;
        plan.addInput(dir + "/song.it", "a file to pack");
        plan.addInput(dir + "/song.it", "a file to pack");  // reading twice is fine
        plan.addFile(dir + "/out.dat", "the archive");
        EXPECT_FALSE(plan.check());
    }
    EXPECT_EQ(fileContents(dir + "/song.it"), "module");
}

TEST(OutputPlan, RefusesLocationsThatCannotTakeTheFileBeforeCreatingAnything) {
    const std::string dir = testsupport::makeTempDirectory("plan");
    fs::create_directory(dir + "/adir");
    put(dir + "/afile", "");
    auto firstProblem = [&](const std::string& file, const std::string& directory) {
        core::OutputPlan plan;
        plan.addDirectory(dir + "/frames", "--frames");
        if (!directory.empty()) {
            plan.addDirectory(directory, "--frames");
        }
        if (!file.empty()) {
            plan.addFile(file, "--wav");
        }
        const auto problem = plan.check();
        return problem ? std::to_string(problem->status) + " " + problem->line : "";
    };
    EXPECT_EQ(firstProblem(dir + "/no/such.wav", ""),
              "1 " + dir + "/no/such.wav: cannot be written (No such file or directory)");
    EXPECT_EQ(firstProblem(dir + "/adir", ""), "1 " + dir + "/adir: is a directory");
    EXPECT_EQ(firstProblem("/dev/null", ""), "1 /dev/null: is not a regular file");
    EXPECT_EQ(firstProblem(dir + "/afile/x.wav", ""),
              "1 " + dir + "/afile/x.wav: cannot be written (Not a directory)");
    EXPECT_FALSE(fs::exists(dir + "/frames"));  // nothing made while a problem remained
    EXPECT_EQ(firstProblem("", dir + "/afile"), "1 " + dir + "/afile: is not a directory");
    EXPECT_EQ(firstProblem(dir + "/ok.wav", ""), "");
    EXPECT_TRUE(fs::is_directory(dir + "/frames"));
    EXPECT_FALSE(fs::exists(dir + "/ok.wav"));  // checked, not written
    EXPECT_EQ(namesIn(dir + "/frames"), std::vector<std::string>{});
}

// A directory's own names are taken: another output there is a conflict, status 2; any other
// name inside a directory the run creates is checked once it exists.
TEST(OutputPlan, ADirectorysOwnNamesAreTakenAndOtherFilesInItWork) {
    const std::string dir = testsupport::makeTempDirectory("plan");
    auto firstProblem = [&](const std::string& file) {
        core::OutputPlan plan;
        plan.addDirectory(dir + "/fr", "--frames",
                          [](const std::string& name) { return name == "index.csv"; });
        plan.addFile(file, "--stats");
        const auto problem = plan.check();
        return problem ? std::to_string(problem->status) + " " + problem->line : "";
    };
    EXPECT_EQ(firstProblem(dir + "/fr/index.csv"),
              "2 " + dir + "/fr/index.csv: given for both --frames and --stats");
    EXPECT_EQ(firstProblem(dir + "/fr/../fr/index.csv"),
              "2 " + dir + "/fr/../fr/index.csv: given for both --frames and --stats");
    EXPECT_FALSE(fs::exists(dir + "/fr"));
    EXPECT_EQ(firstProblem(dir + "/fr/sub/s.json"),
              "1 " + dir + "/fr/sub/s.json: cannot be written (No such file or directory)");
    EXPECT_EQ(firstProblem(dir + "/fr/s.json"), "");
    EXPECT_EQ(namesIn(dir + "/fr"), std::vector<std::string>{});
}

TEST(OutputPlan, RefusesAReadOnlyDisk) {
    testsupport::SmallDisk disk(64 * 1024, true);
    if (!disk.mounted()) {
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    }
    core::OutputPlan plan;
    plan.addFile(disk.path() + "/run.json", "--stats");
    const auto problem = plan.check();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->line, disk.path() + "/run.json: cannot be written (Read-only file system)");
}

}  // namespace
