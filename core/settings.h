#pragma once
// The launcher's four choices, written once by "Run Demo" (or the command line) and handed to
// the display set-up and the timeline; only read afterwards.
#include <cstdint>

namespace core {

struct LaunchSettings {
    std::int32_t modeIndex = 0;   // 1-based record of the mode list; 0 is the desktop mode
    bool windowed = false;        // a window on the desktop rather than full screen
    bool dance = false;           // the dancers in the waving-landscape scene
    std::int32_t trailLevel = 0;  // 0 none, 1 longest, 2 medium, 3 shortest
};

}  // namespace core
