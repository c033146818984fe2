#include "display/surfaces.h"

#include "display/modes.h"
#include "host/settings.h"
#include "platform/video.h"

namespace display {

std::int32_t borderX = 0;
std::int32_t borderY = 0;

namespace {
platform::Video* currentVideo = nullptr;
bool displayIsSetUp = false;
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

int setUpDisplay() {
    const host::LaunchSettings& settings = host::launchSettings;
    if (settings.modeIndex < 0 || settings.modeIndex >= modeCount) {
        platform::showMessage("CreateSurface error", "DDRAW ERROR");
        return 0;
    }
    const ModeRecord& mode = modeList[static_cast<std::size_t>(settings.modeIndex)];
    const PictureBorders borders = pictureBorders(static_cast<std::int32_t>(mode.width),
                                                  static_cast<std::int32_t>(mode.height));
    borderX = borders.x;
    borderY = borders.y;

    platform::SurfaceRequest request;
    request.width = static_cast<int>(mode.width);
    request.height = static_cast<int>(mode.height);
    request.bitsPerPixel = static_cast<int>(mode.bitsPerPixel);
    request.greenIs6Bit = mode.greenIs6Bit != 0;
    request.windowed = settings.windowed != 0;
    request.title = request.windowed ? "Stormglass 2 - a demo for Linux" : "Stormglass 2";
    if (!request.windowed) {
        video().showCursor(false);
    }
    const platform::SetupStep failed = video().setUp(request);
    const char* text = nullptr;
    switch (failed) {
        case platform::SetupStep::None:
            displayIsSetUp = true;
            return 1;
        case platform::SetupStep::CooperativeLevel:
            text = "SetCooperativeLevel error";
            break;
        case platform::SetupStep::DisplayMode:
            text = "SetDisplayMode error";
            break;
        case platform::SetupStep::PrimarySurface:
        case platform::SetupStep::StagingSurface:
            text = "CreateSurface error";
            break;
        case platform::SetupStep::Clipper:
            text = "CreateClipper error";
            break;
        case platform::SetupStep::AttachedSurface:
            text = "GetAttachedSurface error";
            break;
    }
    platform::showMessage(text, "DDRAW ERROR");
    return 0;
}

void releaseDisplay() {
    video().release();
    displayIsSetUp = false;
}

}  // namespace display
