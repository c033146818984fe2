#pragma once
// Surface set-up for full-screen and windowed play, the 4:3 picture rectangle, and release.
#include <cstdint>

#include "core/settings.h"

namespace platform {
class Video;
}

namespace display {

// The rectangle's margins are display::state.borderX and borderY (display/state.h).

struct PictureBorders {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
// The 4:3 rectangle's margins inside W x H, in signed 32-bit integer arithmetic.
PictureBorders pictureBorders(std::int32_t width, std::int32_t height);

// Chooses the platform video every display call below goes through.
void useVideo(platform::Video& video);
platform::Video& video();

// The demo window's titles.
extern const char* const kWindowTitle;
extern const char* const kFullScreenTitle;

// Opens the window and surfaces as the settings' modeIndex and windowed ask and keeps them for
// presentFrame; 1 on success, 0 after a failure it has reported.
int setUpDisplay(const core::LaunchSettings& settings);
// The settings of the latest setUpDisplay.
const core::LaunchSettings& displaySettings();
void releaseDisplay();

}  // namespace display
