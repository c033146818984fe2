// The clocked module player: positions follow the song's own timing on the virtual clock.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/clock.h"
#include "platform/music.h"
#include "tests/support/modules.h"
#include "tests/support/run_program.h"

namespace {

struct Loaded {
    std::unique_ptr<platform::Clock> clock = platform::makeVirtualClock();
    platform::Music* music = nullptr;
};

void load(Loaded& loaded, const testsupport::ModulePlan& plan, const std::string& wav = "") {
    const std::string dir = testsupport::makeTempDirectory("music");
    testsupport::writeFile(dir + "/song.it", testsupport::buildModule(plan));
    loaded.music = &platform::clockedMusic(*loaded.clock, wav);
    std::string error;
    ASSERT_TRUE(loaded.music->load(dir + "/song.it", error)) << error;
    loaded.music->play(false);
}

TEST(ClockedMusic, RowsAdvanceAtTheSongsTempo) {
    // Speed 6 at 125 BPM: 6 ticks of 20 ms, 120 ms a row, 7.68 s a 64-row order.
    Loaded loaded;
    load(loaded, {});
    EXPECT_EQ(loaded.music->position().order, 0);
    loaded.clock->waitUntil(loaded.clock->milliseconds() + 7680 + 130);
    const auto position = loaded.music->position();
    EXPECT_EQ(position.order, 1);
    EXPECT_EQ(position.row, 1);
}

TEST(ClockedMusic, SpeedAndTempoChangesBetweenPatternsMoveTheOrders) {
    // Pattern 1 runs at speed 3 (half as long a row), pattern 2 at tempo 250 as well.
    testsupport::ModulePlan plan;
    plan.patternSpeed = {6, 3, 3};
    plan.patternTempo = {125, 125, 250};
    Loaded loaded;
    load(loaded, plan);
    const std::uint32_t start = loaded.clock->milliseconds();
    loaded.clock->waitUntil(start + 7680 + 3840 - 10);
    EXPECT_EQ(loaded.music->position().order, 1);
    loaded.clock->waitUntil(start + 7680 + 3840 + 10);
    EXPECT_EQ(loaded.music->position().order, 2);
}

TEST(ClockedMusic, WritesTheMixAtExactlyTheClocksRate) {
    const std::string dir = testsupport::makeTempDirectory("wav");
    Loaded loaded;
    load(loaded, {}, dir + "/mix.wav");
    loaded.clock->waitUntil(loaded.clock->milliseconds() + 1000);
    loaded.music->position();
    loaded.clock->waitUntil(loaded.clock->milliseconds() + 1500);
    loaded.music->position();
    loaded.music->stop();
    std::ifstream wav(dir + "/mix.wav", std::ios::binary | std::ios::ate);
    EXPECT_EQ(static_cast<long>(wav.tellg()), 44 + 110250L * 4);  // 2.5 s of 16-bit stereo
}

TEST(ClockedMusic, RefusesWhatIsNotAModule) {
    const std::string dir = testsupport::makeTempDirectory("bad");
    testsupport::writeFile(dir + "/song.it", {'n', 'o', 't', ' ', 'a', ' ', 's', 'o', 'n', 'g'});
    Loaded loaded;
    loaded.music = &platform::clockedMusic(*loaded.clock, "");
    std::string error;
    EXPECT_FALSE(loaded.music->load(dir + "/song.it", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(loaded.music->load(dir + "/missing.it", error));
    EXPECT_EQ(error, "cannot be opened (No such file or directory)");
}

}  // namespace
