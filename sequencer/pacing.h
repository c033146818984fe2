#pragma once
// The timer tick that advances the scenes' animation clock, and the frame pacer's rule: frames
// are held to at most one per frameInterval, measured from the moment the previous frame came
// to the pacer. Presenting a released frame is the caller's (the loop's) business.
#include <cstdint>

namespace platform {
class Clock;
}

namespace sequencer {

// Chooses the clock for the pacer and the tick (real or virtual).
void useClock(platform::Clock& clock);
platform::Clock& clock();

// sceneTime += timeStep, in single precision; runs on the tick's thread every 16 ms.
void tickHandler();
// Starts the periodic 16 ms tick; stopTimer ends it (the shutdown's last step).
void startTimer();
void stopTimer();

// The pacer's wait on the chosen clock: reads the entry time, waits (sleeping,
// never spinning) until the time read is past the reference time + frameInterval in 32-bit
// unsigned arithmetic, then makes the entry time the new reference. Returns the release time.
std::uint32_t waitForRelease();
// The same rule for a loop that cannot block: a frame that came to the pacer at `entryTime`
// may go once the time is at least releaseTime(); markReleased(entryTime) then makes it the
// reference. (waitForRelease is these two with a wait in between.)
bool mayRelease(std::uint32_t now);
std::uint32_t releaseTime();
void markReleased(std::uint32_t entryTime);
// The pacer's reference time: 0 at program start, so the first frame never waits.
void resetPacer();

}  // namespace sequencer
