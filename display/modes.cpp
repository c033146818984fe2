#include "display/modes.h"

#include <algorithm>

#include "display/surfaces.h"
#include "platform/video.h"

namespace display {

std::array<ModeRecord, 256> modeList{};
std::int32_t modeCount = 0;

namespace {

// Records one mode if its depth is 16, 24 or 32 bits and the list has room.
void recordMode(const platform::DisplayMode& mode) {
    if (mode.bitsPerPixel != 16 && mode.bitsPerPixel != 24 && mode.bitsPerPixel != 32) {
        return;
    }
    if (modeCount >= static_cast<std::int32_t>(modeList.size())) {
        return;
    }
    ModeRecord& record = modeList[static_cast<std::size_t>(modeCount)];
    record.width = static_cast<std::uint32_t>(mode.width);
    record.height = static_cast<std::uint32_t>(mode.height);
    record.bitsPerPixel = static_cast<std::uint32_t>(mode.bitsPerPixel);
    record.greenIs6Bit = ((mode.greenMask >> 5) == 31) ? 0 : 1;
    ++modeCount;
}

// Deeper modes first, then narrower, then lower; fields compared as signed values.
bool modeBefore(const ModeRecord& a, const ModeRecord& b) {
    auto s = [](std::uint32_t v) { return static_cast<std::int32_t>(v); };
    if (s(a.bitsPerPixel) != s(b.bitsPerPixel)) {
        return s(a.bitsPerPixel) > s(b.bitsPerPixel);
    }
    if (s(a.width) != s(b.width)) {
        return s(a.width) < s(b.width);
    }
    return s(a.height) < s(b.height);
}

}  // namespace

int buildModeList() {
    platform::Video& output = video();
    if (!output.open()) {
        platform::showMessage("DirectDrawCreate error", "DDRAW ERROR");
        return 0;
    }
    platform::DisplayMode desktop;
    if (output.desktopMode(desktop)) {
        recordMode(desktop);
    }
    for (const platform::DisplayMode& mode : output.modes()) {
        recordMode(mode);
    }
    if (modeCount > 1) {
        std::sort(modeList.begin() + 1, modeList.begin() + modeCount, modeBefore);
    }
    return 1;
}

}  // namespace display
