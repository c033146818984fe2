// The show's sound measured as a release would be: loudness, range and true peak of both
// mixes (by ffmpeg's EBU R128 meter), and the width of the stereo mix scene by scene.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/run_program.h"
#include "tests/support/run_report.h"

namespace {

constexpr double kRate = 44100.0;
constexpr double kRowSeconds = 0.12;  // the song keeps speed 6 at 125 BPM throughout

struct ShowRun {
    testsupport::RunReport report;
    std::vector<float> left, right;
    std::string wavPath;
};

ShowRun runShow(const std::string& dir, const std::string& name, bool stereo) {
    ShowRun run;
    run.wavPath = dir + "/" + name + ".wav";
    std::vector<std::string> arguments = {
        "--headless", "--data",  testsupport::builtProgram(""), "--wav",
        run.wavPath,  "--stats", dir + "/" + name + ".json"};
    if (stereo) {
        arguments.push_back("--stereo");
    }
    const auto result =
        testsupport::runProgram(testsupport::builtProgram("stormglass2"), arguments, dir);
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    run.report = testsupport::readRunReport(dir + "/" + name + ".json");
    std::ifstream file(run.wavPath, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    for (std::size_t at = 44; at + 4 <= bytes.size(); at += 4) {
        auto sample = [&](std::size_t offset) {
            const auto low = static_cast<std::uint8_t>(bytes[offset]);
            const auto high = static_cast<std::uint8_t>(bytes[offset + 1]);
            return static_cast<float>(static_cast<std::int16_t>(low | high << 8)) / 32768.0f;
        };
        run.left.push_back(sample(at));
        run.right.push_back(sample(at + 2));
    }
    return run;
}

// Pearson correlation of the two sides between two times; 1 for silence.
double correlation(const ShowRun& run, double from, double to) {
    const auto first = static_cast<std::size_t>(from * kRate);
    const auto last = std::min(static_cast<std::size_t>(to * kRate), run.left.size());
    double lr = 0.0;
    double ll = 0.0;
    double rr = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        lr += static_cast<double>(run.left[i]) * run.right[i];
        ll += static_cast<double>(run.left[i]) * run.left[i];
        rr += static_cast<double>(run.right[i]) * run.right[i];
    }
    return ll * rr == 0.0 ? 1.0 : lr / std::sqrt(ll * rr);
}

struct Loudness {
    double integrated = 0.0;  // LUFS
    double range = 0.0;       // LU
    double truePeak = 0.0;    // dBTP
};

// Reads the summary ffmpeg's ebur128 filter prints at the end.
Loudness measure(const std::string& wav) {
    const auto result = testsupport::runProgram(
        "/usr/bin/ffmpeg", {"-nostdin", "-hide_banner", "-nostats", "-i", wav, "-af",
                            "ebur128=peak=true", "-f", "null", "-"});
    const std::string& text = result.standardError;
    const std::size_t summary = text.rfind("Summary:");
    EXPECT_NE(summary, std::string::npos) << text;
    auto after = [&](const char* label) {
        const std::size_t at = text.find(label, summary == std::string::npos ? 0 : summary);
        EXPECT_NE(at, std::string::npos) << label;
        return at == std::string::npos
                   ? NAN
                   : std::strtod(text.c_str() + at + std::string_view(label).size(), nullptr);
    };
    return {after("I:"), after("LRA:"), after("Peak:")};
}

TEST(Mix, BothMixesMeetTheirTargetsAndStereoChangesNothingButTheSound) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    const std::string dir = testsupport::makeTempDirectory("mix");
    const ShowRun centre = runShow(dir, "centre", false);
    const ShowRun stereo = runShow(dir, "stereo", true);
    ASSERT_EQ(centre.report.scenes.size(), 21u);
    ASSERT_EQ(stereo.report.scenes.size(), 21u);
    ASSERT_EQ(centre.left.size(), stereo.left.size());
    ASSERT_GT(centre.left.size(), static_cast<std::size_t>(240 * kRate));

    // The same frames, scene by scene: only the sound differs.
    for (std::size_t i = 0; i < 21; ++i) {
        EXPECT_EQ(stereo.report.scenes[i].hash, centre.report.scenes[i].hash) << "scene " << i + 1;
        EXPECT_EQ(stereo.report.scenes[i].frames, centre.report.scenes[i].frames);
    }

    const double length = static_cast<double>(centre.left.size()) / kRate;
    EXPECT_GT(correlation(centre, 0.0, length), 0.999);  // the default mix is centred
    const double showWidth = correlation(stereo, 0.0, length);
    EXPECT_GE(showWidth, 0.4);
    EXPECT_LE(showWidth, 0.9);
    for (const auto& scene : stereo.report.scenes) {
        const double from = (scene.startOrder * 64 + scene.startRow) * kRowSeconds;
        const double to = (scene.endOrder * 64 + scene.endRow) * kRowSeconds;
        EXPECT_GE(correlation(stereo, from, to), 0.2) << "scene " << scene.scene;
    }

    const Loudness centred = measure(centre.wavPath);
    const Loudness wide = measure(stereo.wavPath);
    for (const Loudness& mix : {centred, wide}) {
        EXPECT_GE(mix.integrated, -16.0);
        EXPECT_LE(mix.integrated, -14.0);
        EXPECT_LE(mix.truePeak, -1.0);
    }
    EXPECT_GE(centred.range, 5.0);
    EXPECT_NEAR(wide.integrated, centred.integrated, 1.5);
    std::filesystem::remove_all(dir);
}

}  // namespace
