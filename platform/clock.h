#pragma once
// The millisecond clock and the periodic tick, standing in for the multimedia timer.
// Called by the frame pacer (main thread) and the timeline's start of play and shutdown.
#include <cstdint>
#include <memory>

namespace platform {

using TickFunction = void (*)();

// True once `now` has reached `target`, with both on a clock that wraps at 2^32.
inline bool timeReached(std::uint32_t now, std::uint32_t target) {
    return static_cast<std::int32_t>(now - target) >= 0;
}

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic clock, wrapping at 2^32 (timeGetTime's role).
    virtual std::uint32_t milliseconds() = 0;
    // Blocks, without spinning a core, until milliseconds() has reached `target` (compared
    // with wrap-around). A virtual clock moves its time forward instead, firing due ticks.
    virtual void waitUntil(std::uint32_t target) = 0;
    // Calls `tick` every `periodMs` from now until stopTicks; on its own thread (real clock)
    // or inside waitUntil at exact period steps of virtual time (virtual clock).
    virtual void startTicks(TickFunction tick, std::uint32_t periodMs) = 0;
    virtual void stopTicks() = 0;
};

// The real clock: steady_clock time, a timer thread for the ticks.
Clock& realClock();
// Names the calling thread as ps and top -H show it; a no-op where threads have no names.
void nameThisThread(const char* name);
// A deterministic clock whose time moves only when the program waits. It starts at a large
// value so the pacer's first call never waits.
Clock& virtualClock();
inline constexpr std::uint32_t kVirtualClockStart = 1'000'000;
// A fresh virtual clock of its own, for tests.
std::unique_ptr<Clock> makeVirtualClock();

}  // namespace platform
