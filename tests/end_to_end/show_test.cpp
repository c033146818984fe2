// The whole show with the project's own data and soundtrack, headless.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/run_program.h"
#include "tests/support/run_report.h"

namespace {

struct SceneHash {
    int scene;
    int frames;
    std::string hash;
    std::string screenHash;
    int indexed = 0;  // the frame index's lines for the scene
};

std::vector<SceneHash> runShow(const std::vector<std::string>& extra, int* status = nullptr) {
    const std::string dir = testsupport::makeTempDirectory("show");
    // The frame index too (a single picture, frame 0): it must agree with the report.
    std::vector<std::string> arguments = {"--headless",
                                          "--data",
                                          testsupport::builtProgram(""),
                                          "--stats",
                                          dir + "/stats.json",
                                          "--frames",
                                          dir + "/fr",
                                          "--every",
                                          "100000000"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const auto result =
        testsupport::runProgram(testsupport::builtProgram("stormglass2"), arguments, dir);
    if (status != nullptr) {
        *status = result.exitStatus;
    }
    std::vector<SceneHash> scenes;
    for (const auto& scene : testsupport::readRunReport(dir + "/stats.json").scenes) {
        scenes.push_back({scene.scene, scene.frames, scene.hash, scene.screenHash, 0});
    }
    std::istringstream index(testsupport::fileContents(dir + "/fr/frames.csv"));
    std::string line;
    std::getline(index, line);
    while (std::getline(index, line)) {
        const int scene = std::atoi(line.c_str() + line.rfind(',') + 1);
        for (SceneHash& each : scenes) {
            each.indexed += each.scene == scene ? 1 : 0;
        }
    }
    std::filesystem::remove_all(dir);
    return scenes;
}

// The show as designed, once for all the comparisons below.
const std::vector<SceneHash>& plainShow() {
    static const std::vector<SceneHash> scenes = runShow({});
    return scenes;
}

std::string describe(const std::vector<SceneHash>& scenes, std::string SceneHash::*hash) {
    std::string text;
    for (const SceneHash& scene : scenes) {
        text += std::to_string(scene.scene) + " " + scene.*hash + "\n";
    }
    return text;
}

// The pinned pictures (the scenes' 8-bit frames), then what the screen showed (those with the
// trail and the palette in force, so a palette, fade or flash mistake shows); and, from the same
// run, the frame index and the report agree on every frame's scene.
TEST(Show, EveryScenesFramesMatchThePinnedHashes) {
    for (const SceneHash& scene : plainShow()) {
        EXPECT_GT(scene.frames, 0) << "scene " << scene.scene;
        EXPECT_EQ(scene.indexed, scene.frames) << "frames.csv and --stats, scene " << scene.scene;
    }
    for (const auto& [file, hash] : {std::pair{"show_hashes.txt", &SceneHash::hash},
                                     std::pair{"show_screen_hashes.txt", &SceneHash::screenHash}}) {
        SCOPED_TRACE(file);
        std::ifstream golden(testsupport::sourceDirectory() + "/tests/end_to_end/" + file);
        ASSERT_TRUE(golden) << "missing tests/end_to_end/" << file;
        std::vector<std::string> expected;
        int scene = 0;
        std::string value;
        while (golden >> scene >> value) {
            expected.push_back(value);
        }
        const auto& actual = plainShow();
        ASSERT_EQ(actual.size(), 21u);
        ASSERT_EQ(expected.size(), 21u);
        bool same = true;
        for (std::size_t i = 0; i < 21; ++i) {
            EXPECT_EQ(actual[i].*hash, expected[i]) << "scene " << i + 1;
            same = same && actual[i].*hash == expected[i];
        }
        if (!same) {
            ADD_FAILURE() << "this run's hashes, for " << file << " after a deliberate change:\n"
                          << describe(actual, hash);
        }
    }
}

TEST(Show, DanceChangesTheWavingLandscapeSceneOnly) {
    const auto dancing = runShow({"--dance"});
    const auto& plain = plainShow();
    ASSERT_EQ(dancing.size(), 21u);
    ASSERT_EQ(plain.size(), 21u);
    for (std::size_t i = 0; i < 21; ++i) {
        if (i == 11) {
            EXPECT_NE(dancing[i].hash, plain[i].hash);
        } else {
            EXPECT_EQ(dancing[i].hash, plain[i].hash) << "scene " << i + 1;
        }
    }
}

TEST(Show, EveryTrailLevelRunsToTheEndAndChangesWhatTheScreenShows) {
    // The trail blends what reaches the screen, not the scenes' own pictures: the report's
    // hashes stay, the screen in the moving tunnel differs from level to level.
    const std::string dir = testsupport::makeTempDirectory("trail");
    auto screenAt = [&](const char* level) {
        const std::string path = dir + "/trail" + level + ".png";
        int status = -1;
        const auto scenes = runShow({"--trail", level, "--snapshot", "5:20:" + path}, &status);
        EXPECT_EQ(status, 0) << "trail " << level;
        EXPECT_EQ(scenes.size(), 21u) << "trail " << level;
        if (!scenes.empty()) {
            EXPECT_EQ(scenes[5].hash, plainShow()[5].hash) << "trail " << level;
        }
        std::ifstream file(path, std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    };
    const std::string none = screenAt("0");
    const std::string longest = screenAt("1");
    const std::string medium = screenAt("2");
    const std::string shortest = screenAt("3");
    ASSERT_FALSE(none.empty());
    EXPECT_NE(longest, none);
    EXPECT_NE(medium, none);
    EXPECT_NE(shortest, none);
    EXPECT_NE(longest, shortest);
    std::filesystem::remove_all(dir);
}

TEST(Show, VideoAndContactSheetAreWritten) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    const std::string dir = testsupport::makeTempDirectory("video");
    const auto result = testsupport::runProgram(
        testsupport::builtProgram("stormglass2"),
        {"--data", testsupport::builtProgram(""), "--video", dir + "/show.mp4", "--contact-sheet",
         dir + "/sheet.png", "--quit-at", "0:12"},
        dir);
    EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    EXPECT_GT(std::filesystem::file_size(dir + "/show.mp4"), 10000u);
    EXPECT_GT(std::filesystem::file_size(dir + "/sheet.png"), 10000u);
    // The outputs asked for and the frame index, and nothing left over beside them.
    EXPECT_EQ(testsupport::namesIn(dir),
              (std::vector<std::string>{"sheet.png", "show.frames.csv", "show.mp4"}));
    // The 60 Hz picture lasts as long as the show ran: 12 rows at 120 ms.
    const auto probe = testsupport::runProgram(
        "/usr/bin/ffprobe",
        {"-v", "error", "-select_streams", "v", "-count_frames", "-show_entries",
         "stream=nb_read_frames", "-of", "csv=p=0", dir + "/show.mp4"});
    const int frames = std::atoi(probe.standardOutput.c_str());
    EXPECT_NEAR(frames, 12 * 120 * 60 / 1000, 4);
    std::filesystem::remove_all(dir);
}

}  // namespace
