#pragma once
// The values the sequencer sets and the routines read, in one object: the scene clock, sway,
// the sine tables and the warp wave. Main thread only, except sceneTime, which the timer
// thread's tick also advances.
#include <array>
#include <atomic>
#include <cstdint>

namespace core {

static_assert(std::atomic<float>::is_always_lock_free, "the tick must not take a lock");

struct Motion {
    std::atomic<float> sceneTime{0.0f};         // the scene's animation clock, advanced per tick
    float sway = 0.0f;                          // motion parameter some effects read
    std::array<std::int32_t, 1024> sinTable{};  // sin(i / 161) * 8192, truncated
    std::array<std::int32_t, 1024> cosTable{};  // cos(i / 161) * 8192, truncated
    std::array<std::int32_t, 320> warpWave{};   // rebuilt by the waving-landscape scene
};
extern Motion motion;

// Fills motion.sinTable and motion.cosTable.
void buildSineTables();
// motion.warpWave[i] = trunc(10 * sin(i / 12 - a / 14) / (a / 100)); all zeros when a is 0.
void buildWarpWave(float a);

}  // namespace core
