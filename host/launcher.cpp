#include "host/launcher.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/console.h"
#include "core/parse.h"
#include "display/state.h"
#include "display/surfaces.h"
#include "host/play.h"
#include "host/process.h"
#include "platform/messages.h"
#include "platform/video.h"
#include "resources/logo.h"

namespace host {

LaunchSettings launchSettings{};

namespace {

using platform::ControlKind;
using platform::DialogControl;
using platform::DialogEvent;

// The strength list's texts, in list order.
constexpr const char* kStrengthTexts[] = {"nemelvont", "kicsitelvont", "elegelvont",
                                          "nagyonelvont"};

DialogControl control(int id, ControlKind kind, std::string text, int x, int y, int width,
                      int height) {
    DialogControl made;
    made.id = id;
    made.kind = kind;
    made.text = std::move(text);
    made.x = x;
    made.y = y;
    made.width = width;
    made.height = height;
    return made;
}

bool readPositive(std::string_view text, int& value) {
    const std::optional<int> parsed = core::parseWholeInt(text);
    if (!parsed || *parsed <= 0) {
        return false;
    }
    value = *parsed;
    return true;
}

}  // namespace

platform::DialogTemplate launcherTemplate() {
    platform::DialogTemplate launcher;
    launcher.caption = "Stormglass 2 by the Stormglass 2 project - Linux version";
    launcher.width = 393;
    launcher.height = 116;
    launcher.fontPoints = 8;
    auto& c = launcher.controls;
    c.push_back(control(kResolutionList, ControlKind::DropDownList, "", 51, 22, 101, 116));
    c.push_back(
        control(platform::kNoControlId, ControlKind::GroupBox, "Screentype", 4, 6, 216, 45));
    c.push_back(
        control(kRunDemoButton, ControlKind::DefaultPushButton, "Run Demo", 151, 57, 68, 50));
    c.push_back(control(kExitButton, ControlKind::PushButton, "Exit", 75, 89, 73, 18));
    c.push_back(
        control(platform::kNoControlId, ControlKind::StaticText, "Resolution:", 9, 23, 39, 12));
    DialogControl logo =
        control(platform::kNoControlId, ControlKind::Picture, "", 226, 9, 160, 100);
    logo.image = {resources::kLogoWidth, resources::kLogoHeight, resources::logoPixelsRgb()};
    c.push_back(logo);
    c.push_back(control(kAboutButton, ControlKind::PushButton, "About", 4, 89, 67, 18));
    c.push_back(control(kWindowedCheckBox, ControlKind::CheckBox, "Windowed", 162, 23, 51, 12));
    c.push_back(control(kDanceCheckBox, ControlKind::CheckBox, "Dance", 5, 65, 32, 10));
    c.push_back(control(kStrengthList, ControlKind::DropDownList, "", 42, 65, 90, 116));
    return launcher;
}

platform::DialogTemplate aboutTemplate() {
    platform::DialogTemplate about;
    about.caption = "About";
    about.width = 170;
    about.height = 100;
    about.fontPoints = 8;
    auto& c = about.controls;
    c.push_back(control(platform::kNoControlId, ControlKind::GroupBox, "", 4, 6, 162, 60));
    c.push_back(control(kOkButton, ControlKind::DefaultPushButton, "Ok", 60, 77, 50, 18));
    constexpr const char* kCredits[] = {
        "Stormglass 2 - a demo for Linux",
        "code, pictures and music:",
        "the Stormglass 2 project",
        "Linux version: SDL2, FLTK, libopenmpt",
    };
    int y = 14;
    for (const char* line : kCredits) {
        c.push_back(control(platform::kNoControlId, ControlKind::CentredText, line, 8, y, 154, 10));
        y += 12;
    }
    return about;
}

std::string modeText(const display::ModeRecord& mode) {
    char text[48];
    std::snprintf(text, sizeof text, "%dx%dx%d", static_cast<int>(mode.width),
                  static_cast<int>(mode.height), static_cast<int>(mode.bitsPerPixel));
    return text;
}

std::int32_t trailLevelForPosition(int position, std::int32_t current) {
    switch (position) {
        case 0:
            return 0;
        case 1:
            return 3;
        case 2:
            return 2;
        case 3:
            return 1;
        default:
            return current;
    }
}

platform::DialogProcedure launcherProcedure(LaunchSettings& settings,
                                            const LauncherChoices& preselected) {
    return [&settings, preselected](platform::Dialog& dialog, DialogEvent event, int command) {
        if (event == DialogEvent::Init) {
            // Record 0 (the desktop) is never offered: list position i is record i + 1.
            int modePosition = -1;
            for (std::int32_t i = 1; i < display::state.modeCount; ++i) {
                const std::string text =
                    modeText(display::state.modeList[static_cast<std::size_t>(i)]);
                if (text == preselected.mode && modePosition < 0) {
                    modePosition = i - 1;
                }
                dialog.addListItem(kResolutionList, text);
            }
            dialog.selectListItem(kResolutionList, std::max(modePosition, 0));
            int strengthPosition = 0;
            for (int position = 0; position < static_cast<int>(std::size(kStrengthTexts));
                 ++position) {
                dialog.addListItem(kStrengthList, kStrengthTexts[position]);
                if (trailLevelForPosition(position, -1) == preselected.trailLevel) {
                    strengthPosition = position;
                }
            }
            dialog.selectListItem(kStrengthList, strengthPosition);
            dialog.setChecked(kWindowedCheckBox, preselected.windowed);
            dialog.setChecked(kDanceCheckBox, preselected.dance);
            return true;
        }
        switch (command) {
            case kRunDemoButton:
                // No selection reports -1, which gives record 0, the desktop mode.
                settings.modeIndex = dialog.listSelection(kResolutionList) + 1;
                settings.trailLevel =
                    trailLevelForPosition(dialog.listSelection(kStrengthList), settings.trailLevel);
                settings.windowed = dialog.isChecked(kWindowedCheckBox);
                settings.dance = dialog.isChecked(kDanceCheckBox);
                dialog.end(0);
                return true;
            case kExitButton:
                dialog.end(1);
                return true;
            case kAboutButton:
                dialog.runChild(aboutTemplate(), aboutProcedure);
                return true;
            default:
                return false;
        }
    };
}

bool aboutProcedure(platform::Dialog& dialog, DialogEvent event, int command) {
    if (event == DialogEvent::Init) {
        return true;
    }
    // Only "Ok" closes the box: Escape and the window's close button do nothing.
    if (command == kOkButton) {
        dialog.end(0);
        return true;
    }
    return false;
}

LauncherChoices choicesOf(const LaunchSettings& settings) {
    LauncherChoices choices;
    if (settings.modeIndex > 0 && settings.modeIndex < display::state.modeCount) {
        choices.mode =
            modeText(display::state.modeList[static_cast<std::size_t>(settings.modeIndex)]);
    }
    choices.windowed = settings.windowed;
    choices.dance = settings.dance;
    choices.trailLevel = settings.trailLevel;
    return choices;
}

bool runLauncher(LaunchSettings& settings,
                 const std::optional<std::filesystem::path>& rememberedFile) {
    const LauncherChoices remembered =
        rememberedFile ? loadLauncherChoices(*rememberedFile) : LauncherChoices{};
    if (platform::runModal(launcherTemplate(), launcherProcedure(settings, remembered)) != 0) {
        return false;
    }
    std::string error;
    if (rememberedFile && !saveLauncherChoices(*rememberedFile, choicesOf(settings), error)) {
        core::errorLine("stormglass2: " + rememberedFile->string() +
                        ": cannot remember the launcher's choices: " + error);
    }
    return true;
}

void endOnLostDisplay() {
    core::errorLine("stormglass2: the display was lost (its X server closed the connection)");
    endShowBesideScreen();  // the show's thread must not draw while the process ends
    exitProcessAtOnce(1);   // the display is never touched again, nor the sound device         //
                            // the report is written; the display is not touched again
}

bool openDesktop() {
    platform::Video& desktop = platform::desktopVideo();
    platform::onDisplayLost(&endOnLostDisplay);
    display::useVideo(desktop);
    if (!desktop.open()) {
        std::fprintf(
            stderr,
            "stormglass2: no display to show the demo on (no X server or Wayland "
            "compositor answered); run it with --headless, or --video FILE, to play without one\n");
        return false;
    }
    platform::setMessagesToConsole(false);
    return true;
}

bool parseModeText(std::string_view text, int& width, int& height, int& depth) {
    const std::size_t first = text.find('x');
    if (first == std::string_view::npos) {
        return false;
    }
    const std::size_t second = text.find('x', first + 1);
    if (second == std::string_view::npos) {
        return false;
    }
    return readPositive(text.substr(0, first), width) &&
           readPositive(text.substr(first + 1, second - first - 1), height) &&
           readPositive(text.substr(second + 1), depth);
}

int findMode(int width, int height, int depth) {
    auto matches = [&](std::int32_t i) {
        const display::ModeRecord& mode = display::state.modeList[static_cast<std::size_t>(i)];
        return static_cast<int>(mode.width) == width && static_cast<int>(mode.height) == height &&
               static_cast<int>(mode.bitsPerPixel) == depth;
    };
    for (std::int32_t i = 1; i < display::state.modeCount; ++i) {
        if (matches(i)) {
            return i;
        }
    }
    return display::state.modeCount > 0 && matches(0) ? 0 : -1;
}

bool applyDisplayOptions(const DisplayRequest& request, LaunchSettings& settings) {
    // Unset options leave what an untouched launcher gives: the first listed mode (or the
    // desktop's when none is listed), full screen.
    settings.windowed = request.windowed.value_or(false);
    settings.modeIndex = display::state.modeCount > 1 ? 1 : 0;
    if (const auto& mode = request.mode) {
        const int found = findMode(mode->width, mode->height, mode->depth);
        if (found < 0) {
            std::fprintf(stderr, "stormglass2: the display offers no mode %dx%dx%d; it offers:",
                         mode->width, mode->height, mode->depth);
            for (std::int32_t i = 1; i < display::state.modeCount; ++i) {
                std::fprintf(
                    stderr, " %s",
                    modeText(display::state.modeList[static_cast<std::size_t>(i)]).c_str());
            }
            std::fprintf(stderr, "\n");
            return false;
        }
        settings.modeIndex = found;
    }
    return true;
}

DesktopStart startDesktop(bool launcherWanted, const DisplayRequest& request) {
    if (!openDesktop()) {
        return DesktopStart::Failed;
    }
    display::buildModeList();
    if (!launcherWanted || request.given()) {
        return applyDisplayOptions(request, launchSettings) ? DesktopStart::Run
                                                            : DesktopStart::Failed;
    }
    return runLauncher(launchSettings, launcherFilePath()) ? DesktopStart::Run : DesktopStart::Left;
}

}  // namespace host
