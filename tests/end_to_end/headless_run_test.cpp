// Whole headless runs of the program against modules with known timing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "store/store.h"
#include "tests/support/modules.h"
#include "tests/support/run_program.h"
#include "tests/support/run_report.h"

namespace {

using testsupport::SceneReport;

std::vector<SceneReport> readScenes(const std::string& path, int* dots = nullptr) {
    const testsupport::RunReport report = testsupport::readRunReport(path);
    if (dots != nullptr) {
        *dots = report.dots;
    }
    return report.scenes;
}

// A data directory with the build's sg2.dat and a module made to `plan`.
std::string dataDirectory(const testsupport::ModulePlan& plan) {
    const std::string dir = testsupport::makeTempDirectory("run");
    const std::filesystem::path archive = testsupport::builtProgram("sg2.dat");
    if (std::filesystem::exists(archive)) {
        std::filesystem::copy_file(archive, std::filesystem::path(dir) / "sg2.dat");
    }
    testsupport::writeFile(dir + "/sg2.it", testsupport::buildModule(plan));
    return dir;
}

testsupport::ProgramResult run(const std::string& dir, std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments = {"--headless", "--data", dir, "--stats",
                                          dir + "/stats.json"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return testsupport::runProgram(testsupport::builtProgram("stormglass2"), arguments, dir);
}

// 40-row patterns at speed 2: a row every 40 ms, so every row is read by some frame.
testsupport::ModulePlan quickSong() {
    testsupport::ModulePlan plan;
    plan.rows = 40;
    plan.speed = 2;
    return plan;
}

constexpr int kSceneStarts[21] = {0,  1,  2,  3,  4,  5,  7,  9,  11, 13, 15,
                                  17, 19, 21, 22, 23, 24, 26, 28, 30, 31};

TEST(HeadlessRun, PlaysEverySceneOnItsOrdersAndEndsAtRow36) {
    const std::string dir = dataDirectory(quickSong());
    const auto result = run(dir);
    ASSERT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    EXPECT_EQ(result.standardOutput, std::string(46, '.'));
    int dots = 0;
    const auto scenes = readScenes(dir + "/stats.json", &dots);
    EXPECT_EQ(dots, 46);
    ASSERT_EQ(scenes.size(), 21u);
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(scenes[i].scene, i + 1);
        EXPECT_EQ(scenes[i].startOrder, kSceneStarts[i]) << "scene " << i + 1;
        EXPECT_GT(scenes[i].frames, 0);
        if (i < 20) {
            EXPECT_EQ(scenes[i].endOrder, kSceneStarts[i + 1]) << "scene " << i + 1;
        }
    }
    EXPECT_EQ(scenes[20].endOrder, 31);
    EXPECT_EQ(scenes[20].endRow, 36);
}

TEST(HeadlessRun, TwoRunsGiveTheSameFrames) {
    const std::string dir = dataDirectory(quickSong());
    ASSERT_EQ(run(dir).exitStatus, 0);
    const auto first = readScenes(dir + "/stats.json");
    ASSERT_EQ(run(dir).exitStatus, 0);
    const auto second = readScenes(dir + "/stats.json");
    ASSERT_EQ(first.size(), 21u);
    ASSERT_EQ(second.size(), 21u);
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(first[i].hash, second[i].hash) << "scene " << i + 1;
        EXPECT_EQ(first[i].frames, second[i].frames) << "scene " << i + 1;
    }
}

TEST(HeadlessRun, FrameIndexAgreesWithTheReportAndNamesTheFramePictures) {
    const std::string dir = dataDirectory(quickSong());
    const auto result = run(dir, {"--frames", dir + "/frames", "--every", "97"});
    ASSERT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    std::ifstream csv(dir + "/frames/frames.csv");
    std::string line;
    ASSERT_TRUE(std::getline(csv, line));
    EXPECT_EQ(line, "frame,time_ms,order,row,scene");
    struct Seen {
        int frames = 0;
        int firstOrder = -1, firstRow = -1, lastOrder = -1, lastRow = -1;
    };
    std::vector<Seen> seen(22);
    long expectedFrame = 0;
    long previousTime = -1;
    while (std::getline(csv, line)) {
        long frame = -1, time = -1;
        int order = -1, row = -1, scene = -1;
        ASSERT_EQ(
            std::sscanf(line.c_str(), "%ld,%ld,%d,%d,%d", &frame, &time, &order, &row, &scene), 5)
            << line;
        ASSERT_EQ(frame, expectedFrame++);
        ASSERT_GE(time, previousTime) << line;
        previousTime = time;
        ASSERT_TRUE(scene >= 1 && scene <= 21) << line;
        Seen& s = seen[static_cast<std::size_t>(scene)];
        if (s.frames++ == 0) {
            s.firstOrder = order;
            s.firstRow = row;
        }
        s.lastOrder = order;
        s.lastRow = row;
        // The pictures --every keeps carry the index's numbers.
        char name[32];
        std::snprintf(name, sizeof name, "/frame_%06ld.png", frame);
        EXPECT_EQ(std::filesystem::exists(dir + "/frames" + name), frame % 97 == 0) << name;
    }
    // A run of 31.5 orders of 40 rows at 40 ms: about 50 s of 60 Hz frames.
    EXPECT_NEAR(previousTime, (31 * 40 + 36) * 40, 200);
    const auto scenes = readScenes(dir + "/stats.json");
    ASSERT_EQ(scenes.size(), 21u);
    for (const SceneReport& scene : scenes) {
        const Seen& s = seen[static_cast<std::size_t>(scene.scene)];
        EXPECT_EQ(s.frames, scene.frames) << "scene " << scene.scene;
        EXPECT_EQ(s.firstOrder, scene.startOrder) << "scene " << scene.scene;
        EXPECT_EQ(s.firstRow, scene.startRow) << "scene " << scene.scene;
        EXPECT_EQ(s.lastOrder, scene.endOrder) << "scene " << scene.scene;
        EXPECT_EQ(s.lastRow, scene.endRow) << "scene " << scene.scene;
    }
}

TEST(HeadlessRun, ScenesFollowOrdersWhenTheSongChangesItsPace) {
    // Every third pattern runs four times as fast, every fifth at double tempo.
    testsupport::ModulePlan plan = quickSong();
    for (int p = 0; p < plan.orders; ++p) {
        plan.patternSpeed.push_back(p % 3 == 0 ? 1 : 4);
        plan.patternTempo.push_back(p % 5 == 0 ? 250 : 125);
    }
    const std::string dir = dataDirectory(plan);
    ASSERT_EQ(run(dir).exitStatus, 0);
    const auto scenes = readScenes(dir + "/stats.json");
    ASSERT_EQ(scenes.size(), 21u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(scenes[i].startOrder, kSceneStarts[i]) << "scene " << i + 1;
        EXPECT_EQ(scenes[i].endOrder, kSceneStarts[i + 1]) << "scene " << i + 1;
    }
}

TEST(HeadlessRun, AQuitEndsTheRunThroughOneShutdown) {
    const std::string dir = dataDirectory(quickSong());
    const auto result = run(dir, {"--quit-at", "5:10", "--trace-shutdown"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardError,
              "shutdown: stop and free the song\n"
              "shutdown: close sound output\n"
              "shutdown: release work buffers\n"
              "shutdown: release display\n"
              "shutdown: show cursor\n"
              "shutdown: stop timer\n");
    const auto scenes = readScenes(dir + "/stats.json");
    ASSERT_EQ(scenes.size(), 6u);  // the quit came in scene 6, which begins at order 5
    EXPECT_EQ(scenes[5].endOrder, 5);
    EXPECT_EQ(scenes[5].endRow, 10);
}

TEST(HeadlessRun, BadInputEndsWithOneLineAndAFailingStatus) {
    const std::string dir = dataDirectory(quickSong());
    std::filesystem::remove(dir + "/sg2.it");
    auto result = run(dir);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError,
              dir + "/sg2.it: cannot be opened (No such file or directory)\n");
    EXPECT_EQ(result.standardOutput, "");

    // The data file's own line stays on standard output; standard error keeps why.
    std::filesystem::rename(dir + "/sg2.dat", dir + "/kept.dat");
    testsupport::writeFile(dir + "/sg2.it", testsupport::buildModule(quickSong()));
    result = run(dir);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardOutput, store::kMissingDataFileMessage);
    EXPECT_EQ(result.standardError,
              dir + "/sg2.dat: not found; looked in " + dir + " (given with --data)\n");
    std::filesystem::rename(dir + "/kept.dat", dir + "/sg2.dat");

    testsupport::writeFile(dir + "/sg2.it", {'n', 'o', 't', 'I', 'T', 0, 1, 2});
    result = run(dir);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError.find(dir + "/sg2.it: not a playable module"), 0u)
        << result.standardError;

    result = testsupport::runProgram(testsupport::builtProgram("stormglass2"),
                                     {"--headless", "--trail", "9"}, dir);
    EXPECT_NE(result.exitStatus, 0);
    EXPECT_EQ(result.standardError, "stormglass2: --trail: expected 0, 1, 2 or 3, got '9'\n");
}

}  // namespace
