// Display set-up through a recording video: what is asked of the platform for windowed and
// full-screen play, the "DDRAW ERROR" texts for each failing step, and refusals that keep a run
// from reaching the presentation without surfaces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings.h"
#include "display/modes.h"
#include "display/state.h"
#include "display/surfaces.h"
#include "platform/video.h"
#include "tests/support/inert_video.h"

namespace {

class RecordingVideo final : public testsupport::InertVideo {
  public:
    platform::SetupStep failAt = platform::SetupStep::None;
    std::vector<platform::SurfaceRequest> requests;
    std::vector<std::string> calls;

    bool open() override { return true; }
    bool desktopMode(platform::DisplayMode& mode) override {
        mode = {1024, 768, 16, 0x3E0};  // a 5-5-5 desktop
        return true;
    }
    std::vector<platform::DisplayMode> modes() override {
        return {{640, 480, 32, 0xFF00}, {1280, 1024, 24, 0xFF00}, {800, 600, 16, 0x7E0}};
    }
    platform::SetupStep setUp(const platform::SurfaceRequest& request) override {
        calls.push_back("setUp");
        requests.push_back(request);
        return failAt;
    }
    void showCursor(bool visible) override { calls.push_back(visible ? "show" : "hide"); }
    void release() override { calls.push_back("release"); }
};

// Records after sorting: 0 1024x768x16/555, 1 640x480x32, 2 1280x1024x24, 3 800x600x16.
class SurfaceSetUp : public testing::Test {
  protected:
    void SetUp() override {
        display::useVideo(video);
        display::buildModeList();
        ASSERT_EQ(display::state.modeCount, 4);
        settings = {};
    }
    RecordingVideo video;
    core::LaunchSettings settings;
};

TEST_F(SurfaceSetUp, WindowedTakesChosenSizeAndDesktopFormat) {
    settings.modeIndex = 1;
    settings.windowed = true;
    EXPECT_EQ(display::setUpDisplay(settings), 1);
    ASSERT_EQ(video.requests.size(), 1u);
    const platform::SurfaceRequest& request = video.requests[0];
    EXPECT_EQ(request.width, 640);
    EXPECT_EQ(request.height, 480);
    // The staging area follows the desktop record, whatever the chosen mode's depth.
    EXPECT_EQ(request.bitsPerPixel, 16);
    EXPECT_FALSE(request.greenIs6Bit);
    EXPECT_TRUE(request.windowed);
    EXPECT_EQ(request.title, display::kWindowTitle);
    EXPECT_EQ(video.calls, std::vector<std::string>{"setUp"});  // the cursor stays
    EXPECT_EQ(display::state.borderX, 0);
    EXPECT_EQ(display::state.borderY, 0);
    display::releaseDisplay();
    EXPECT_EQ(video.calls.back(), "release");
}

TEST_F(SurfaceSetUp, FullScreenHidesCursorFirstAndSwitchesToChosenRecord) {
    settings.modeIndex = 2;
    EXPECT_EQ(display::setUpDisplay(settings), 1);
    EXPECT_EQ(video.calls, (std::vector<std::string>{"hide", "setUp"}));
    const platform::SurfaceRequest& request = video.requests.at(0);
    EXPECT_EQ(request.width, 1280);
    EXPECT_EQ(request.height, 1024);
    EXPECT_EQ(request.bitsPerPixel, 24);
    EXPECT_FALSE(request.windowed);
    EXPECT_EQ(request.title, "Stormglass 2");
    EXPECT_EQ(display::state.borderX, 0);
    EXPECT_EQ(display::state.borderY, 32);

    settings.modeIndex = 3;
    EXPECT_EQ(display::setUpDisplay(settings), 1);
    EXPECT_EQ(video.requests.at(1).bitsPerPixel, 16);
    EXPECT_TRUE(video.requests.at(1).greenIs6Bit);
}

TEST_F(SurfaceSetUp, EachFailingStepShowsItsBoxAndReturnsZero) {
    const std::pair<platform::SetupStep, std::string> table[] = {
        {platform::SetupStep::CooperativeLevel, "SetCooperativeLevel error"},
        {platform::SetupStep::DisplayMode, "SetDisplayMode error"},
        {platform::SetupStep::PrimarySurface, "CreateSurface error"},
        {platform::SetupStep::Clipper, "CreateClipper error"},
        {platform::SetupStep::StagingSurface, "CreateSurface error"},
        {platform::SetupStep::AttachedSurface, "GetAttachedSurface error"},
    };
    settings.modeIndex = 1;
    for (const auto& [step, text] : table) {
        video.failAt = step;
        testing::internal::CaptureStderr();
        EXPECT_EQ(display::setUpDisplay(settings), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "DDRAW ERROR: " + text + "\n");
    }
}

TEST_F(SurfaceSetUp, ChoiceOutsideListIsRefusedWithoutTouchingDisplay) {
    for (const std::int32_t index : {-1, 4, 255}) {
        settings.modeIndex = index;
        testing::internal::CaptureStderr();
        EXPECT_EQ(display::setUpDisplay(settings), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "DDRAW ERROR: SetDisplayMode error\n");
    }
    EXPECT_TRUE(video.calls.empty());
}

TEST(SurfaceSetUpUnopened, NoDisplayMeansNoSetUp) {
    struct Refusing final : testsupport::InertVideo {
        bool open() override { return false; }
        platform::SetupStep setUp(const platform::SurfaceRequest&) override {
            ADD_FAILURE() << "set up without a display";
            return platform::SetupStep::None;
        }
    } refusing;
    display::useVideo(refusing);
    testing::internal::CaptureStderr();
    display::buildModeList();
    const core::LaunchSettings settings;
    EXPECT_EQ(display::setUpDisplay(settings), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "DDRAW ERROR: DirectDrawCreate error\nDDRAW ERROR: DirectDrawCreate error\n");
    display::releaseDisplay();  // harmless without a display
}

}  // namespace
