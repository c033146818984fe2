// Frame pacing and the tick on the virtual clock, to the millisecond.
#include <gtest/gtest.h>

#include <vector>

#include "display/present.h"
#include "display/state.h"
#include "platform/clock.h"
#include "sequencer/pacing.h"
#include "sequencer/state.h"

namespace {

class PacingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (display::state.frameBuffer == nullptr) {
            ASSERT_TRUE(display::allocateScreenBuffers());
        }
        clock = platform::makeVirtualClock();
        sequencer::useClock(*clock);
        sequencer::resetPacer();
        sequencer::motion.sceneTime.store(0.0f);
    }
    void TearDown() override {
        sequencer::stopTimer();
        sequencer::sceneState.frameInterval = 16;
    }
    // One scene frame: `workMs` of drawing, then the pacer; returns the release time.
    std::uint32_t frame(std::uint32_t workMs) {
        clock->waitUntil(clock->milliseconds() + workMs);
        const std::uint32_t released = sequencer::waitForRelease();
        EXPECT_EQ(released, clock->milliseconds());
        return released;
    }
    std::unique_ptr<platform::Clock> clock;
};

TEST_F(PacingTest, SixtyFourMillisecondFramesOfTenMillisecondsComeInPairs) {
    sequencer::sceneState.frameInterval = 64;
    std::vector<std::uint32_t> releases;
    const std::uint32_t start = clock->milliseconds();
    for (int i = 0; i < 7; ++i) {
        releases.push_back(frame(10) - start);
    }
    // The first call never waits; then each release is 65 ms after the previous entry.
    EXPECT_EQ(releases, (std::vector<std::uint32_t>{10, 75, 85, 150, 160, 225, 235}));
}

TEST_F(PacingTest, AFrameSlowerThanTheIntervalIsReleasedAtOnce) {
    sequencer::sceneState.frameInterval = 16;
    const std::uint32_t start = clock->milliseconds();
    EXPECT_EQ(frame(0) - start, 0u);
    EXPECT_EQ(frame(40) - start, 40u);
    EXPECT_EQ(frame(40) - start, 80u);
}

// The boundary: a frame whose work takes exactly the interval enters the pacer at reference +
// interval, which is not yet past it, so it waits one more millisecond; a millisecond more of
// work and it goes at once.
TEST_F(PacingTest, AFrameWhoseWorkTakesExactlyTheIntervalWaitsOneMillisecond) {
    for (const std::uint32_t interval : {16u, 32u, 64u}) {
        SCOPED_TRACE(interval);
        sequencer::sceneState.frameInterval = interval;
        sequencer::resetPacer();
        const std::uint32_t start = clock->milliseconds();
        EXPECT_EQ(frame(0) - start, 0u);  // the reference is now `start`
        EXPECT_EQ(frame(interval) - start, interval + 1);
        EXPECT_EQ(frame(interval + 1) - start, 2 * interval + 2);
    }
}

// The non-blocking form of the rule, as a loop that cannot wait uses it: a frame may go once
// the time is past reference + interval, and its entry time becomes the reference.
TEST_F(PacingTest, TheRuleWithoutWaitingReleasesAtTheSameMoments) {
    sequencer::sceneState.frameInterval = 64;
    std::uint32_t now = clock->milliseconds();
    std::vector<std::uint32_t> releases;
    const std::uint32_t start = now;
    for (int i = 0; i < 5; ++i) {
        now += 10;  // the frame's work
        const std::uint32_t entry = now;
        if (!sequencer::mayRelease(now)) {
            now = sequencer::releaseTime();
            EXPECT_TRUE(sequencer::mayRelease(now));
            EXPECT_FALSE(sequencer::mayRelease(now - 1));
        }
        sequencer::markReleased(entry);
        releases.push_back(now - start);
    }
    EXPECT_EQ(releases, (std::vector<std::uint32_t>{10, 75, 85, 150, 160}));
}

TEST_F(PacingTest, TicksAddTheStepEverySixteenMillisecondsAndAZeroStepHoldsTheClock) {
    sequencer::sceneState.timeStep.store(0.25f);
    sequencer::startTimer();
    clock->waitUntil(clock->milliseconds() + 160);
    EXPECT_FLOAT_EQ(sequencer::motion.sceneTime.load(), 2.5f);
    clock->waitUntil(clock->milliseconds() + 15);  // not yet the next tick
    EXPECT_FLOAT_EQ(sequencer::motion.sceneTime.load(), 2.5f);
    sequencer::sceneState.timeStep.store(0.0f);
    clock->waitUntil(clock->milliseconds() + 1000);
    EXPECT_FLOAT_EQ(sequencer::motion.sceneTime.load(), 2.5f);
}

TEST(RealClock, WaitingSleepsAndNeverReturnsEarly) {
    platform::Clock& real = platform::realClock();
    const std::uint32_t start = real.milliseconds();
    const auto cpuBefore = std::clock();
    real.waitUntil(start + 30);
    EXPECT_GE(real.milliseconds() - start, 30u);
    // A spinning wait would burn the whole 30 ms of processor time.
    EXPECT_LT(static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC, 0.015);
}

}  // namespace
