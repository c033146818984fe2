#include "display/surfaces.h"

#include "display/modes.h"
#include "display/state.h"
#include "platform/messages.h"
#include "platform/video.h"

namespace display {

namespace {
platform::Video* currentVideo = nullptr;
core::LaunchSettings shownSettings;
}  // namespace

void useVideo(platform::Video& output) {
    currentVideo = &output;
}

platform::Video& video() {
    if (currentVideo == nullptr) {
        currentVideo = &platform::headlessVideo();
    }
    return *currentVideo;
}

PictureBorders pictureBorders(std::int32_t width, std::int32_t height) {
    const std::int32_t t = (height * 640) / 480;
    if (t < width) {
        return {(width - t) / 2, 0};
    }
    const std::int32_t u = (width * 480) / 640;
    return {0, (height - u) / 2};
}

namespace {

// The "DDRAW ERROR" text for the step that failed.
const char* setupFailureText(platform::SetupStep step) {
    switch (step) {
        case platform::SetupStep::None:
            break;
        case platform::SetupStep::CooperativeLevel:
            return "SetCooperativeLevel error";
        case platform::SetupStep::DisplayMode:
            return "SetDisplayMode error";
        case platform::SetupStep::PrimarySurface:
        case platform::SetupStep::StagingSurface:
            return "CreateSurface error";
        case platform::SetupStep::Clipper:
            return "CreateClipper error";
        case platform::SetupStep::AttachedSurface:
            return "GetAttachedSurface error";
    }
    return "";
}

}  // namespace

const char* const kWindowTitle = "Stormglass 2 - a demo for Linux";
const char* const kFullScreenTitle = "Stormglass 2";

int setUpDisplay(const core::LaunchSettings& settings) {
    shownSettings = settings;
    // Without an opened display there is nothing to set up on.
    if (!video().open()) {
        platform::showMessage("DirectDrawCreate error", "DDRAW ERROR");
        return 0;
    }
    // A choice outside the list (an empty list gives modeIndex 0 with no record 0) cannot be
    // switched to; it fails like a refused mode instead of reading an unfilled record.
    if (settings.modeIndex < 0 || settings.modeIndex >= state.modeCount) {
        platform::showMessage("SetDisplayMode error", "DDRAW ERROR");
        return 0;
    }
    const ModeRecord& mode = state.modeList[static_cast<std::size_t>(settings.modeIndex)];
    const PictureBorders borders = pictureBorders(static_cast<std::int32_t>(mode.width),
                                                  static_cast<std::int32_t>(mode.height));
    state.borderX = borders.x;
    state.borderY = borders.y;

    // The staging area is made in the format the converter will write: the desktop record's
    // in windowed play, the chosen record's in full screen.
    platform::SurfaceRequest request;
    request.windowed = settings.windowed;
    const ModeRecord& format = request.windowed ? state.modeList[0] : mode;
    request.width = static_cast<int>(mode.width);
    request.height = static_cast<int>(mode.height);
    request.bitsPerPixel = static_cast<int>(format.bitsPerPixel);
    request.greenIs6Bit = format.greenIs6Bit != 0;
    request.title = request.windowed ? kWindowTitle : kFullScreenTitle;
    if (!request.windowed) {
        video().showCursor(false);
    }
    const platform::SetupStep failed = video().setUp(request);
    if (failed == platform::SetupStep::None) {
        return 1;
    }
    platform::showMessage(setupFailureText(failed), "DDRAW ERROR");
    return 0;
}

const core::LaunchSettings& displaySettings() {
    return shownSettings;
}

void releaseDisplay() {
    video().release();
}

}  // namespace display
