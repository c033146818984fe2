// What a careless user can hand the program: inputs that are not files or are damaged, songs
// that cannot drive the show, outputs into places that refuse them, paths that collide, signals.
// Each case: the exit status, the one line on standard error, and what is left on disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/support/modules.h"
#include "tests/support/run_program.h"
#include "tests/support/run_report.h"
#include "tests/support/small_disk.h"

namespace {

namespace fs = std::filesystem;
using testsupport::namesIn;

// 40-row patterns at speed 2: the whole show in a few seconds.
testsupport::ModulePlan quickSong(int orders = 33) {
    testsupport::ModulePlan plan;
    plan.orders = orders;
    plan.rows = 40;
    plan.speed = 2;
    return plan;
}

std::string dataDirectory(int orders = 33) {
    const std::string dir = testsupport::makeTempDirectory("robust");
    fs::copy_file(testsupport::builtProgram("sg2.dat"), fs::path(dir) / "sg2.dat");
    testsupport::writeFile(dir + "/sg2.it", testsupport::buildModule(quickSong(orders)));
    return dir;
}

testsupport::ProgramResult run(const std::string& dir, std::vector<std::string> extra) {
    std::vector<std::string> arguments = {"--headless", "--data", dir};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return testsupport::runProgram(testsupport::builtProgram("stormglass2"), arguments, dir, 60);
}

const std::vector<std::string> kDataOnly = {"sg2.dat", "sg2.it"};

TEST(NonRegularInputs, AreRefusedAtOnceWithOneLine) {
    for (const char* name : {"sg2.it", "sg2.dat"}) {
        for (const std::string kind : {"directory", "fifo", "zero"}) {
            SCOPED_TRACE(std::string(name) + " as " + kind);
            const std::string dir = dataDirectory();
            const std::string path = dir + "/" + name;
            fs::remove(path);
            if (kind == "directory") {
                fs::create_directory(path);
            } else if (kind == "fifo") {
                ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
            } else {
                fs::create_symlink("/dev/zero", path);
            }
            const auto result = run(dir, {"--quit-at", "1:0"});
            EXPECT_EQ(result.exitStatus, 1);
            EXPECT_EQ(
                result.standardError,
                path + (kind == "directory" ? ": is a directory\n" : ": is not a regular file\n"));
        }
    }
}

TEST(DamagedModules, CutOrOversizedSoundtracksAreRefused) {
    const std::string dir = dataDirectory();
    const std::string path = dir + "/sg2.it";
    std::vector<std::uint8_t> song;
    {
        std::ifstream in(testsupport::builtProgram("sg2.it"), std::ios::binary);
        song.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    for (const std::size_t keep : {std::size_t{5000}, song.size() / 2, song.size() - 1}) {
        SCOPED_TRACE(keep);
        testsupport::writeFile(path, {song.begin(), song.begin() + static_cast<long>(keep)});
        const auto result = run(dir, {"--quit-at", "1:0"});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.standardError.find(path + ": is damaged: "), 0u) << result.standardError;
        EXPECT_NE(result.standardError.find("runs past the end of the file (" +
                                            std::to_string(keep) + " bytes)\n"),
                  std::string::npos);
        EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1);
    }
    fs::resize_file(path, (64u << 20) + 1);  // sparse: costs no disk
    const auto large = run(dir, {"--quit-at", "1:0"});
    EXPECT_EQ(large.exitStatus, 1);
    EXPECT_EQ(large.standardError, path + ": is too large (67108865 bytes; at most 67108864)\n");
}

TEST(DamagedModules, ASongThatEndsBeforeTheShowEndsTheRun) {
    // 20 orders: the song is over in the middle of the show, which would wait for order 20.
    const std::string dir = dataDirectory(20);
    const auto result = run(dir, {"--stats", dir + "/run.json"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError,
              dir +
                  "/sg2.it: the song ends after order 19, row 39, before the show does "
                  "(order 31, row 36)\n");
    EXPECT_EQ(testsupport::readRunReport(dir + "/run.json").exitStatus, 1);
}

TEST(DamagedModules, AnArchiveOfShortEntriesIsADamagedDataFile) {
    const std::string dir = dataDirectory();
    std::vector<std::string> inputs;
    for (int i = 0; i < 36; ++i) {
        inputs.push_back(dir + "/e" + std::to_string(i));
        testsupport::writeFile(inputs.back(), {1});
    }
    inputs.insert(inputs.begin(), {"pack", dir + "/sg2.dat"});
    ASSERT_EQ(
        testsupport::runProgram(testsupport::builtProgram("tools/sg2-archive/sg2-archive"), inputs)
            .exitStatus,
        0);
    const auto result = run(dir, {"--quit-at", "1:0"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardError,
              dir + "/sg2.dat: entry 0 holds 1 bytes, fewer than the 131072 its slot needs\n");
    EXPECT_EQ(result.standardOutput, "");  // nothing glued to dots: the first load failed
}

TEST(OutputLocations, AreCheckedBeforeTheShowAndLeaveNothing) {
    const std::string dir = dataDirectory();
    fs::create_directory(dir + "/adir");
    testsupport::writeFile(dir + "/afile", {});
    struct Case {
        std::vector<std::string> options;
        std::string line;
    };
    const std::string missing = dir + "/no/such";
    for (const Case& c : {
             Case{{"--stats", missing + ".json"},
                  missing + ".json: cannot be written (No such file or directory)"},
             Case{{"--wav", missing + ".wav"},
                  missing + ".wav: cannot be written (No such file or directory)"},
             Case{{"--snapshot", "0:0:" + missing + ".png"},
                  missing + ".png: cannot be written (No such file or directory)"},
             Case{{"--contact-sheet", missing + ".png"},
                  missing + ".png: cannot be written (No such file or directory)"},
             Case{{"--video", missing + ".mp4"},
                  missing + ".mp4: cannot be written (No such file or directory)"},
             Case{{"--wav", dir + "/adir"}, dir + "/adir: is a directory"},
             Case{{"--wav", "/dev/null"}, "/dev/null: is not a regular file"},
             Case{{"--frames", dir + "/afile"}, dir + "/afile: is not a directory"},
         }) {
        SCOPED_TRACE(c.options.front());
        const auto result = run(dir, c.options);
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.standardError, c.line + "\n");
        EXPECT_EQ(result.standardOutput, "");  // refused before the first dot
        EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"adir", "afile", "sg2.dat", "sg2.it"}));
    }
    testsupport::SmallDisk readOnly(64 * 1024, true);
    if (readOnly.mounted()) {
        const auto result = run(dir, {"--stats", readOnly.path() + "/run.json"});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.standardError,
                  readOnly.path() + "/run.json: cannot be written (Read-only file system)\n");
    }
}

TEST(FullDisk, AFailedWriteEndsTheRunAndLeavesNoPartialFile) {
    testsupport::SmallDisk disk(256 * 1024);
    if (!disk.mounted()) {
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    }
    const std::string dir = dataDirectory();
    // Two orders of sound are about 1.6 MB: the disk fills while the show runs.
    const auto wav = run(
        dir, {"--quit-at", "3:0", "--wav", disk.path() + "/a.wav", "--stats", dir + "/run.json"});
    EXPECT_EQ(wav.exitStatus, 1);
    EXPECT_EQ(wav.standardError,
              disk.path() + "/a.wav: cannot be written (No space left on device)\n");
    EXPECT_TRUE(namesIn(disk.path()).empty());
    EXPECT_EQ(testsupport::readRunReport(dir + "/run.json").exitStatus, 1);

    // Frames: those written before the disk filled are whole pictures; the one that did not
    // fit is absent.
    const auto frames = run(dir, {"--quit-at", "3:0", "--frames", disk.path() + "/f"});
    EXPECT_EQ(frames.exitStatus, 1);
    EXPECT_NE(frames.standardError.find(": cannot be written (No space left on device)\n"),
              std::string::npos);
    const auto names = namesIn(disk.path() + "/f");
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        EXPECT_EQ(name.front(), 'f') << "a temporary file was left: " << name;
        std::ifstream png(disk.path() + "/f/" + name, std::ios::binary | std::ios::ate);
        const auto size = static_cast<std::size_t>(png.tellg());
        std::vector<char> tail(12);
        png.seekg(static_cast<std::streamoff>(size - 12));
        png.read(tail.data(), 12);
        EXPECT_EQ(std::string(tail.data() + 4, 4), "IEND") << name;
    }
}

TEST(Conflicts, CollidingPathsAndContradictionsAreRefusedBeforeAnythingIsWritten) {
    const std::string dir = dataDirectory();
    struct Case {
        std::vector<std::string> arguments;
        std::string line;
    };
    const std::string f = dir + "/F";
    for (const Case& c : {
             Case{{"--headless", "--stats", f, "--wav", f},
                  f + ": given for both --stats and --wav"},
             Case{{"--video", f + ".mkv", "--wav", f + ".mkv"},
                  f + ".mkv: given for both --wav and --video"},
             Case{{"--headless", "--snapshot", "0:0:" + f, "--snapshot", "1:0:" + f},
                  f + ": given for both --snapshot and --snapshot"},
             Case{{"--headless", "--stats", dir + "/sg2.dat"},
                  dir + "/sg2.dat: given for both the data file and --stats"},
             Case{{"--frames", dir + "/frames"},
                  "stormglass2: --frames, --snapshot and --wav need --headless"},
             Case{{"--headless", "--fullscreen"},
                  "stormglass2: --fullscreen chooses how the desktop shows the demo; a headless "
                  "run (--headless, --video, --contact-sheet) has no desktop"},
             Case{{"--headless", "--every", "2"}, "stormglass2: --every needs --frames"},
             Case{{"--headless", "--wav", ""}, "stormglass2: --wav: expected a path, got ''"},
             // What --frames writes in its directory is taken, whoever asks for it.
             Case{{"--headless", "--frames", f, "--wav", f + "/frames.csv"},
                  f + "/frames.csv: given for both --frames and --wav"},
             Case{{"--headless", "--frames", f, "--snapshot", "0:0:" + f + "/frame_000000.png"},
                  f + "/frame_000000.png: given for both --frames and --snapshot"},
             Case{{"--headless", "--frames", f, "--every", "3", "--stats", f + "/frame_000003.png"},
                  f + "/frame_000003.png: given for both --frames and --stats"},
         }) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> arguments = {"--data", dir};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const auto result =
            testsupport::runProgram(testsupport::builtProgram("stormglass2"), arguments, dir, 60);
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_EQ(result.standardError, c.line + "\n");
        EXPECT_EQ(namesIn(dir), kDataOnly);
    }
    // A snapshot the run never reaches was not written: a failure, said on one line.
    const auto late = run(dir, {"--quit-at", "1:0", "--snapshot", "9:0:" + dir + "/late.png"});
    EXPECT_EQ(late.exitStatus, 1);
    EXPECT_EQ(late.standardError.find(dir + "/late.png: not written: the run ended at order 1"), 0u)
        << late.standardError;
    EXPECT_EQ(namesIn(dir), kDataOnly);
}

// Starts the program on `arguments` in `dir` with standard output on `out` (closed when -1)
// and standard error into `errors`.
pid_t startProgram(const std::string& dir, const std::vector<std::string>& arguments, int out,
                   const std::string& errors) {
    const std::string program = testsupport::builtProgram("stormglass2");
    const pid_t child = fork();
    if (child == 0) {
        const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        if (out >= 0) {
            dup2(out, 1);
        } else {
            close(1);
        }
        dup2(err, 2);
        std::vector<char*> argv = {const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        if (chdir(dir.c_str()) != 0) {
            _exit(127);
        }
        alarm(30);  // a run that hangs ends here, failing the test instead of the suite
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return child;
}

TEST(Signals, StopAHeadlessRunThroughTheShutdownRemovingItsRecordings) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        const std::string dir = dataDirectory();
        const std::string errors = dir + "/../" + fs::path(dir).filename().string() + ".err";
        const int null = open("/dev/null", O_WRONLY);
        const pid_t child =
            startProgram(dir,
                         {"--headless", "--data", dir, "--wav", dir + "/a.wav", "--frames",
                          dir + "/fr", "--every", "50", "--stats", dir + "/run.json"},
                         null, errors);
        close(null);
        // Once the show plays (the temporary WAV exists), stop it.
        for (int i = 0; i < 400; ++i) {
            const auto names = namesIn(dir);
            if (std::any_of(names.begin(), names.end(),
                            [](const std::string& n) { return n.starts_with(".a.wav"); })) {
                break;
            }
            usleep(25'000);
        }
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        EXPECT_EQ(testsupport::fileContents(errors),
                  std::string("stormglass2: stopped by SIG") + sigabbrev_np(signal) + "\n");
        EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"fr", "run.json", "sg2.dat", "sg2.it"}));
        for (const std::string& name : namesIn(dir + "/fr")) {
            EXPECT_TRUE(name.starts_with("frame_")) << name << " was left";
        }
        EXPECT_EQ(testsupport::readRunReport(dir + "/run.json").exitStatus, 128 + signal);
        fs::remove(errors);
    }
}

// A file-size limit refuses the WAV's writes and raises SIGXFSZ: the same orderly end, with
// the signal's status and the file named.
TEST(Signals, AFileSizeLimitEndsTheRunInOrderWithItsSignalsStatus) {
    const std::string dir = dataDirectory();
    const auto result = testsupport::runProgram(
        "/bin/sh",
        {"-c", "ulimit -f 1000; exec \"$0\" \"$@\"", testsupport::builtProgram("stormglass2"),
         "--headless", "--data", dir, "--quit-at", "3:0", "--wav", dir + "/a.wav", "--stats",
         dir + "/run.json"},
        dir, 60);
    EXPECT_EQ(result.exitStatus, 128 + SIGXFSZ);
    EXPECT_EQ(result.standardError, dir + "/a.wav: cannot be written (File too large)\n");
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"run.json", "sg2.dat", "sg2.it"}));
    EXPECT_EQ(testsupport::readRunReport(dir + "/run.json").exitStatus, 128 + SIGXFSZ);
}

// A run whose standard output cannot take its dots (a full pipe nobody reads) cannot end in
// order; a second SIGINT must end it at once.
TEST(Signals, ASecondSignalEndsARunThatCannotStopInOrder) {
    const std::string dir = dataDirectory();
    const std::string errors = dir + "/../" + fs::path(dir).filename().string() + ".err";
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    fcntl(ends[1], F_SETFL, O_NONBLOCK);
    const std::string fill(4096, 'x');
    while (write(ends[1], fill.data(), fill.size()) > 0) {
    }
    fcntl(ends[1], F_SETFL, 0);
    const pid_t child = startProgram(dir, {"--headless", "--data", dir}, ends[1], errors);
    close(ends[1]);
    usleep(500'000);  // blocked on its first dot
    kill(child, SIGINT);
    usleep(300'000);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, WNOHANG), 0) << "it ended with its standard output full";
    kill(child, SIGINT);
    for (int i = 0; i < 200 && waitpid(child, &status, WNOHANG) == 0; ++i) {
        usleep(10'000);
    }
    if (kill(child, 0) == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        ADD_FAILURE() << "a second SIGINT did not end the run";
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    close(ends[0]);
    fs::remove(errors);
}

// Standard output closed (so the first file opened would take descriptor 1) or a pipe whose
// reader has gone: the show runs to its end as it would, and the dots are simply lost.
TEST(StandardOutput, ClosedOrBrokenChangesNothingTheRunWrites) {
    const std::string dir = dataDirectory();
    const std::string errors = dir + "/../" + fs::path(dir).filename().string() + ".err";
    const std::vector<std::string> common = {"--headless", "--data", dir, "--quit-at", "3:0"};
    auto runWith = [&](int out, const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> arguments = common;
        arguments.insert(arguments.end(), {"--stats", dir + "/" + name + ".json"});
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        int status = 0;
        waitpid(startProgram(dir, arguments, out, errors), &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name;
        EXPECT_EQ(testsupport::fileContents(errors), "") << name;
        return testsupport::readRunReport(dir + "/" + name + ".json");
    };
    const int null = open("/dev/null", O_WRONLY);
    const auto plain = runWith(null, "plain", {});
    close(null);
    const auto closed = runWith(-1, "closed", {"--frames", dir + "/fr", "--every", "40"});
    EXPECT_EQ(testsupport::fileContents(dir + "/fr/frames.csv").substr(0, 32),
              "frame,time_ms,order,row,scene\n0,");
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const auto broken = runWith(ends[1], "broken", {});
    close(ends[1]);
    ASSERT_FALSE(plain.scenes.empty());
    for (const auto* other : {&closed, &broken}) {
        ASSERT_EQ(other->scenes.size(), plain.scenes.size());
        for (std::size_t i = 0; i < plain.scenes.size(); ++i) {
            EXPECT_EQ(other->scenes[i].hash, plain.scenes[i].hash) << "scene " << i + 1;
            EXPECT_EQ(other->scenes[i].frames, plain.scenes[i].frames) << "scene " << i + 1;
        }
    }
    fs::remove(errors);
}

TEST(Determinism, TwoHeadlessRunsWriteTheSameSound) {
    const std::string dir = dataDirectory();
    ASSERT_EQ(run(dir, {"--quit-at", "2:0", "--wav", dir + "/one.wav"}).exitStatus, 0);
    ASSERT_EQ(run(dir, {"--quit-at", "2:0", "--wav", dir + "/two.wav"}).exitStatus, 0);
    auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string one = bytes(dir + "/one.wav");
    EXPECT_GT(one.size(), 44u + 44100u * 4);
    EXPECT_EQ(one.substr(0, 4), "RIFF");
    EXPECT_TRUE(one == bytes(dir + "/two.wav"));
}

// The WAV as another program reads it: the header's rate, byte rate and block size agree with
// each other and its length with the samples it holds.
TEST(Determinism, AnIndependentReaderAgreesWithTheWavHeader) {
    if (std::system("command -v ffprobe >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffprobe is not installed";
    }
    const std::string dir = dataDirectory();
    ASSERT_EQ(run(dir, {"--quit-at", "2:0", "--wav", dir + "/a.wav"}).exitStatus, 0);
    const auto probed = testsupport::runProgram(
        "/usr/bin/ffprobe", {"-v", "error", "-show_entries",
                             "stream=sample_rate,channels,bits_per_sample,bit_rate,duration_ts",
                             "-of", "default=noprint_wrappers=1", dir + "/a.wav"});
    std::map<std::string, long> field;
    std::istringstream lines(probed.standardOutput);
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) {
            field[line.substr(0, equals)] = std::atol(line.c_str() + equals + 1);
        }
    }
    EXPECT_EQ(field["sample_rate"], 44100) << probed.standardOutput;
    EXPECT_EQ(field["channels"], 2);
    EXPECT_EQ(field["bits_per_sample"], 16);
    // ffprobe takes the bit rate from the header's byte rate.
    EXPECT_EQ(field["bit_rate"],
              field["sample_rate"] * field["channels"] * field["bits_per_sample"]);
    const auto size = static_cast<long>(fs::file_size(dir + "/a.wav"));
    EXPECT_GT(field["duration_ts"], 44100);
    EXPECT_EQ(field["duration_ts"] * field["channels"] * field["bits_per_sample"] / 8 + 44, size);
}

}  // namespace
