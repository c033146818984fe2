#pragma once
// The launcher's remembered choices: "Run Demo" writes them to
// $XDG_CONFIG_HOME/stormglass2/launcher.ini and the next start preselects them. A missing,
// unreadable or damaged file gives the untouched launcher's defaults.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace host {

struct LauncherChoices {
    std::string mode;  // "WxHxD" as the resolution list shows it; empty: the first listed
    bool windowed = false;
    bool dance = false;
    std::int32_t trailLevel = 0;  // 0 none, 1 longest, 2 medium, 3 shortest
};

// The file's place from XDG_CONFIG_HOME, else HOME/.config; nothing when neither is usable.
std::optional<std::filesystem::path> launcherFilePath(const std::string& xdgConfigHome,
                                                      const std::string& home);
std::optional<std::filesystem::path> launcherFilePath();

std::string formatLauncherChoices(const LauncherChoices& choices);
// Nothing when the text is damaged in any way: the caller takes the defaults.
std::optional<LauncherChoices> parseLauncherChoices(const std::string& text);

LauncherChoices loadLauncherChoices(const std::filesystem::path& path);
// Writes under a temporary name and renames it into place; false (with the reason in
// `error`) when it could not.
bool saveLauncherChoices(const std::filesystem::path& path, const LauncherChoices& choices,
                         std::string& error);

}  // namespace host
