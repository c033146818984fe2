#pragma once
// The sequencer state every scene shares, and the sequencer's own tables. Main thread only,
// except sceneTime and timeStep, which the timer thread's tick also touches.
#include <array>
#include <atomic>
#include <cstdint>

namespace sequencer {

extern std::int32_t musicOrder;       // order as last read; 0 before play
extern std::int32_t musicRow;         // row as last read, 0..255
extern std::int32_t sceneOrder;       // order at which the current scene began
extern std::atomic<float> sceneTime;  // the scene's animation clock, advanced per tick
extern std::atomic<float> timeStep;   // added to sceneTime on every tick
static_assert(std::atomic<float>::is_always_lock_free, "the tick must not take a lock");
extern std::uint32_t frameInterval;  // least milliseconds between presented frames
extern std::int32_t pulse;           // scene level: brightness, fade or flash
extern std::int32_t pulseB;          // second scene level, flag or temporary
extern std::int32_t rowSeen;         // 1 once the scene has read a row above 0
extern float sway;                   // motion parameter some effects read
extern std::uint8_t noDance;         // 1 unless the launcher's "Dance" box was ticked

extern std::array<std::int32_t, 1024> sinTable;  // sin(i / 161) * 8192, truncated
extern std::array<std::int32_t, 1024> cosTable;  // cos(i / 161) * 8192, truncated
extern std::array<std::int32_t, 320> warpWave;   // rebuilt by the waving-landscape scene

void buildSineTables();
// Widens entry 5's 65536 height bytes into 16-bit row displacements, in place.
void widenResource05();
// warpWave[i] = trunc(10 * sin(i / 12 - a / 14) / (a / 100)); all zeros when a is 0.
void buildWarpWave(float a);
// limit if x > limit, 0 if x < 0, else x.
std::int32_t clampRange(std::int32_t x, std::int32_t limit);

}  // namespace sequencer
