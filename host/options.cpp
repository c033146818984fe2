#include "host/options.h"

#include <algorithm>
#include <string_view>

#include "core/parse.h"
#include "host/launcher.h"

namespace host {

namespace {

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
    const std::optional<int> order = core::parseWholeInt(text.substr(0, colon));
    const std::optional<int> row = core::parseWholeInt(rowText);
    if (!order || !row || *order < 0 || *row < 0) {
        return false;
    }
    mark = {*order, *row};
    return true;
}

// What the words read so far have set, and what only the whole line can judge.
struct Reading {
    Options options;
    std::vector<std::string> displayGiven;  // the display options' names, in the order given
    bool everyGiven = false;
};

// Options that cannot all be honoured: one line naming them, or empty.
std::string contradiction(const Reading& reading) {
    const Options& options = reading.options;
    const std::vector<std::string>& displayGiven = reading.displayGiven;
    // A size for no upload copy is refused even beside --help.
    if (options.videoSize && videoKindFor(options.videoPath) != VideoKind::Upload) {
        return "--video-size goes with --video FILE.mp4";
    }
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
    if (reading.everyGiven && options.framesDirectory.empty()) {
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
    if (x == std::string::npos) {
        return std::nullopt;
    }
    const std::optional<int> width = core::parseWholeInt(text.substr(0, x));
    const std::optional<int> height = core::parseWholeInt(text.substr(x + 1));
    if (!width || !height) {
        return std::nullopt;
    }
    VideoSize size;
    size.width = *width;
    size.height = *height;
    for (int side : {size.width, size.height}) {
        if (side < kSmallestVideoSide || side > kLargestVideoSide || side % 2 != 0) {
            return std::nullopt;
        }
    }
    return size;
}

// An option's handler: takes its value (empty for a flag) into the reading, or returns the
// one-line refusal.
using Take = std::string (*)(Reading&, const std::string& value);

template <bool Options::*flag>
std::string setFlag(Reading& reading, const std::string&) {
    reading.options.*flag = true;
    return {};
}

template <std::string Options::*path>
std::string setPath(Reading& reading, const std::string& value) {
    reading.options.*path = value;
    return {};
}

std::string takeWindowed(Reading& reading, const std::string&) {
    reading.displayGiven.emplace_back("--windowed");
    reading.options.display.windowed = true;
    return {};
}

std::string takeFullscreen(Reading& reading, const std::string&) {
    reading.displayGiven.emplace_back("--fullscreen");
    reading.options.display.windowed = false;
    return {};
}

std::string takeMode(Reading& reading, const std::string& value) {
    ModeSize mode;
    if (!parseModeText(value, mode.width, mode.height, mode.depth)) {
        return kBadModeLine;
    }
    reading.displayGiven.emplace_back("--mode");
    reading.options.display.mode = mode;
    return {};
}

std::string takeVideo(Reading& reading, const std::string& value) {
    if (!videoKindFor(value)) {
        return "--video: '" + value + "' must end in .mkv (lossless master) or .mp4 (upload copy)";
    }
    reading.options.videoPath = value;
    reading.options.headless = true;
    return {};
}

std::string takeVideoSize(Reading& reading, const std::string& value) {
    reading.options.videoSize = parseVideoSize(value);
    if (!reading.options.videoSize) {
        return "--video-size: expected WxH, even numbers from " +
               std::to_string(kSmallestVideoSide) + " to " + std::to_string(kLargestVideoSide) +
               ", got '" + value + "'";
    }
    return {};
}

std::string takeContactSheet(Reading& reading, const std::string& value) {
    reading.options.contactSheetPath = value;
    reading.options.headless = true;
    return {};
}

std::string takeEvery(Reading& reading, const std::string& value) {
    reading.everyGiven = true;
    const std::optional<int> every = core::parseWholeInt(value);
    if (!every || *every < 1) {
        return "--every: expected a whole number of 1 or more, got '" + value + "'";
    }
    reading.options.every = *every;
    return {};
}

std::string takeTrail(Reading& reading, const std::string& value) {
    const std::optional<int> level = core::parseWholeInt(value);
    if (!level || *level < 0 || *level > 3) {
        return "--trail: expected 0, 1, 2 or 3, got '" + value + "'";
    }
    reading.options.trailLevel = level;
    return {};
}

std::string takeFormat(Reading& reading, const std::string& value) {
    Options& options = reading.options;
    if (value == "32" || value == "24") {
        options.formatBits = value == "32" ? 32 : 24;
    } else if (value == "565" || value == "555") {
        options.formatBits = 16;
        options.greenIs6Bit = value == "565";
    } else {
        return "--format: expected 32, 24, 565 or 555, got '" + value + "'";
    }
    return {};
}

std::string takeQuitAt(Reading& reading, const std::string& value) {
    SongPosition mark;
    if (!parseMark(value, mark, nullptr)) {
        return "--quit-at: expected ORDER:ROW, got '" + value + "'";
    }
    reading.options.quitAt = mark;
    return {};
}

std::string takeSnapshot(Reading& reading, const std::string& value) {
    Snapshot snapshot;
    if (!parseMark(value, snapshot.at, &snapshot.path) || snapshot.path.empty()) {
        return "--snapshot: expected ORDER:ROW:FILE.png, got '" + value + "'";
    }
    reading.options.snapshots.push_back(snapshot);
    return {};
}

// What an option takes after it. A path is refused when empty (it names no file, not "here");
// Own reads a missing value as empty and lets the handler's own refusal say what it needs.
enum class Value { None, Text, Path, Own };

// One entry of --help: the option as written, and its help (lines joined by '\n').
struct Usage {
    const char* synopsis = nullptr;  // null: shown in an earlier row's entry
    const char* help = "";
};

struct Row {
    const char* name;
    const char* alias;  // null: none
    Value value;
    Take take;
    Usage usage;
    Usage more;  // a second entry, for an option whose values do different things
};

// Every option, in the order --help lists them.
// clang-format off
const Row kRows[] = {
    {"--windowed", nullptr, Value::None, takeWindowed,
     {"--windowed, --fullscreen, --mode WxHxD",
      "play on the desktop with these settings, without the launcher"}, {}},
    {"--fullscreen", nullptr, Value::None, takeFullscreen, {}, {}},
    {"--mode", nullptr, Value::Own, takeMode, {}, {}},
    {"--headless", nullptr, Value::None, setFlag<&Options::headless>,
     {"--headless", "no window, no sound device: a virtual clock, as fast as possible"}, {}},
    {"--data", nullptr, Value::Path, setPath<&Options::dataDirectory>,
     {"--data DIR", "where sg2.dat and sg2.it are (default: the current directory,\n"
                    "then beside the program, then its ../share/stormglass2,\n"
                    "then stormglass2/ in the XDG data directories)"}, {}},
    {"--frames", nullptr, Value::Path, setPath<&Options::framesDirectory>,
     {"--frames DIR", "write every presented frame as DIR/frame_NNNNNN.png, and\n"
                      "DIR/frames.csv: frame, time_ms, order, row, scene of each"}, {}},
    {"--every", nullptr, Value::Text, takeEvery,
     {"--every N", "with --frames, only every N-th frame"}, {}},
    {"--wav", nullptr, Value::Path, setPath<&Options::wavPath>,
     {"--wav FILE", "write the headless run's sound to FILE"}, {}},
    {"--snapshot", nullptr, Value::Text, takeSnapshot,
     {"--snapshot O:R:FILE", "write the first frame presented at or after order O, row R"}, {}},
    {"--format", nullptr, Value::Text, takeFormat,
     {"--format 32|24|565|555", "headless staging pixel format (default 32)"}, {}},
    {"--trail", nullptr, Value::Text, takeTrail,
     {"--trail 0..3", "motion trail: 0 none, 1 longest, 2 medium, 3 shortest"}, {}},
    {"--dance", nullptr, Value::None, setFlag<&Options::dance>,
     {"--dance", "the dancers in the waving-landscape scene"}, {}},
    {"--stereo", nullptr, Value::None, setFlag<&Options::stereo>,
     {"--stereo", "play the soundtrack in stereo, as the module pans it"}, {}},
    {"--quit-at", nullptr, Value::Text, takeQuitAt,
     {"--quit-at O:R", "press Escape on the first frame at or after order O, row R"}, {}},
    {"--stats", nullptr, Value::Path, setPath<&Options::statsPath>,
     {"--stats FILE.json", "write a per-scene report of the run"}, {}},
    {"--video", nullptr, Value::Text, takeVideo,
     {"--video FILE.mkv", "render the show headless (with ffmpeg) into a lossless master:\n"
                          "FFV1 RGB 320x200 at 60 fps shown at 4:3, FLAC sound with the\n"
                          "very samples --wav writes; and FILE.frames.csv"},
     {"--video FILE.mp4", "the same into an upload copy: H.264 and AAC at --video-size"}},
    {"--video-size", nullptr, Value::Text, takeVideoSize,
     {"--video-size WxH", "the upload copy's size (default 1600x1200: every source pixel a\n"
                          "uniform 5x6 block, exactly 4:3); its multiples also give\n"
                          "uniform blocks with square pixels, other multiples of 320x200\n"
                          "uniform blocks the player widens to 4:3, any other size\n"
                          "uneven ones"}, {}},
    {"--contact-sheet", nullptr, Value::Path, takeContactSheet,
     {"--contact-sheet FILE.png", "one labelled frame from the middle of every scene"}, {}},
    {"--trace-shutdown", nullptr, Value::None, setFlag<&Options::traceShutdown>,
     {"--trace-shutdown", "print each shutdown step on standard error"}, {}},
    {"--help", "-h", Value::None, setFlag<&Options::help>, {"--help, --version", ""}, {}},
    {"--version", nullptr, Value::None, setFlag<&Options::version>, {}, {}},
};
// clang-format on

const Row* findRow(const std::string& word) {
    for (const Row& row : kRows) {
        if (word == row.name || (row.alias != nullptr && word == row.alias)) {
            return &row;
        }
    }
    return nullptr;
}

// "  SYNOPSIS  help", the help in a column of its own; a synopsis too wide for the column
// starts its help on the next line.
void appendUsage(std::string& text, const Usage& usage) {
    constexpr std::size_t kHelpColumn = 24;
    const std::string indent(kHelpColumn, ' ');
    std::string line = std::string("  ") + usage.synopsis;
    const std::string_view help = usage.help;
    if (!help.empty()) {
        if (line.size() < kHelpColumn) {
            line.append(kHelpColumn - line.size(), ' ');
        } else if (line.size() <= kHelpColumn + 2) {
            line += "  ";
        } else {
            line += "\n" + indent;
        }
        for (const char c : help) {
            line += c == '\n' ? "\n" + indent : std::string(1, c);
        }
    }
    text += line + "\n";
}

std::string makeUsage() {
    std::string text =
        "usage: stormglass2 [options]\n"
        "  (no options)          open the launcher, then play the show\n";
    for (const Row& row : kRows) {
        for (const Usage& usage : {row.usage, row.more}) {
            if (usage.synopsis != nullptr) {
                appendUsage(text, usage);
            }
        }
    }
    return text;
}

}  // namespace

const char* usageText() {
    static const std::string text = makeUsage();
    return text.c_str();
}

std::vector<std::string> optionNames() {
    std::vector<std::string> names;
    for (const Row& row : kRows) {
        names.emplace_back(row.name);
        if (row.alias != nullptr) {
            names.emplace_back(row.alias);
        }
    }
    return names;
}

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Reading reading;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        const Row* row = findRow(name);
        if (row == nullptr) {
            error = "unknown option '" + name + "' (see --help)";
            return std::nullopt;
        }
        std::string value;
        if (row->value != Value::None && i + 1 < arguments.size()) {
            value = arguments[++i];
        } else if (row->value == Value::Text || row->value == Value::Path) {
            error = name + ": needs a value";
            return std::nullopt;
        }
        if (row->value == Value::Path && value.empty()) {
            error = name + ": expected a path, got ''";
            return std::nullopt;
        }
        error = row->take(reading, value);
        if (!error.empty()) {
            return std::nullopt;
        }
    }
    error = contradiction(reading);
    if (!error.empty()) {
        return std::nullopt;
    }
    return reading.options;
}

}  // namespace host
