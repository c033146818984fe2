#include "sequencer/pacing.h"

#include "platform/clock.h"
#include "sequencer/state.h"

namespace sequencer {

namespace {
platform::Clock* pacingClock = nullptr;
std::uint32_t referenceTime = 0;
}  // namespace

void useClock(platform::Clock& chosen) {
    pacingClock = &chosen;
}

platform::Clock& clock() {
    if (pacingClock == nullptr) {
        pacingClock = &platform::realClock();
    }
    return *pacingClock;
}

void tickHandler() {
    // Whole 32-bit loads and stores; a scene's reset may race the add, as designed.
    motion.sceneTime.store(motion.sceneTime.load(std::memory_order_relaxed) +
                               sceneState.timeStep.load(std::memory_order_relaxed),
                           std::memory_order_relaxed);
}

void startTimer() {
    clock().startTicks(&tickHandler, 16);
}

void stopTimer() {
    clock().stopTicks();
}

void resetPacer() {
    referenceTime = 0;
}

bool mayRelease(std::uint32_t now) {
    // Not wrap-aware, like the blocking wait's comparison: both release at the same moments.
    return referenceTime + sceneState.frameInterval < now;
}

std::uint32_t releaseTime() {
    return referenceTime + sceneState.frameInterval + 1;
}

void markReleased(std::uint32_t entryTime) {
    referenceTime = entryTime;
}

std::uint32_t waitForRelease() {
    platform::Clock& source = clock();
    const std::uint32_t entryTime = source.milliseconds();
    std::uint32_t latestTime = entryTime;
    // Released once the latest time has passed reference + interval; sleeps, never spins.
    while (!mayRelease(latestTime)) {
        source.waitUntil(releaseTime());
        latestTime = source.milliseconds();
    }
    markReleased(entryTime);
    return latestTime;
}

}  // namespace sequencer
