#include "display/modes.h"

#include <algorithm>

#include "display/state.h"
#include "display/surfaces.h"
#include "platform/messages.h"
#include "platform/video.h"

namespace display {

namespace {

// Records one mode if its depth is 16, 24 or 32 bits. The list holds 256 records; modes past
// that are dropped, so a display listing more never writes outside it.
void recordMode(const platform::DisplayMode& mode) {
    if (mode.bitsPerPixel != 16 && mode.bitsPerPixel != 24 && mode.bitsPerPixel != 32) {
        return;
    }
    if (state.modeCount >= static_cast<std::int32_t>(state.modeList.size())) {
        return;
    }
    ModeRecord& record = state.modeList[static_cast<std::size_t>(state.modeCount)];
    record.width = static_cast<std::uint32_t>(mode.width);
    record.height = static_cast<std::uint32_t>(mode.height);
    record.bitsPerPixel = static_cast<std::uint32_t>(mode.bitsPerPixel);
    record.greenIs6Bit = ((mode.greenMask >> 5) == 31) ? 0 : 1;
    ++state.modeCount;
}

// The box shown when the desktop's mode cannot be told; it has the default caption.
const char* desktopModeFailureText(platform::DesktopModeFailure failure) {
    switch (failure) {
        case platform::DesktopModeFailure::InvalidObject:
            return "invalidobject";
        case platform::DesktopModeFailure::InvalidParams:
            return "invalidparams";
        case platform::DesktopModeFailure::UnsupportedMode:
            return "unsupportedmode";
        case platform::DesktopModeFailure::None:
        case platform::DesktopModeFailure::Other:
            break;
    }
    return "GetDisplayMode error";
}

}  // namespace

bool modeBefore(const ModeRecord& a, const ModeRecord& b) {
    // Fields compared as signed values, as the launcher's order was defined.
    auto s = [](std::uint32_t v) { return static_cast<std::int32_t>(v); };
    if (s(a.bitsPerPixel) != s(b.bitsPerPixel)) {
        return s(a.bitsPerPixel) > s(b.bitsPerPixel);
    }
    if (s(a.width) != s(b.width)) {
        return s(a.width) < s(b.width);
    }
    return s(a.height) < s(b.height);
}

int buildModeList() {
    // Built once per run; starting from an empty list keeps a second call from appending.
    state.modeList = {};
    state.modeCount = 0;
    platform::Video& output = video();
    if (!output.open()) {
        platform::showMessage("DirectDrawCreate error", "DDRAW ERROR");
        return 0;
    }
    // A failed query leaves the description empty: its depth of 0 records nothing.
    platform::DisplayMode desktop;
    const bool told = output.desktopMode(desktop);
    recordMode(told ? desktop : platform::DisplayMode{});
    if (!told) {
        platform::showMessage(desktopModeFailureText(output.desktopModeFailure()), "");
    }
    for (const platform::DisplayMode& mode : output.modes()) {
        recordMode(mode);
    }
    if (state.modeCount > 1) {
        std::sort(state.modeList.begin() + 1, state.modeList.begin() + state.modeCount, modeBefore);
    }
    return 1;
}

}  // namespace display
