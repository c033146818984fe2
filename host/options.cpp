#include "host/options.h"

#include <algorithm>
#include <charconv>

#include "host/launcher.h"

namespace host {

namespace {

bool parseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto [next, failure] = std::from_chars(text.data(), end, value);
    return failure == std::errc{} && next == end;
}

bool parseMark(const std::string& text, SongPosition& mark, std::string* rest) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        return false;
    }
    std::string rowText = text.substr(colon + 1);
    if (rest != nullptr) {
        const auto second = rowText.find(':');
        if (second == std::string::npos) {
            return false;
        }
        *rest = rowText.substr(second + 1);
        rowText = rowText.substr(0, second);
    }
    int order = 0;
    int row = 0;
    if (!parseInt(text.substr(0, colon), order) || !parseInt(rowText, row) || order < 0 ||
        row < 0) {
        return false;
    }
    mark = {order, row};
    return true;
}

// Options that cannot all be honoured: one line naming them, or empty.
std::string contradiction(const Options& options, const std::vector<std::string>& displayGiven,
                          bool everyGiven) {
    if (options.help || options.version) {
        return {};
    }
    auto given = [&](const char* name) {
        return std::find(displayGiven.begin(), displayGiven.end(), name) != displayGiven.end();
    };
    if (given("--windowed") && given("--fullscreen")) {
        return "--windowed and --fullscreen contradict each other";
    }
    if (options.headless && !displayGiven.empty()) {
        return displayGiven.front() +
               " chooses how the desktop shows the demo; a headless run (--headless, --video, "
               "--contact-sheet) has no desktop";
    }
    if (everyGiven && options.framesDirectory.empty()) {
        return "--every needs --frames";
    }
    if (!options.headless && (!options.framesDirectory.empty() || !options.snapshots.empty() ||
                              !options.wavPath.empty())) {
        return "--frames, --snapshot and --wav need --headless";
    }
    return {};
}

// H.264 in 4:2:0 wants even sides.
constexpr int kSmallestVideoSide = 16;
constexpr int kLargestVideoSide = 8192;

std::optional<VideoSize> parseVideoSize(const std::string& text) {
    const auto x = text.find('x');
    VideoSize size;
    if (x == std::string::npos || !parseInt(text.substr(0, x), size.width) ||
        !parseInt(text.substr(x + 1), size.height)) {
        return std::nullopt;
    }
    for (int side : {size.width, size.height}) {
        if (side < kSmallestVideoSide || side > kLargestVideoSide || side % 2 != 0) {
            return std::nullopt;
        }
    }
    return size;
}

}  // namespace

const char* usageText() {
    return "usage: stormglass2 [options]\n"
           "  (no options)          open the launcher, then play the show\n"
           "  --windowed, --fullscreen, --mode WxHxD\n"
           "                        play on the desktop with these settings, without the launcher\n"
           "  --headless            no window, no sound device: a virtual clock, as fast as "
           "possible\n"
           "  --data DIR            where sg2.dat and sg2.it are (default: the current directory,\n"
           "                        then beside the program, then its ../share/stormglass2,\n"
           "                        then stormglass2/ in the XDG data directories)\n"
           "  --frames DIR          write every presented frame as DIR/frame_NNNNNN.png, and\n"
           "                        DIR/frames.csv: frame, time_ms, order, row, scene of each\n"
           "  --every N             with --frames, only every N-th frame\n"
           "  --wav FILE            write the headless run's sound to FILE\n"
           "  --snapshot O:R:FILE   write the first frame presented at or after order O, row R\n"
           "  --format 32|24|565|555  headless staging pixel format (default 32)\n"
           "  --trail 0..3          motion trail: 0 none, 1 longest, 2 medium, 3 shortest\n"
           "  --dance               the dancers in the waving-landscape scene\n"
           "  --stereo              play the soundtrack in stereo, as the module pans it\n"
           "  --quit-at O:R         press Escape on the first frame at or after order O, row R\n"
           "  --stats FILE.json     write a per-scene report of the run\n"
           "  --video FILE.mkv      render the show headless (with ffmpeg) into a lossless "
           "master:\n"
           "                        FFV1 RGB 320x200 at 60 fps shown at 4:3, FLAC sound with the\n"
           "                        very samples --wav writes; and FILE.frames.csv\n"
           "  --video FILE.mp4      the same into an upload copy: H.264 and AAC at --video-size\n"
           "  --video-size WxH      the upload copy's size (default 1600x1200: every source pixel "
           "a\n"
           "                        uniform 5x6 block, exactly 4:3); its multiples also give\n"
           "                        uniform blocks with square pixels, other multiples of 320x200\n"
           "                        uniform blocks the player widens to 4:3, any other size\n"
           "                        uneven ones\n"
           "  --contact-sheet FILE.png  one labelled frame from the middle of every scene\n"
           "  --trace-shutdown      print each shutdown step on standard error\n"
           "  --help, --version\n";
}

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    std::vector<std::string> displayGiven;
    bool everyGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) {
                error = name + ": needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        // A path option: an empty one names no file and is refused, not taken as "here".
        auto path = [&](std::string& out) {
            if (!value(out)) {
                return false;
            }
            if (out.empty()) {
                error = name + ": expected a path, got ''";
                return false;
            }
            return true;
        };
        std::string text;
        if (name == "--headless") {
            options.headless = true;
        } else if (name == "--dance") {
            options.dance = true;
        } else if (name == "--stereo") {
            options.stereo = true;
        } else if (name == "--trace-shutdown") {
            options.traceShutdown = true;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--data") {
            if (!path(options.dataDirectory)) {
                return std::nullopt;
            }
        } else if (name == "--frames") {
            if (!path(options.framesDirectory)) {
                return std::nullopt;
            }
        } else if (name == "--wav") {
            if (!path(options.wavPath)) {
                return std::nullopt;
            }
        } else if (name == "--stats") {
            if (!path(options.statsPath)) {
                return std::nullopt;
            }
        } else if (name == "--video") {
            if (!value(options.videoPath)) {
                return std::nullopt;
            }
            if (!videoKindFor(options.videoPath)) {
                error = "--video: '" + options.videoPath +
                        "' must end in .mkv (lossless master) or .mp4 (upload copy)";
                return std::nullopt;
            }
            options.headless = true;
        } else if (name == "--video-size") {
            if (!value(text)) {
                return std::nullopt;
            }
            const auto size = parseVideoSize(text);
            if (!size) {
                error = "--video-size: expected WxH, even numbers from " +
                        std::to_string(kSmallestVideoSide) + " to " +
                        std::to_string(kLargestVideoSide) + ", got '" + text + "'";
                return std::nullopt;
            }
            options.videoSize = size;
        } else if (name == "--contact-sheet") {
            if (!path(options.contactSheetPath)) {
                return std::nullopt;
            }
            options.headless = true;
        } else if (name == "--every") {
            if (!value(text)) {
                return std::nullopt;
            }
            everyGiven = true;
            if (!parseInt(text, options.every) || options.every < 1) {
                error = "--every: expected a whole number of 1 or more, got '" + text + "'";
                return std::nullopt;
            }
        } else if (name == "--trail") {
            if (!value(text)) {
                return std::nullopt;
            }
            int level = 0;
            if (!parseInt(text, level) || level < 0 || level > 3) {
                error = "--trail: expected 0, 1, 2 or 3, got '" + text + "'";
                return std::nullopt;
            }
            options.trailLevel = level;
        } else if (name == "--format") {
            if (!value(text)) {
                return std::nullopt;
            }
            if (text == "32" || text == "24") {
                options.formatBits = text == "32" ? 32 : 24;
            } else if (text == "565" || text == "555") {
                options.formatBits = 16;
                options.greenIs6Bit = text == "565";
            } else {
                error = "--format: expected 32, 24, 565 or 555, got '" + text + "'";
                return std::nullopt;
            }
        } else if (name == "--quit-at") {
            if (!value(text)) {
                return std::nullopt;
            }
            SongPosition mark;
            if (!parseMark(text, mark, nullptr)) {
                error = "--quit-at: expected ORDER:ROW, got '" + text + "'";
                return std::nullopt;
            }
            options.quitAt = mark;
        } else if (name == "--snapshot") {
            if (!value(text)) {
                return std::nullopt;
            }
            Snapshot snapshot;
            if (!parseMark(text, snapshot.at, &snapshot.path) || snapshot.path.empty()) {
                error = "--snapshot: expected ORDER:ROW:FILE.png, got '" + text + "'";
                return std::nullopt;
            }
            options.snapshots.push_back(snapshot);
        } else {
            // The display options (--windowed, --fullscreen, --mode) belong to the launcher.
            const int taken = parseDisplayOption(arguments, i);
            if (taken < 0) {
                error = kBadModeLine;
                return std::nullopt;
            }
            if (taken == 0) {
                error = "unknown option '" + name + "' (see --help)";
                return std::nullopt;
            }
            displayGiven.push_back(name);
            i += static_cast<std::size_t>(taken - 1);
        }
    }
    if (options.videoSize && videoKindFor(options.videoPath) != VideoKind::Upload) {
        error = "--video-size goes with --video FILE.mp4";
        return std::nullopt;
    }
    error = contradiction(options, displayGiven, everyGiven);
    if (!error.empty()) {
        return std::nullopt;
    }
    return options;
}

}  // namespace host
