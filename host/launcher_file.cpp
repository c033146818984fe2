#include "host/launcher_file.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "core/output.h"
#include "core/parse.h"
#include "host/launcher.h"

namespace host {

namespace {

constexpr const char* kSection = "[launcher]";
// Far more than the four lines ever written; anything larger is not ours.
constexpr std::size_t kMaxFileBytes = 4096;

bool readFlag(std::string_view text, bool& value) {
    if (text != "0" && text != "1") {
        return false;
    }
    value = text == "1";
    return true;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::filesystem::path> launcherFilePath(const std::string& xdgConfigHome,
                                                      const std::string& home) {
    // Relative paths in either variable are ignored.
    std::filesystem::path base = xdgConfigHome;
    if (!base.is_absolute()) {
        base = std::filesystem::path(home) / ".config";
    }
    if (!base.is_absolute()) {
        return std::nullopt;
    }
    return base / "stormglass2" / "launcher.ini";
}

std::optional<std::filesystem::path> launcherFilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return launcherFilePath(config == nullptr ? "" : config, home == nullptr ? "" : home);
}

std::string formatLauncherChoices(const LauncherChoices& choices) {
    return std::string(kSection) + "\nmode=" + choices.mode +
           "\nwindowed=" + (choices.windowed ? "1" : "0") +
           "\ndance=" + (choices.dance ? "1" : "0") +
           "\ntrail=" + std::to_string(choices.trailLevel) + "\n";
}

std::optional<LauncherChoices> parseLauncherChoices(const std::string& text) {
    if (text.size() > kMaxFileBytes) {
        return std::nullopt;
    }
    LauncherChoices choices;
    bool sectionSeen = false;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = trimmed(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        if (line == kSection) {
            sectionSeen = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!sectionSeen || equals == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        if (key == "mode") {
            int width = 0;
            int height = 0;
            int depth = 0;
            if (!value.empty() && !parseModeText(value, width, height, depth)) {
                return std::nullopt;
            }
            choices.mode = value;
        } else if (key == "windowed") {
            if (!readFlag(value, choices.windowed)) {
                return std::nullopt;
            }
        } else if (key == "dance") {
            if (!readFlag(value, choices.dance)) {
                return std::nullopt;
            }
        } else if (key == "trail") {
            const std::optional<int> level = core::parseWholeInt(value);
            if (!level || *level < 0 || *level > 3) {
                return std::nullopt;
            }
            choices.trailLevel = *level;
        }
        // Unknown keys are left for later versions.
    }
    if (!sectionSeen) {
        return std::nullopt;
    }
    return choices;
}

LauncherChoices loadLauncherChoices(const std::filesystem::path& path) {
    std::error_code failure;
    if (!std::filesystem::is_regular_file(path, failure)) {
        return {};
    }
    std::ifstream file(path, std::ios::binary);
    std::string text;
    // One byte over the limit is enough to know the file is too large.
    text.resize(kMaxFileBytes + 1);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (file.bad()) {
        return {};
    }
    return parseLauncherChoices(text).value_or(LauncherChoices{});
}

bool saveLauncherChoices(const std::filesystem::path& path, const LauncherChoices& choices,
                         std::string& error) {
    std::error_code failure;
    std::filesystem::create_directories(path.parent_path(), failure);
    if (failure) {
        error = failure.message();
        return false;
    }
    const std::string text = formatLauncherChoices(choices);
    return core::writeWholeFile(
        path.string(), {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, error);
}

}  // namespace host
