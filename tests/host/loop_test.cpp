// The blocking loop on the virtual clock with the built data: frames are released by the
// pacer's rule, the first at once, then in close pairs 17 ms apart while the work is short.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "display/modes.h"
#include "display/present.h"
#include "display/state.h"
#include "display/surfaces.h"
#include "host/play.h"
#include "host/shutdown.h"
#include "platform/clock.h"
#include "platform/music.h"
#include "platform/video.h"
#include "sequencer/music.h"
#include "sequencer/pacing.h"
#include "sequencer/show.h"
#include "store/store.h"
#include "tests/support/run_program.h"

namespace {

std::vector<std::uint32_t> releases;

void recordRelease() {
    releases.push_back(sequencer::clock().milliseconds());
    display::expandFrame();
    display::presentFrame();
}

bool twelveFrames() {
    return releases.size() == 12;
}

TEST(PlayLoop, ReleasesFramesByThePacersRuleAndStopsAtTheQuit) {
    const std::string data =
        std::filesystem::path(testsupport::builtProgram("sg2.dat")).parent_path().string();
    display::useVideo(platform::headlessVideo());
    sequencer::useClock(platform::virtualClock());
    sequencer::useMusicPlayer(platform::clockedMusic(platform::virtualClock(), ""));
    store::setDataFilePath(data + "/sg2.dat");
    display::buildModeList();
    core::LaunchSettings settings;
    settings.modeIndex = display::state.modeCount > 1 ? 1 : 0;
    sequencer::startSoundOutput();
    ASSERT_TRUE(sequencer::loadSong(data + "/sg2.it"));
    ASSERT_EQ(display::setUpDisplay(settings), 1);
    ASSERT_TRUE(display::allocateScreenBuffers());

    sequencer::Show show;
    host::FrameOutput output;
    output.present = &recordRelease;
    output.quitAsked = &twelveFrames;
    testing::internal::CaptureStdout();
    const host::RunEnd end = host::playBlocking(show, settings, output);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(end.kind, host::RunEnd::Kind::Quit);
    EXPECT_EQ(show.scene(), 1);
    std::vector<std::uint32_t> fromFirst;
    for (const std::uint32_t at : releases) {
        fromFirst.push_back(at - releases.front());
    }
    // Scene 1's interval is 16 ms; its work takes no virtual time.
    EXPECT_EQ(fromFirst,
              (std::vector<std::uint32_t>{0, 17, 17, 34, 34, 51, 51, 68, 68, 85, 85, 102}));
    EXPECT_TRUE(host::shutDown());
}

}  // namespace
