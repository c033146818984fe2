#pragma once
// The command line: none of it is needed for the show as designed; it adds headless runs,
// frame and sound dumps, reports and settings that skip the launcher.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/song.h"
#include "host/capture.h"

namespace host {

using core::SongPosition;

struct Snapshot {
    SongPosition at;
    std::string path;
};

// A display mode asked for on the command line: --mode WxHxD.
struct ModeSize {
    int width = 0;
    int height = 0;
    int depth = 0;
};

// The display options: any of them skips the launcher; unset ones take what an untouched
// launcher gives (first listed mode, full screen).
struct DisplayRequest {
    std::optional<bool> windowed;
    std::optional<ModeSize> mode;
    bool given() const { return windowed.has_value() || mode.has_value(); }
};

struct Options {
    DisplayRequest display;
    bool headless = false;
    std::string dataDirectory;  // empty: search the usual places (host/data_search.h)
    std::string framesDirectory;
    int every = 1;
    std::string wavPath;
    std::vector<Snapshot> snapshots;
    int formatBits = 32;      // headless staging: 32, 24 or 16
    bool greenIs6Bit = true;  // for 16: 5-6-5 (true) or 5-5-5
    std::optional<int> trailLevel;
    bool dance = false;
    bool stereo = false;  // the module's own panning instead of the centred mix
    std::optional<SongPosition> quitAt;
    std::string statsPath;
    std::string videoPath;
    std::optional<VideoSize> videoSize;  // the upload copy's; given only with FILE.mp4
    std::string contactSheetPath;
    bool traceShutdown = false;
    bool help = false;
    bool version = false;
};

// Parses argv; on a bad argument returns nothing and fills `error` with one line.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error);
// The --help text, made from the parser's own table of options.
const char* usageText();
// Every option the parser takes, short aliases included, in the table's order.
std::vector<std::string> optionNames();

}  // namespace host
