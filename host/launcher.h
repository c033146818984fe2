#pragma once
// The launcher (template 100) and the about box (template 101): their templates, their dialog
// procedures and the settings they produce, plus the desktop's start-up and the command-line
// options that choose the display without the launcher.
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "display/modes.h"
#include "host/launcher_file.h"
#include "host/settings.h"
#include "platform/dialogs.h"

namespace host {

// Control ids of the launcher.
inline constexpr int kRunDemoButton = 1;
inline constexpr int kExitButton = 2;
inline constexpr int kResolutionList = 104;
inline constexpr int kStrengthList = 105;
inline constexpr int kWindowedCheckBox = 1000;
inline constexpr int kAboutButton = 1001;
inline constexpr int kDanceCheckBox = 1002;
// The about box's one button.
inline constexpr int kOkButton = 1;

platform::DialogTemplate launcherTemplate();
platform::DialogTemplate aboutTemplate();

// The launcher's procedure; "Run Demo" writes `settings`. The lists and check boxes start at
// `preselected` (a mode not offered leaves the first listed one).
platform::DialogProcedure launcherProcedure(LaunchSettings& settings,
                                            const LauncherChoices& preselected = {});
bool aboutProcedure(platform::Dialog& dialog, platform::DialogEvent event, int command);

// "%dx%dx%d" of a mode record, as the resolution list shows it.
std::string modeText(const display::ModeRecord& mode);
// The trail level for a strength-list position; any other position keeps `current`.
std::int32_t trailLevelForPosition(int position, std::int32_t current);

// What "Run Demo" chose, as the launcher file keeps it.
LauncherChoices choicesOf(const LaunchSettings& settings);

// Shows the launcher modally, starting from the choices remembered in `rememberedFile` (when
// given); true when it was left with "Run Demo" (settings written, and remembered in the
// file), false for "Exit", Escape, closing it or a failure of the dialog itself. A file that
// cannot be written costs one line on standard error, never the run.
bool runLauncher(LaunchSettings& settings,
                 const std::optional<std::filesystem::path>& rememberedFile);

// Desktop start: selects the SDL video and opens it. With no display at all it says so on one
// line, pointing to --headless, and returns false (the run ends with status 1).
bool openDesktop();

// Command-line display options: --windowed, --fullscreen, --mode WxHxD. Any of them skips
// the launcher; unset ones take what an untouched launcher gives (first listed mode, full
// screen).
// Reads the option at args[index]; returns how many arguments it took, 0 when args[index] is
// not a display option, or -1 (after one line on standard error) when it is malformed.
int parseDisplayOption(std::span<char* const> args, std::size_t index);
int parseDisplayOption(const std::vector<std::string>& args, std::size_t index);
bool displayOptionsGiven();
// Splits "WxHxD"; false unless it is three positive decimal numbers.
bool parseModeText(std::string_view text, int& width, int& height, int& depth);
// The record offered for W x H x D: the first listed one (records 1 and up), else the desktop
// record 0; -1 when there is none.
int findMode(int width, int height, int depth);
// After buildModeList: modeIndex and windowed from the options (unset ones as an untouched
// launcher leaves them). False, after one line on standard error, when the asked mode is not
// offered by the display.
bool applyDisplayOptions(LaunchSettings& settings);
// Forgets the options read so far.
void clearDisplayOptions();

// The whole desktop start in one call: open the display, build the mode list, then either take
// the command line's display options (`launcherWanted` false or display options given) or
// show the launcher. Run when the run should start; Left when the launcher was left without
// "Run Demo" (status 0); Failed after one line when there is no display or an asked mode is
// not offered (status 1).
enum class DesktopStart { Run, Left, Failed };
DesktopStart startDesktop(bool launcherWanted);

}  // namespace host
