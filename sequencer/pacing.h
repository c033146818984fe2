#pragma once
// The timer tick that advances the scenes' animation clock, and the frame pacer that holds
// frames to at most one per frameInterval before presenting them.
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

// Waits until frameInterval ms have passed since the previous call's entry, then expands and
// presents frameBuffer and pumps the window's events through the installed pump (which may
// end the process).
void paceFrame();
// The pacer's reference time: 0 at program start, so the first call never waits.
void resetPacer();

}  // namespace sequencer
