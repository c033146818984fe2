#include "host/report.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/output.h"
#include "display/present.h"
#include "display/state.h"
#include "display/surfaces.h"
#include "host/process.h"
#include "platform/video.h"
#include "sequencer/preparation.h"
#include "sequencer/scenes.h"
#include "sequencer/state.h"

namespace host {

namespace {

using Clock = std::chrono::steady_clock;

// FNV-1a's start and multiplier.
constexpr std::uint64_t kHashStart = 0xcbf29ce484222325ull;
constexpr std::uint64_t kHashPrime = 0x100000001b3ull;

struct SceneRecord {
    bool started = false;
    std::int32_t startOrder = 0;
    std::int32_t startRow = 0;
    std::int32_t endOrder = 0;
    std::int32_t endRow = 0;
    std::uint64_t hash = kHashStart;
    // What the screen showed: every presented frame's colours.
    std::uint64_t screenHash = kHashStart;
    std::size_t presented = 0;
    std::vector<float> workMs;      // reserved up front: nothing grows per frame in practice
    std::vector<float> intervalMs;  // between this scene's frame releases and the previous ones
};

struct Report {
    bool active = false;
    std::string path;
    double prepMs = 0;
    Clock::time_point start;
    Clock::time_point frameStart;
    int currentScene = 0;  // 1-based; 0 before the first scene
    bool firstFrameOfScene = false;
    bool released = false;  // a frame has been released before
    std::uint32_t lastReleaseMs = 0;
    std::array<SceneRecord, sequencer::kSceneCount> scenes;
};

Report report;

double percentile(std::vector<float> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t index =
        static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// Appends printf-style text to `out`.
template <typename... Values>
void append(std::string& out, const char* format, Values... values) {
    char line[512];
    const int length = std::snprintf(line, sizeof line, format, values...);
    out.append(line, static_cast<std::size_t>(std::clamp(length, 0, int{sizeof line} - 1)));
}

void writeReport(int& status) {
    std::string text;
    append(text, "{\"dots\": %d, \"prepMs\": %.3f, \"exitStatus\": %d, \"scenes\": [",
           core::progressDotsWritten(), report.prepMs, status);
    bool first = true;
    for (std::size_t i = 0; i < report.scenes.size(); ++i) {
        const SceneRecord& scene = report.scenes[i];
        if (!scene.started) {
            continue;
        }
        double sum = 0;
        float worst = 0;
        for (float ms : scene.workMs) {
            sum += ms;
            worst = std::max(worst, ms);
        }
        const double mean =
            scene.workMs.empty() ? 0 : sum / static_cast<double>(scene.workMs.size());
        // Without a screen of its own (headless) every presented frame counts as shown.
        const long screenShown = display::video().framesShown(static_cast<int>(i + 1));
        const std::size_t shown =
            screenShown < 0 ? scene.presented : static_cast<std::size_t>(screenShown);
        append(text,
               "%s\n  {\"scene\": %zu, \"startOrder\": %d, \"startRow\": %d, \"endOrder\": %d, "
               "\"endRow\": %d, \"frames\": %zu, \"framesShown\": %zu, "
               "\"medianIntervalMs\": %.1f, \"p99IntervalMs\": %.1f, \"meanWorkMs\": %.4f, "
               "\"p99WorkMs\": %.4f, \"maxWorkMs\": %.4f, \"frameHash\": \"%016" PRIx64
               "\", \"screenHash\": \"%016" PRIx64 "\"}",
               first ? "" : ",", i + 1, scene.startOrder, scene.startRow, scene.endOrder,
               scene.endRow, scene.presented, shown, percentile(scene.intervalMs, 0.5),
               percentile(scene.intervalMs, 0.99), mean, percentile(scene.workMs, 0.99),
               static_cast<double>(worst), scene.hash, scene.screenHash);
        first = false;
    }
    text += "\n]}\n";
    std::string error;
    if (!core::writeWholeFile(report.path,
                              {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()},
                              error)) {
        core::errorLine(report.path + ": " + error);
        status = status == 0 ? 1 : status;
    }
}

}  // namespace

std::uint64_t hashPicture(std::uint64_t running, const std::uint8_t* picture) {
    // FNV-1a over little-endian 64-bit words: fast, and the same everywhere.
    for (int i = 0; i < 64000; i += 8) {
        std::uint64_t word = 0;
        for (int b = 7; b >= 0; --b) {
            word = (word << 8) | picture[i + b];
        }
        running = (running ^ word) * kHashPrime;
    }
    return running;
}

void startReport(const std::string& path) {
    report.active = true;
    report.path = path;
    report.start = Clock::now();
    for (SceneRecord& scene : report.scenes) {
        scene.workMs.reserve(32768);
        scene.intervalMs.reserve(32768);
    }
    addExitHook(&writeReport);
}

void reportPreparationDone() {
    report.prepMs = std::chrono::duration<double, std::milli>(Clock::now() - report.start).count();
}

void reportSceneBegan(int sceneNumber) {
    report.currentScene = sceneNumber;
    report.firstFrameOfScene = true;
    report.scenes[static_cast<std::size_t>(sceneNumber - 1)].started = true;
}

void reportFrameBegan() {
    if (report.currentScene == 0) {
        return;
    }
    SceneRecord& scene = report.scenes[static_cast<std::size_t>(report.currentScene - 1)];
    if (report.firstFrameOfScene) {
        scene.startOrder = sequencer::sceneState.musicOrder;
        scene.startRow = sequencer::sceneState.musicRow;
        report.firstFrameOfScene = false;
    }
    scene.endOrder = sequencer::sceneState.musicOrder;
    scene.endRow = sequencer::sceneState.musicRow;
    report.frameStart = Clock::now();
}

void reportFrameHanded(const std::uint8_t* picture) {
    if (report.currentScene == 0) {
        return;
    }
    SceneRecord& scene = report.scenes[static_cast<std::size_t>(report.currentScene - 1)];
    const float ms =
        std::chrono::duration<float, std::milli>(Clock::now() - report.frameStart).count();
    scene.workMs.push_back(ms);
    scene.hash = hashPicture(scene.hash, picture);
}

void reportFrameReleased(std::uint32_t milliseconds) {
    if (!report.active || report.currentScene == 0) {
        return;
    }
    SceneRecord& scene = report.scenes[static_cast<std::size_t>(report.currentScene - 1)];
    if (report.released) {
        scene.intervalMs.push_back(static_cast<float>(milliseconds - report.lastReleaseMs));
    }
    report.released = true;
    report.lastReleaseMs = milliseconds;
}

void reportFramePresented() {
    if (report.currentScene == 0) {
        return;
    }
    SceneRecord& scene = report.scenes[static_cast<std::size_t>(report.currentScene - 1)];
    ++scene.presented;
    // Blue, green and red of each pixel; the fourth byte is never written.
    const std::uint8_t* pixel = display::state.colourBuffer;
    for (int i = 0; i < core::kPicturePixels; ++i, pixel += 4) {
        const std::uint64_t colour = pixel[0] | (pixel[1] << 8) | (pixel[2] << 16);
        scene.screenHash = (scene.screenHash ^ colour) * kHashPrime;
    }
}

}  // namespace host
