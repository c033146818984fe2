// The launcher's remembered choices: where the file lives, the round trip through it, and
// files that must be ignored.
#include "host/launcher_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool sameChoices(const host::LauncherChoices& a, const host::LauncherChoices& b) {
    return a.mode == b.mode && a.windowed == b.windowed && a.dance == b.dance &&
           a.trailLevel == b.trailLevel;
}

TEST(LauncherFile, PlaceFollowsXdgConfigHomeThenHome) {
    EXPECT_EQ(host::launcherFilePath("/cfg", "/home/u"), fs::path("/cfg/stormglass2/launcher.ini"));
    EXPECT_EQ(host::launcherFilePath("", "/home/u"),
              fs::path("/home/u/.config/stormglass2/launcher.ini"));
    // Relative XDG paths are ignored.
    EXPECT_EQ(host::launcherFilePath("cfg", "/home/u"),
              fs::path("/home/u/.config/stormglass2/launcher.ini"));
    EXPECT_FALSE(host::launcherFilePath("", "").has_value());
    EXPECT_FALSE(host::launcherFilePath("", "relative").has_value());
}

TEST(LauncherFile, RoundTripCreatesTheDirectoryAndLeavesNoTemporary) {
    const fs::path dir = testsupport::makeTempDirectory("launcher_file");
    const fs::path path = dir / "config" / "stormglass2" / "launcher.ini";
    for (const host::LauncherChoices& choices :
         {host::LauncherChoices{"1024x768x24", true, true, 2},
          host::LauncherChoices{"", false, false, 0},
          host::LauncherChoices{"640x480x16", false, true, 3}}) {
        std::string error;
        ASSERT_TRUE(host::saveLauncherChoices(path, choices, error)) << error;
        EXPECT_TRUE(sameChoices(host::loadLauncherChoices(path), choices)) << choices.mode;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()),
              1);
    fs::remove_all(dir);
    // The flags stay 0 and 1 on disk, so files written by earlier versions read back the same.
    EXPECT_EQ(host::formatLauncherChoices({"640x480x16", false, true, 3}),
              "[launcher]\nmode=640x480x16\nwindowed=0\ndance=1\ntrail=3\n");
}

TEST(LauncherFile, HandEditedFileWithCommentsAndUnknownKeysIsRead) {
    const auto parsed = host::parseLauncherChoices(
        "# mine\r\n\r\n[launcher]\r\n  mode = 800x600x32 \r\nfuture=x\r\ntrail=1\r\n");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_TRUE(sameChoices(*parsed, {"800x600x32", false, false, 1}));
}

TEST(LauncherFile, DamagedMissingOrUnreadableFilesGiveDefaults) {
    const host::LauncherChoices defaults;
    for (const char* text :
         {"", "mode=640x480x32\n", "[launcher]\nwindowed=2\n", "[launcher]\ntrail=4\n",
          "[launcher]\ntrail=-1\n", "[launcher]\ntrail=1x\n", "[launcher]\nmode=640x480\n",
          "[launcher]\ndance\n",
          "\x7f"
          "ELF\x02\x01\x01"}) {
        EXPECT_FALSE(host::parseLauncherChoices(text).has_value()) << text;
    }
    EXPECT_FALSE(
        host::parseLauncherChoices("[launcher]\n" + std::string(5000, '#') + "\n").has_value());

    const fs::path dir = testsupport::makeTempDirectory("launcher_file");
    EXPECT_TRUE(sameChoices(host::loadLauncherChoices(dir / "missing.ini"), defaults));
    fs::create_directory(dir / "dir.ini");
    EXPECT_TRUE(sameChoices(host::loadLauncherChoices(dir / "dir.ini"), defaults));
    writeText(dir / "half.ini", "[launcher]\nwindowed=1\ndance=");
    EXPECT_TRUE(sameChoices(host::loadLauncherChoices(dir / "half.ini"), defaults));
    fs::remove_all(dir);
}

TEST(LauncherFile, UnwritablePlaceReportsInsteadOfThrowing) {
    const fs::path dir = testsupport::makeTempDirectory("launcher_file");
    writeText(dir / "file", "x");  // a file where the directory should be
    std::string error;
    EXPECT_FALSE(host::saveLauncherChoices(dir / "file" / "launcher.ini", {}, error));
    EXPECT_FALSE(error.empty());
    fs::remove_all(dir);
}

}  // namespace
