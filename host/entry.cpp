#include "host/entry.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "core/console.h"
#include "core/output.h"
#include "core/picture.h"
#include "core/stop.h"
#include "display/modes.h"
#include "display/present.h"
#include "display/state.h"
#include "display/surfaces.h"
#include "host/capture.h"
#include "host/data_search.h"
#include "host/frame_index.h"
#include "host/launcher.h"
#include "host/options.h"
#include "host/play.h"
#include "host/process.h"
#include "host/recording.h"
#include "host/report.h"
#include "host/screen.h"
#include "host/settings.h"
#include "host/shutdown.h"
#include "image/png.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/music.h"
#include "platform/page_loop.h"
#include "platform/video.h"
#include "sequencer/music.h"
#include "sequencer/pacing.h"
#include "sequencer/scenes.h"
#include "sequencer/show.h"
#include "sequencer/state.h"
#include "store/store.h"

namespace host {

namespace {

Options options;
std::size_t presentedFrames = 0;
int currentScene = 0;
std::uint32_t playStartMs = 0;
FrameIndex framesIndex;          // DIR/frames.csv beside the frame pictures
FrameIndex videoIndex;           // FILE.frames.csv beside the video
core::SongPosition progressEnd;  // where the run is expected to end, for the video's progress
std::array<bool, sequencer::kSceneCount> tileTaken{};
std::vector<bool> snapshotTaken;
RgbFrame screenPixels;
bool framesFailed = false;  // a frame picture, snapshot or the video could not be written

// The position the current frame read.
core::SongPosition songNow() {
    return {sequencer::sceneState.musicOrder, sequencer::sceneState.musicRow};
}

// Writes the decoded screen to `path`; a picture that cannot be written fails the run.
bool writeScreen(const std::string& path) {
    std::string error;
    if (!image::writePng(path, core::kPictureWidth, core::kPictureHeight, screenPixels,
                         image::kQuickLevel, &error)) {
        core::errorLine(path + ": " + error);
        framesFailed = true;
        return false;
    }
    return true;
}

// What the headless screen received: frame dumps and snapshots read it back as RGB. A failure
// is reported once and ends the run after this frame.
void onFramePresented(const platform::PresentedFrame& frame) {
    if (framesFailed) {
        return;
    }
    const bool dumpFrame = !options.framesDirectory.empty() &&
                           presentedFrames % static_cast<std::size_t>(options.every) == 0;
    bool decoded = false;
    auto decode = [&] {
        if (!decoded) {
            stagingToRgb(frame, screenPixels);
            decoded = true;
        }
    };
    if (dumpFrame) {
        decode();
        if (!writeScreen(options.framesDirectory + "/" + framePictureName(presentedFrames))) {
            return;
        }
    }
    for (std::size_t i = 0; i < options.snapshots.size(); ++i) {
        const Snapshot& snapshot = options.snapshots[i];
        if (!snapshotTaken[i] && core::reached(snapshot.at, songNow())) {
            decode();
            if (!writeScreen(snapshot.path)) {
                return;
            }
            snapshotTaken[i] = true;
        }
    }
    const std::uint32_t milliseconds = sequencer::clock().milliseconds() - playStartMs;
    const IndexedFrame indexed{presentedFrames, milliseconds, sequencer::sceneState.musicOrder,
                               sequencer::sceneState.musicRow, currentScene};
    framesIndex.add(indexed);
    videoIndex.add(indexed);
    if (!options.videoPath.empty()) {
        decode();
        videoScreenChanged(screenPixels, milliseconds, songProgress(songNow(), progressEnd));
        if (videoFailed()) {
            std::string error;
            finishVideo(milliseconds, error);
            core::errorLine(error);
            framesFailed = true;
            return;
        }
    }
    if (!options.contactSheetPath.empty() && currentScene > 0 &&
        !tileTaken[static_cast<std::size_t>(currentScene - 1)]) {
        if (core::reached(sceneMiddle(currentScene), songNow())) {
            decode();
            keepContactTile(currentScene, screenPixels);
            tileTaken[static_cast<std::size_t>(currentScene - 1)] = true;
        }
    }
    ++presentedFrames;
}

void onPreparationDone() {
    reportPreparationDone();
    playStartMs = sequencer::clock().milliseconds();
}

void onSceneBegan(int sceneNumber) {
    currentScene = sceneNumber;
    reportSceneBegan(sceneNumber);
}

// Keeps the recordings asked for when the run ends well (a quit included); a failed run
// leaves none of them behind.
void finishRecordings(int& status) {
    std::string error;
    if (status != 0) {
        abandonVideo();
        return;
    }
    auto fail = [&] {
        core::errorLine(error);
        error.clear();
        status = 1;
    };
    if (!options.videoPath.empty()) {
        const std::uint32_t end = sequencer::clock().milliseconds() - playStartMs;
        if (!finishVideo(end, error)) {
            fail();
        }
    }
    if (!videoIndex.commit(error)) {
        fail();
    }
    if (!framesIndex.commit(error)) {
        fail();
    }
    if (!options.contactSheetPath.empty() && !writeContactSheet(options.contactSheetPath, error)) {
        error = options.contactSheetPath + ": " + error;
        fail();
    }
}

// A snapshot whose moment the run never reached was asked for and not written: a failure.
void checkSnapshots(int& status) {
    for (std::size_t i = 0; i < options.snapshots.size() && status == 0; ++i) {
        if (!snapshotTaken[i]) {
            const Snapshot& snapshot = options.snapshots[i];
            core::errorLine(snapshot.path + ": not written: the run ended at order " +
                            std::to_string(sequencer::sceneState.musicOrder) + ", row " +
                            std::to_string(sequencer::sceneState.musicRow) + ", before order " +
                            std::to_string(snapshot.at.order) + ", row " +
                            std::to_string(snapshot.at.row));
            status = 1;
        }
    }
}

std::string dataFile(const char* name) {
    return (std::filesystem::path(options.dataDirectory) / name).string();
}

// FILE.frames.csv beside FILE.mkv or FILE.mp4.
std::string videoIndexPath() {
    return std::filesystem::path(options.videoPath).replace_extension(".frames.csv").string();
}

// Every file the run will write, checked before anything is: one line and status 2 for paths
// that collide (with each other or with the data), 1 for a location that cannot take a file.
std::optional<core::OutputProblem> checkOutputs() {
    core::OutputPlan plan;
    plan.addInput(dataFile("sg2.dat"), "the data file");
    plan.addInput(dataFile("sg2.it"), "the soundtrack");
    const std::pair<const std::string&, const char*> files[] = {
        {options.statsPath, "--stats"},
        {options.wavPath, "--wav"},
        {options.videoPath, "--video"},
        {options.contactSheetPath, "--contact-sheet"}};
    for (const auto& [path, role] : files) {
        if (!path.empty()) {
            plan.addFile(path, role);
        }
    }
    if (!options.videoPath.empty()) {
        plan.addFile(videoIndexPath(), "the video's frame index");
    }
    for (const Snapshot& snapshot : options.snapshots) {
        plan.addFile(snapshot.path, "--snapshot");
    }
    if (!options.framesDirectory.empty()) {
        plan.addDirectory(options.framesDirectory, "--frames", [](const std::string& name) {
            return writesInFramesDirectory(name, options.every);
        });
    }
    return plan.check();
}

void onFrameBegan() {
    reportFrameBegan();
    if (options.quitAt && core::reached(*options.quitAt, songNow())) {
        display::video().postQuit();
    }
}

void chooseHeadlessBackends() {
    platform::HeadlessVideoOptions video;
    video.desktop.width = 640;
    video.desktop.height = 480;
    video.desktop.bitsPerPixel = options.formatBits;
    video.desktop.greenMask =
        options.formatBits == 16 ? (options.greenIs6Bit ? 0x7E0u : 0x3E0u) : 0xFF00u;
    video.frameSink = &onFramePresented;
    platform::configureHeadlessVideo(std::move(video));
    display::useVideo(platform::headlessVideo());
    platform::setMessagesToConsole(true);
    sequencer::useClock(platform::virtualClock());
    sequencer::useMusicPlayer(
        platform::clockedMusic(platform::virtualClock(), options.wavPath,
                               options.videoPath.empty() ? nullptr : &videoSound));
}

// Each released frame: expanded and presented on the chosen video (headless: handed to
// onFramePresented; the desktop: handed over to the main thread, labelled with its scene).
void presentFrame() {
    reportFrameReleased(sequencer::clock().milliseconds());
    display::video().labelFrames(currentScene);
    display::expandFrame();
    display::presentFrame();
}

bool outputsFailed() {
    return framesFailed;
}

bool quitAsked() {
    return display::video().pumpEvents();
}

// The run's end: a failed or stopped run removes the recordings it had not finished, then the
// one shutdown; a recording the shutdown could not finish fails a run that was going well.
int finishRun(const RunEnd& end) {
    int status = exitStatus(end);
    if (status != 0) {
        core::abandonOutputs();
    }
    if (!shutDown() && status == 0) {
        status = 1;
    }
    return status;
}

// The browser's loop: one turn per animation frame, the run's end from the last.
TurnPlay* pagePlay = nullptr;

bool pageTurn() {
    if (!pagePlay->turn()) {
        return false;
    }
    exitProcess(finishRun(pagePlay->end()));
}

// What the command line asks for before anything is opened: a bad line, --help or --version,
// missing data or outputs that cannot be written end the run here, with its status.
std::optional<int> readCommandLine(const std::vector<std::string>& arguments) {
    std::string error;
    const auto parsed = parseOptions(arguments, error);
    if (!parsed) {
        std::fprintf(stderr, "stormglass2: %s\n", error.c_str());
        return 2;
    }
    options = *parsed;
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("stormglass2 %s\n", SG2_VERSION);
        return 0;
    }
    if (options.dataDirectory.empty()) {
        const auto places = dataSearchPlaces(processEnvironment());
        const auto found = findDataDirectory(places);
        if (!found) {
            std::fprintf(stderr, "%s\n", dataNotFoundMessage(places).c_str());
            return 1;
        }
        options.dataDirectory = found->string();
    } else if (const auto line = missingDataFileLine(options.dataDirectory)) {
        core::errorLine(*line);
    }
    if (const auto problem = checkOutputs()) {
        core::errorLine(problem->line);
        return problem->status;
    }
    return std::nullopt;
}

// Opens the recordings asked for and installs the work each does when the run ends; a
// recording that cannot start ends the run with status 1.
bool openRecordings() {
    std::string error;
    snapshotTaken.assign(options.snapshots.size(), false);
    if (!options.framesDirectory.empty() &&
        !framesIndex.open(options.framesDirectory + "/" + kFrameIndexName, error)) {
        core::errorLine(error);
        return false;
    }
    if (!options.videoPath.empty()) {
        VideoRequest request;
        request.path = options.videoPath;
        request.kind = *videoKindFor(options.videoPath);
        request.size = options.videoSize.value_or(VideoSize{});
        if (!startVideo(request, error)) {
            core::errorLine(options.videoPath + ": " + error);
            return false;
        }
        if (!videoIndex.open(videoIndexPath(), error)) {
            core::errorLine(error);
            return false;
        }
        progressEnd = runEnd(options.quitAt);
    }
    // The report's hook is added first so that it runs last, with the status the recordings
    // leave.
    if (!options.statsPath.empty()) {
        startReport(options.statsPath);
        display::setPutFrameObserver(&reportFrameHanded);
        display::setPresentObserver(&reportFramePresented);
    }
    addExitHook(&finishRecordings);
    if (!options.snapshots.empty()) {
        addExitHook(&checkSnapshots);
    }
    return true;
}

// The mode list and the launch settings: headless ones, or the launcher's or the command
// line's on the desktop. Empty when the run goes on; else its status.
std::optional<int> chooseSettings() {
    if (options.headless) {
        display::buildModeList();
        launchSettings.modeIndex = display::state.modeCount > 1 ? 1 : 0;
        launchSettings.windowed = false;
    } else {
        const bool launcherWanted = !options.dance && !options.trailLevel;
        switch (startDesktop(launcherWanted, options.display)) {
            case DesktopStart::Run:
                break;
            case DesktopStart::Left:
                return 0;  // "Exit", Escape or a closed launcher: nothing else was started
            case DesktopStart::Failed:
                return 1;
        }
        sequencer::useClock(platform::realClock());
        sequencer::useMusicPlayer(platform::deviceMusic());
    }
    if (options.dance) {
        launchSettings.dance = true;
    }
    if (options.trailLevel) {
        launchSettings.trailLevel = *options.trailLevel;
    }
    return std::nullopt;
}

// Sound, soundtrack, display and screen buffers, then the show through the loop that suits
// the way of playing; every way out goes through the one shutdown.
int playShow() {
    sequencer::useStereoMix(options.stereo);
    sequencer::startSoundOutput();
    if (!sequencer::loadSong(dataFile("sg2.it")) || display::setUpDisplay(launchSettings) == 0) {
        return finishRun({RunEnd::Kind::Failed});
    }
    if (!display::allocateScreenBuffers()) {
        core::errorLine("stormglass2: not enough memory for the screen buffers");
        return finishRun({RunEnd::Kind::Failed});
    }
    sequencer::ShowHooks hooks;
    hooks.preparationDone = &onPreparationDone;
    hooks.sceneBegan = &onSceneBegan;
    hooks.frameBegan = &onFrameBegan;
    FrameOutput output;
    output.present = &presentFrame;
    output.failed = &outputsFailed;
    output.quitAsked = &quitAsked;
    if (platform::pageOwnsLoop()) {
        // The page calls the turns: the show and its loop outlive this function's frame.
        static sequencer::Show pageShow;
        pageShow.setHooks(hooks);
        static TurnPlay turns(pageShow, launchSettings, output, options.headless);
        pagePlay = &turns;
        platform::handLoopToPage(&pageTurn, options.headless);
        return finishRun(turns.end());
    }
    sequencer::Show show;
    show.setHooks(hooks);
    auto play = [&] { return playBlocking(show, launchSettings, output); };
    if (!options.headless && display::video().startHandoff()) {
        return finishRun(playBesideScreen(display::video(), play));
    }
    return finishRun(play());
}

}  // namespace

int runProgram(const std::vector<std::string>& arguments) {
    // A run starts from nothing (tests run the entry more than once in one process).
    presentedFrames = 0;
    currentScene = 0;
    framesFailed = false;
    tileTaken = {};
    launchSettings = {};
    if (const auto status = readCommandLine(arguments)) {
        return *status;
    }
    core::catchStopSignals(options.headless);
    if (!openRecordings()) {
        return 1;
    }
    if (options.headless) {
        chooseHeadlessBackends();
    }
    setTraceShutdown(options.traceShutdown);
    store::setDataFilePath(dataFile("sg2.dat"));
    if (const auto status = chooseSettings()) {
        return *status;
    }
    return playShow();
}

}  // namespace host
