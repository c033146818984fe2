#pragma once
// The sequencer state every scene shares. Main thread only, except timeStep, which the timer
// thread's tick also reads. The values the routines read too live on the ground floor.
#include <atomic>
#include <cstdint>

#include "core/show.h"

namespace sequencer {

using core::buildSineTables;
using core::buildWarpWave;
using core::cosTable;
using core::sceneTime;
using core::sinTable;
using core::sway;
using core::warpWave;

extern std::int32_t musicOrder;        // order as last read; 0 before play
extern std::int32_t musicRow;          // row as last read, 0..255
extern std::int32_t sceneOrder;        // order at which the current scene began
extern std::atomic<float> timeStep;    // added to sceneTime on every tick
extern std::uint32_t frameInterval;    // least milliseconds between presented frames
extern std::int32_t flashLevel;        // scene level: brightness, fade or flash
extern std::int32_t secondFlashLevel;  // second scene level, flag or temporary
extern std::int32_t rowSeen;           // 1 once the scene has read a row above 0
extern bool dance;                     // the launcher's "Dance" box was ticked
extern std::int32_t leftWindowMove;    // bytes the scrolling inset window is moved down

// Widens entry 5's 65536 height bytes into 16-bit row displacements, in place.
void widenLandscapeHeights();
// limit if x > limit, 0 if x < 0, else x.
std::int32_t clampRange(std::int32_t x, std::int32_t limit);

}  // namespace sequencer
