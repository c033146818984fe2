#pragma once
// The sequencer state every scene shares, in one object. Main thread only, except timeStep,
// which the timer thread's tick also reads. The values the routines read too live on the ground
// floor.
#include <atomic>
#include <cstdint>

#include "core/show.h"

namespace sequencer {

using core::buildSineTables;
using core::buildWarpWave;
using core::motion;

struct SceneState {
    std::int32_t musicOrder = 0;        // order as last read; 0 before play
    std::int32_t musicRow = 0;          // row as last read, 0..255
    std::int32_t sceneOrder = 0;        // order at which the current scene began
    std::atomic<float> timeStep{0.0f};  // added to sceneTime on every tick
    std::uint32_t frameInterval = 16;   // least milliseconds between presented frames
    std::int32_t flashLevel = 0;        // scene level: brightness, fade or flash
    std::int32_t secondFlashLevel = 0;  // second scene level, flag or temporary
    std::int32_t rowSeen = 0;           // 1 once the scene has read a row above 0
    bool dance = false;                 // the launcher's "Dance" box was ticked
    std::int32_t leftWindowMove = 0;    // bytes the scrolling inset window is moved down
};
extern SceneState sceneState;

// Widens entry 5's 65536 height bytes into 16-bit row displacements, in place.
void widenLandscapeHeights();
// limit if x > limit, 0 if x < 0, else x.
std::int32_t clampRange(std::int32_t x, std::int32_t limit);

}  // namespace sequencer
