// Video captures of short runs of the show, read back with ffmpeg and ffprobe and held against
// the program's own snapshots, sound file and frame index.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/support/run_program.h"
#include "tests/support/run_report.h"

namespace {

bool haveFfmpeg() {
    return std::system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1") ==
           0;
}

testsupport::ProgramResult runShow(const std::string& dir, std::vector<std::string> extra) {
    std::vector<std::string> arguments = {"--data", testsupport::builtProgram("")};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return testsupport::runProgram(testsupport::builtProgram("stormglass2"), arguments, dir);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// ffprobe's key=value lines for the first stream of `type` (v or a) and the container.
std::map<std::string, std::string> probe(const std::string& path, const char* type) {
    const auto result = testsupport::runProgram(
        "/usr/bin/ffprobe",
        {"-v", "error", "-select_streams", std::string(type) + ":0", "-show_entries",
         "stream=codec_name,pix_fmt,width,height,sample_aspect_ratio,display_aspect_ratio,"
         "r_frame_rate,sample_rate,channels,sample_fmt:format=duration",
         "-of", "default=noprint_wrappers=1", path});
    std::map<std::string, std::string> fields;
    std::istringstream lines(result.standardOutput);
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) {
            fields[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return fields;
}

void expectFields(const std::map<std::string, std::string>& fields,
                  std::initializer_list<std::pair<const char*, const char*>> wanted) {
    for (const auto& [key, value] : wanted) {
        const auto found = fields.find(key);
        EXPECT_TRUE(found != fields.end() && found->second == value)
            << key << " is " << (found == fields.end() ? "missing" : found->second) << ", not "
            << value;
    }
}

// Frame `index` of a video (or the one picture of a PNG) as 8-bit RGB bytes.
std::string decodeFrame(const std::string& path, int index, const std::string& colours = "") {
    std::string filters = "select=eq(n\\," + std::to_string(index) + ")";
    if (!colours.empty()) {
        filters += ",scale=" + colours;
    }
    return testsupport::runProgram("/usr/bin/ffmpeg",
                                   {"-v", "error", "-i", path, "-vf", filters, "-frames:v", "1",
                                    "-f", "rawvideo", "-pix_fmt", "rgb24", "-"})
        .standardOutput;
}

struct IndexRow {
    long frame, time;
    int order, row, scene;
};

std::vector<IndexRow> readIndex(const std::string& path) {
    std::ifstream csv(path);
    std::string line;
    std::getline(csv, line);
    std::vector<IndexRow> rows;
    while (std::getline(csv, line)) {
        IndexRow r{};
        if (std::sscanf(line.c_str(), "%ld,%ld,%d,%d,%d", &r.frame, &r.time, &r.order, &r.row,
                        &r.scene) == 5) {
            rows.push_back(r);
        }
    }
    return rows;
}

// The 60 Hz video frame that shows the first presented frame at or after order:row, or -1
// when that picture is replaced before any video frame falls on it.
int videoFrameOf(const std::vector<IndexRow>& index, int order, int row) {
    for (std::size_t i = 0; i + 1 < index.size(); ++i) {
        if (index[i].order > order || (index[i].order == order && index[i].row >= row)) {
            const long k = (index[i].time * 60 + 999) / 1000;
            return k * 1000 < index[i + 1].time * 60 ? static_cast<int>(k) : -1;
        }
    }
    return -1;
}

// DIR/bin/ffmpeg, a shell script standing in for the encoder.
std::string fakeEncoder(const std::string& dir, const std::string& script) {
    const std::string bin = dir + "/bin";
    std::filesystem::create_directories(bin);
    std::ofstream(bin + "/ffmpeg") << "#!/bin/sh\n" << script;
    std::filesystem::permissions(bin + "/ffmpeg", std::filesystem::perms::owner_all);
    return bin;
}

// The show run in `dir` with the fake encoder in DIR/bin found first on the PATH.
std::vector<std::string> withFakeEncoder(const std::string& dir, std::vector<std::string> extra) {
    std::vector<std::string> command = {"/usr/bin/env", "PATH=" + dir + "/bin:/usr/bin:/bin",
                                        testsupport::builtProgram("stormglass2"), "--data",
                                        testsupport::builtProgram("")};
    command.insert(command.end(), extra.begin(), extra.end());
    return command;
}

// What a terminal on standard error shows of `command` run in `dir`; standard output, where
// the progress dots go, is discarded.
std::string shownOnTerminal(const std::string& dir, const std::vector<std::string>& command) {
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        const int nothing = open("/dev/null", O_WRONLY);
        std::vector<char*> argv;
        for (const std::string& word : command) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        if (nothing < 0 || dup2(nothing, 1) < 0 || chdir(dir.c_str()) != 0) {
            _exit(127);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    std::string shown;
    if (child < 0) {
        return shown;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(terminal, buffer, sizeof buffer);
        if (got > 0) {
            shown.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;  // EIO once the program has closed the terminal
        }
    }
    close(terminal);
    waitpid(child, nullptr, 0);
    return shown;
}

// The sample bytes of a 16-bit WAV file's data chunk.
std::string wavSamples(const std::string& wav) {
    std::size_t at = 12;
    while (at + 8 <= wav.size()) {
        std::uint32_t size = 0;
        std::memcpy(&size, wav.data() + at + 4, 4);
        if (wav.compare(at, 4, "data") == 0) {
            return wav.substr(at + 8, size);
        }
        at += 8 + size;
    }
    return {};
}

TEST(Capture, MasterHoldsTheSnapshotPicturesAndTheVerySoundSamples) {
    if (!haveFfmpeg()) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    const std::string dir = testsupport::makeTempDirectory("master");
    const std::vector<std::pair<int, int>> marks = {{0, 9}, {0, 33}, {0, 60}, {1, 4}};
    std::vector<std::string> arguments = {"--video",  "show.mkv",  "--wav",
                                          "show.wav", "--quit-at", "1:8"};
    for (const auto& [order, row] : marks) {
        arguments.push_back("--snapshot");
        arguments.push_back(std::to_string(order) + ":" + std::to_string(row) + ":" +
                            std::to_string(order) + "_" + std::to_string(row) + ".png");
    }
    const auto result = runShow(dir, arguments);
    ASSERT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    // Away from a terminal the progress is one line at the end.
    EXPECT_EQ(result.standardError.rfind("show.mkv: ", 0), 0u) << result.standardError;
    EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1)
        << result.standardError;

    // Each pixel 5 wide and 6 tall: the picture shows at 4:3.
    expectFields(probe(dir + "/show.mkv", "v"), {{"codec_name", "ffv1"},
                                                 {"pix_fmt", "bgr0"},
                                                 {"width", "320"},
                                                 {"height", "200"},
                                                 {"sample_aspect_ratio", "5:6"},
                                                 {"display_aspect_ratio", "4:3"},
                                                 {"r_frame_rate", "60/1"}});
    expectFields(probe(dir + "/show.mkv", "a"), {{"codec_name", "flac"},
                                                 {"sample_rate", "44100"},
                                                 {"channels", "2"},
                                                 {"sample_fmt", "s16"}});

    // Sample for sample the sound --wav wrote.
    const std::string flac =
        testsupport::runProgram("/usr/bin/ffmpeg", {"-v", "error", "-i", dir + "/show.mkv", "-map",
                                                    "0:a", "-f", "s16le", "-"})
            .standardOutput;
    const std::string wav = wavSamples(readFile(dir + "/show.wav"));
    EXPECT_GT(wav.size(), 44100u * 4 * 5);
    EXPECT_TRUE(flac == wav) << "decoded " << flac.size() << " bytes, the WAV holds " << wav.size();

    // Frame k is what the screen held at k/60 s: the snapshots' pictures, pixel for pixel.
    const auto index = readIndex(dir + "/show.frames.csv");
    ASSERT_FALSE(index.empty());
    int compared = 0;
    for (const auto& [order, row] : marks) {
        const int k = videoFrameOf(index, order, row);
        if (k < 0) {
            continue;
        }
        const std::string name = std::to_string(order) + "_" + std::to_string(row) + ".png";
        const std::string snapshot = decodeFrame(dir + "/" + name, 0);
        ASSERT_EQ(snapshot.size(), 320u * 200 * 3) << name;
        EXPECT_TRUE(decodeFrame(dir + "/show.mkv", k) == snapshot) << name << ", frame " << k;
        ++compared;
    }
    EXPECT_GE(compared, 3);
    // The picture lasts until the end of the run, one frame after the last presented one.
    const double duration = std::atof(probe(dir + "/show.mkv", "v").at("duration").c_str());
    EXPECT_NEAR(duration, static_cast<double>(index.back().time) / 1000 + 1.0 / 60, 0.02);
    std::filesystem::remove_all(dir);
}

TEST(Capture, UploadCopyShowsEverySourcePixelAsOneBlock) {
    if (!haveFfmpeg()) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    const std::string dir = testsupport::makeTempDirectory("upload");
    const auto result =
        runShow(dir, {"--video", "show.mp4", "--quit-at", "0:20", "--snapshot", "0:12:s.png"});
    ASSERT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    const auto picture = probe(dir + "/show.mp4", "v");
    expectFields(picture, {{"codec_name", "h264"},
                           {"pix_fmt", "yuv420p"},
                           {"width", "1600"},
                           {"height", "1200"},
                           {"sample_aspect_ratio", "1:1"},
                           {"r_frame_rate", "60/1"}});
    expectFields(probe(dir + "/show.mp4", "a"), {{"codec_name", "aac"}});
    const auto index = readIndex(dir + "/show.frames.csv");
    ASSERT_FALSE(index.empty());
    const double duration = std::atof(picture.at("duration").c_str());
    EXPECT_NEAR(duration, static_cast<double>(index.back().time) / 1000 + 1.0 / 60, 0.02);

    // Every 5x6 block holds its source pixel's colour, within what the encoder loses.
    const int k = videoFrameOf(index, 0, 12);
    ASSERT_GE(k, 0);
    const std::string source = decodeFrame(dir + "/s.png", 0);
    const std::string frame =
        decodeFrame(dir + "/show.mp4", k, "in_color_matrix=bt709:in_range=tv");
    ASSERT_EQ(source.size(), 320u * 200 * 3);
    ASSERT_EQ(frame.size(), 1600u * 1200 * 3);
    double error = 0;
    double spread = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int want = static_cast<std::uint8_t>(source[(y * 320 + x) * 3 + c]);
                int low = 255;
                int high = 0;
                for (int dy = 0; dy < 6; ++dy) {
                    for (int dx = 0; dx < 5; ++dx) {
                        const int got = static_cast<std::uint8_t>(
                            frame[((y * 6 + dy) * 1600 + x * 5 + dx) * 3 + c]);
                        error += std::abs(got - want);
                        low = std::min(low, got);
                        high = std::max(high, got);
                    }
                }
                spread += high - low;
            }
        }
    }
    EXPECT_LT(error / (1600.0 * 1200 * 3), 3.0) << "mean error per channel";
    EXPECT_LT(spread / (320.0 * 200 * 3), 8.0) << "mean spread inside a block";

    // Other sizes keep the 4:3 picture through the sample aspect ratio.
    const auto small =
        runShow(dir, {"--video", "small.mp4", "--video-size", "640x400", "--quit-at", "0:2"});
    ASSERT_EQ(small.exitStatus, 0) << small.standardOutput << small.standardError;
    expectFields(
        probe(dir + "/small.mp4", "v"),
        {{"width", "640"}, {"sample_aspect_ratio", "5:6"}, {"display_aspect_ratio", "4:3"}});
    std::filesystem::remove_all(dir);
}

TEST(Capture, RefusalsAndEncoderFailuresLeaveNothingBehind) {
    const std::string dir = testsupport::makeTempDirectory("refusals");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--video", "show.avi"},
          {"--video", "show.mp4", "--video-size", "1601x1200"},
          {"--video", "show.mkv", "--video-size", "640x400"}}) {
        const auto result = runShow(dir, arguments);
        EXPECT_EQ(result.exitStatus, 2) << arguments[1];
        EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1)
            << result.standardError;
    }
    // An encoder that gives up at once: the run ends with its message, and neither the
    // video nor its index is left, not even under a temporary name.
    fakeEncoder(dir, "echo 'refusing to encode today' >&2\nexit 1\n");
    const std::vector<std::string> command =
        withFakeEncoder(dir, {"--video", "show.mkv", "--quit-at", "3:0"});
    const auto result = testsupport::runProgram(
        command.front(), std::vector<std::string>(command.begin() + 1, command.end()), dir);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.standardError.find("show.mkv: the encoder failed (refusing to encode today)"),
              std::string::npos)
        << result.standardOutput << result.standardError;
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"bin"});
    std::filesystem::remove_all(dir);
}

// Seconds on the system's clock, as the fake encoders' `date +%s.%N` writes them.
double secondsNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Starts `command` in `dir` with standard output and error into DIR/out and DIR/err.
pid_t startInDirectory(const std::string& dir, const std::vector<std::string>& command) {
    const pid_t child = fork();
    if (child == 0) {
        const int out =
            open((dir + "/../" + std::filesystem::path(dir).filename().string() + ".out").c_str(),
                 O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err =
            open((dir + "/../" + std::filesystem::path(dir).filename().string() + ".err").c_str(),
                 O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv;
        for (const std::string& word : command) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(dir.c_str()) != 0) {
            _exit(127);
        }
        alarm(30);  // a run that hangs ends here, failing the test instead of the suite
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

// What the child wrote to standard error, read after it ended.
std::string errorsOf(const std::string& dir) {
    const std::string path = dir + "/../" + std::filesystem::path(dir).filename().string();
    const std::string text = readFile(path + ".err");
    std::filesystem::remove(path + ".err");
    std::filesystem::remove(path + ".out");
    return text;
}

// An encoder that ends, is killed, stops itself or never reads, once it has written the
// moment of that into DIR/cause: the run ends within two seconds with status 1, one line
// naming ffmpeg and why, the report written, and no video, index or temporary left.
TEST(Capture, AnEncoderThatEndsStallsOrStopsEndsTheRunWithinTwoSeconds) {
    const std::string dir = testsupport::makeTempDirectory("encoder-ends");
    struct Case {
        std::string script;
        std::string why;
    };
    for (const Case& c : {
             Case{"head -c 2000000 >/dev/null\ndate +%s.%N >cause\nexit 3\n",
                  "ffmpeg ended with status 3"},
             Case{"head -c 2000000 >/dev/null\ndate +%s.%N >cause\nkill -TERM $$\n",
                  "ffmpeg was ended by SIGTERM"},
             // A helper holding the pipes open outlives it: the end is seen, not EPIPE.
             Case{"sleep 30 <&3 &\ndate +%s.%N >cause\nexec kill -KILL $$\n",
                  "ffmpeg was ended by SIGKILL"},
             Case{"date +%s.%N >cause\nkill -STOP $$\n", "ffmpeg was stopped (SIGSTOP)"},
             Case{"date +%s.%N >cause\nexec sleep 30\n", "ffmpeg stopped reading for 1 s"},
         }) {
        SCOPED_TRACE(c.why);
        fakeEncoder(dir, c.script);
        const pid_t child = startInDirectory(
            dir, withFakeEncoder(dir, {"--video", "show.mkv", "--stats", "run.json"}));
        int status = 0;
        waitpid(child, &status, 0);
        const double ended = secondsNow();
        const std::string errors = errorsOf(dir);
        ASSERT_TRUE(WIFEXITED(status)) << errors;
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_EQ(errors, "show.mkv: the encoder failed (" + c.why + ")\n");
        const double cause = std::atof(readFile(dir + "/cause").c_str());
        EXPECT_GT(cause, 0);
        EXPECT_LT(ended - cause, 2.0);
        EXPECT_EQ(testsupport::readRunReport(dir + "/run.json").exitStatus, 1);
        EXPECT_EQ(testsupport::namesIn(dir),
                  (std::vector<std::string>{"bin", "cause", "run.json"}));
        std::filesystem::remove(dir + "/cause");
        std::filesystem::remove(dir + "/run.json");
    }
    std::filesystem::remove_all(dir);
}

// A stop signal ends a video run within two seconds whatever its encoder does, through the
// orderly end; a second signal while that end cannot proceed ends the process at once.
TEST(Capture, StopSignalsEndAVideoRunWhoseEncoderStalled) {
    const std::string dir = testsupport::makeTempDirectory("encoder-signals");
    fakeEncoder(dir, "date +%s.%N >cause\nkill -STOP $$\n");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        const pid_t child = startInDirectory(
            dir, withFakeEncoder(dir, {"--video", "show.mkv", "--stats", "run.json"}));
        while (!std::filesystem::exists(dir + "/cause")) {
            usleep(10'000);
        }
        usleep(300'000);  // the pipes fill and the run waits on the stopped encoder
        const double sent = secondsNow();
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_LT(secondsNow() - sent, 2.0);
        const std::string errors = errorsOf(dir);
        ASSERT_TRUE(WIFEXITED(status)) << errors;
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        EXPECT_EQ(errors, std::string("stormglass2: stopped by SIG") + sigabbrev_np(signal) + "\n");
        EXPECT_EQ(testsupport::readRunReport(dir + "/run.json").exitStatus, 128 + signal);
        EXPECT_EQ(testsupport::namesIn(dir),
                  (std::vector<std::string>{"bin", "cause", "run.json"}));
        std::filesystem::remove(dir + "/cause");
        std::filesystem::remove(dir + "/run.json");
    }
    std::filesystem::remove_all(dir);
}

// The progress and summary lines share standard error with diagnostics and, through a
// redirection, with the progress dots: whatever comes next starts on a line of its own.
TEST(Capture, ProgressNeverRunsIntoTheNextLine) {
    const std::string dir = testsupport::makeTempDirectory("progress");
    // Takes a second and a half of the run, long enough for progress to show, then fails.
    fakeEncoder(dir,
                "timeout 1.5 cat <&3 >/dev/null &\ntimeout 1.5 cat >/dev/null\nwait\n"
                "echo 'gave up' >&2\nexit 1\n");
    const std::string shown =
        shownOnTerminal(dir, withFakeEncoder(dir, {"--video", "show.mkv", "--quit-at", "20:0"}));
    EXPECT_NE(shown.find(" left "), std::string::npos) << "no progress shown: " << shown;
    const std::size_t failure = shown.find("show.mkv: the encoder failed (gave up)\r\n");
    ASSERT_NE(failure, std::string::npos) << shown;
    EXPECT_TRUE(failure > 0 && shown[failure - 1] == '\n') << shown;
    EXPECT_EQ(shown.size(), shown.find('\n', failure) + 1) << "more after the failure: " << shown;

    // An encoder that takes everything: the summary follows the dots in one file.
    fakeEncoder(dir, "cat <&3 >/dev/null &\ncat >/dev/null\nwait\n");
    std::vector<std::string> command = {"/bin/sh", "-c", "exec \"$@\" 2>&1", "sh"};
    for (const std::string& word :
         withFakeEncoder(dir, {"--video", "show.mkv", "--quit-at", "0:8"})) {
        command.push_back(word);
    }
    const auto together = testsupport::runProgram(
        command.front(), std::vector<std::string>(command.begin() + 1, command.end()), dir);
    ASSERT_EQ(together.exitStatus, 0) << together.standardOutput;
    const std::string& text = together.standardOutput;
    const std::size_t summary = text.find("show.mkv: ");
    ASSERT_NE(summary, std::string::npos) << text;
    EXPECT_GT(summary, 0u) << "no progress dots: " << text;
    EXPECT_EQ(text.substr(summary - 2, 2), ".\n") << text;
    std::filesystem::remove_all(dir);
}

}  // namespace
