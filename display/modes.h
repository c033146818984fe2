#pragma once
// The display-mode list: record 0 the desktop mode, then the display's 16-, 24- and 32-bit
// modes, sorted for the launcher.
#include <array>
#include <cstdint>

namespace display {

struct ModeRecord {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bitsPerPixel = 0;  // 16, 24 or 32
    std::int32_t greenIs6Bit = 0;    // 0 for a 5-5-5 green mask, else 1
};

// The list is display::state.modeList, its length display::state.modeCount (display/state.h).

// Fills modeList from the platform's video; returns 0 when no display could be opened.
// Record 0 is the desktop's mode when its depth is 16, 24 or 32 bits, else the first such mode
// the display lists; it is never sorted. Records past the 256th are not kept.
int buildModeList();

// The launcher's order: deeper modes first, then narrower, then lower.
bool modeBefore(const ModeRecord& a, const ModeRecord& b);

}  // namespace display
