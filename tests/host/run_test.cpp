// The entry run in this process: a failure or a quit at any point comes back through the loop
// as the run's status, after the one shutdown, instead of ending the process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/buffers.h"
#include "host/entry.h"
#include "tests/support/captured.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;
using testsupport::captured;

const std::string kShutdownTrace =
    "shutdown: stop and free the song\n"
    "shutdown: close sound output\n"
    "shutdown: release work buffers\n"
    "shutdown: release display\n"
    "shutdown: show cursor\n"
    "shutdown: stop timer\n";

std::string builtData() {
    return fs::path(testsupport::builtProgram("sg2.dat")).parent_path().string();
}

auto run(std::vector<std::string> arguments) {
    return captured([&] { return host::runProgram(arguments); });
}

void* refuseEverything(std::size_t, std::size_t) {
    return nullptr;
}

TEST(RunEnds, OutOfMemoryIsStatusOneWithOneLineAfterTheShutdown) {
    core::useBlockAllocator(&refuseEverything);
    const auto outcome = run({"--headless", "--data", builtData(), "--trace-shutdown"});
    core::useBlockAllocator(nullptr);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.output, "outta himem... sorry, but 8 megs required!\n");
    EXPECT_EQ(outcome.errors, kShutdownTrace);  // the song stopped before the buffers go
}

TEST(RunEnds, ADataFileThatFailsPartWayThroughTheLoadsIsStatusOne) {
    // Entry 20's block made to run past the file's end: the 21 loads before it (entry 18
    // twice) each write their dot, then the load fails.
    const std::string dir = testsupport::makeTempDirectory("run");
    fs::copy_file(builtData() + "/sg2.it", dir + "/sg2.it");
    std::string data = testsupport::fileContents(builtData() + "/sg2.dat");
    constexpr std::size_t kEntries = 36;
    const std::size_t sizeWord = data.size() - 8 - 8 * kEntries + 8 * 20 + 4;
    data.replace(sizeWord, 4, "\xF0\xFF\xFF\xFF");
    std::ofstream(dir + "/sg2.dat", std::ios::binary) << data;
    const auto outcome = run({"--headless", "--data", dir, "--trace-shutdown"});
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.output, std::string(21, '.'));
    const auto firstLineEnd = outcome.errors.find('\n');
    EXPECT_EQ(outcome.errors.find(dir + "/sg2.dat: "), 0u) << outcome.errors;
    EXPECT_EQ(outcome.errors.substr(firstLineEnd + 1), kShutdownTrace);
    fs::remove_all(dir);
}

TEST(RunEnds, AQuitDuringPlayIsStatusZeroAfterTheShutdownAndTheProcessGoesOn) {
    for (const char* at : {"0:0", "1:20"}) {
        SCOPED_TRACE(at);
        const auto outcome =
            run({"--headless", "--data", builtData(), "--quit-at", at, "--trace-shutdown"});
        EXPECT_EQ(outcome.result, 0);
        EXPECT_EQ(outcome.output, std::string(46, '.'));
        EXPECT_EQ(outcome.errors, kShutdownTrace);
    }
}

// With both streams on one terminal or file (`2>&1`) the trace begins on a line of its own,
// not glued to the progress dots.
TEST(RunEnds, TheShutdownTraceStartsOnItsOwnLineAfterTheDots) {
    const std::string command = "'" + testsupport::builtProgram("stormglass2") +
                                "' --headless --data '" + builtData() +
                                "' --quit-at 1:20 --trace-shutdown 2>&1";
    const auto result = testsupport::runProgram("/bin/sh", {"-c", command});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, std::string(46, '.') + "\n" + kShutdownTrace);
}

}  // namespace
