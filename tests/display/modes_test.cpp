// The mode list against a made-up display: what is recorded, how it is ordered, the 256-record
// bound and the boxes shown when the display cannot be opened or cannot tell its mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/modes.h"
#include "display/state.h"
#include "display/surfaces.h"
#include "platform/video.h"
#include "tests/support/inert_video.h"

namespace {

using platform::DisplayMode;

constexpr std::uint32_t kGreen565 = 0x7E0;
constexpr std::uint32_t kGreen555 = 0x3E0;
constexpr std::uint32_t kGreen32 = 0xFF00;

class ModeSource final : public testsupport::InertVideo {
  public:
    bool opens = true;
    bool tellsDesktop = true;
    platform::DesktopModeFailure failure = platform::DesktopModeFailure::Other;
    DisplayMode desktop;
    std::vector<DisplayMode> offered;

    bool open() override { return opens; }
    bool desktopMode(DisplayMode& mode) override {
        if (!tellsDesktop) {
            return false;
        }
        mode = desktop;
        return true;
    }
    platform::DesktopModeFailure desktopModeFailure() override { return failure; }
    std::vector<DisplayMode> modes() override { return offered; }
};

std::string describe(const display::ModeRecord& r) {
    return std::to_string(r.width) + "x" + std::to_string(r.height) + "x" +
           std::to_string(r.bitsPerPixel) + (r.greenIs6Bit ? "" : "/555");
}

std::vector<std::string> listed() {
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < display::state.modeCount; ++i) {
        out.push_back(describe(display::state.modeList[static_cast<std::size_t>(i)]));
    }
    return out;
}

// The driver of the worked example: desktop at 800x600x32.
ModeSource exampleDriver() {
    ModeSource source;
    source.desktop = {800, 600, 32, kGreen32};
    source.offered = {{640, 480, 8, 0},          {640, 480, 16, kGreen565},
                      {640, 480, 32, kGreen32},  {800, 600, 32, kGreen32},
                      {1024, 768, 24, kGreen32}, {320, 200, 32, kGreen32}};
    return source;
}

TEST(ModeList, WorkedExampleRecordsDesktopThenSortsDeepestNarrowestFirst) {
    ModeSource source = exampleDriver();
    display::useVideo(source);
    EXPECT_EQ(display::buildModeList(), 1);
    const std::vector<std::string> expected = {"800x600x32", "320x200x32",  "640x480x32",
                                               "800x600x32", "1024x768x24", "640x480x16"};
    EXPECT_EQ(listed(), expected);
}

TEST(ModeList, GreenMaskTellsFiveFiveFiveFromFiveSixFive) {
    ModeSource source;
    source.desktop = {1024, 768, 16, kGreen555};
    source.offered = {{640, 480, 16, kGreen565},
                      {320, 240, 16, kGreen555},
                      {800, 600, 24, 0xFF00},
                      {800, 600, 16, kGreen565}};
    display::useVideo(source);
    display::buildModeList();
    const std::vector<std::string> expected = {"1024x768x16/555", "800x600x24", "320x240x16/555",
                                               "640x480x16", "800x600x16"};
    EXPECT_EQ(listed(), expected);
    // 24- and 32-bit records always carry 1.
    EXPECT_EQ(display::state.modeList[1].greenIs6Bit, 1);
}

TEST(ModeList, EightBitDesktopLeavesFirstDeepModeUnsortedAtRecordZero) {
    ModeSource source;
    source.desktop = {1024, 768, 8, 0};
    source.offered = {{1024, 768, 8, 0},
                      {800, 600, 16, kGreen555},
                      {640, 480, 32, kGreen32},
                      {320, 200, 24, kGreen32},
                      {320, 200, 32, kGreen32}};
    display::useVideo(source);
    display::buildModeList();
    const std::vector<std::string> expected = {"800x600x16/555", "320x200x32", "640x480x32",
                                               "320x200x24"};
    EXPECT_EQ(listed(), expected);
}

TEST(ModeList, DuplicatesAndOtherDepthsAsOffered) {
    ModeSource source;
    source.desktop = {640, 480, 32, kGreen32};
    // The same mode at two refresh rates is listed twice; 4-, 8- and 15-bit depths are dropped.
    source.offered = {{640, 480, 32, kGreen32},  {640, 480, 4, 0}, {640, 480, 32, kGreen32},
                      {640, 480, 15, kGreen555}, {512, 384, 0, 0}, {640, 400, 32, kGreen32}};
    display::useVideo(source);
    display::buildModeList();
    const std::vector<std::string> expected = {"640x480x32", "640x400x32", "640x480x32",
                                               "640x480x32"};
    EXPECT_EQ(listed(), expected);
}

TEST(ModeList, StopsRecordingAt256AndStillSorts) {
    ModeSource source;
    source.desktop = {640, 480, 32, kGreen32};
    // 300 modes, widest first, so the kept 255 must be sorted into ascending width.
    for (int i = 0; i < 300; ++i) {
        source.offered.push_back({2000 - i, 100, 32, kGreen32});
    }
    display::useVideo(source);
    display::buildModeList();
    ASSERT_EQ(display::state.modeCount, 256);
    EXPECT_EQ(describe(display::state.modeList[0]), "640x480x32");
    EXPECT_EQ(display::state.modeList[1].width, 2000u - 254u);
    EXPECT_EQ(display::state.modeList[255].width, 2000u);
    // Built again, the list starts over rather than appending past its end.
    display::buildModeList();
    EXPECT_EQ(display::state.modeCount, 256);
}

TEST(ModeList, UntoldDesktopModeShowsItsReasonAndLeavesFirstModeAtRecordZero) {
    const std::pair<platform::DesktopModeFailure, std::string> cases[] = {
        {platform::DesktopModeFailure::InvalidObject, "invalidobject\n"},
        {platform::DesktopModeFailure::InvalidParams, "invalidparams\n"},
        {platform::DesktopModeFailure::UnsupportedMode, "unsupportedmode\n"},
        {platform::DesktopModeFailure::Other, "GetDisplayMode error\n"},
    };
    for (const auto& [failure, text] : cases) {
        ModeSource source;
        source.tellsDesktop = false;
        source.failure = failure;
        source.desktop = {1920, 1080, 32, kGreen32};  // must not be used
        source.offered = {
            {640, 480, 16, kGreen565}, {800, 600, 32, kGreen32}, {320, 200, 32, kGreen32}};
        display::useVideo(source);
        testing::internal::CaptureStderr();
        EXPECT_EQ(display::buildModeList(), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), text);
        const std::vector<std::string> expected = {"640x480x16", "320x200x32", "800x600x32"};
        EXPECT_EQ(listed(), expected);
    }
}

TEST(ModeList, UnopenedDisplayGivesEmptyListAndNoSetUp) {
    ModeSource source = exampleDriver();
    source.opens = false;
    display::useVideo(source);
    testing::internal::CaptureStderr();
    EXPECT_EQ(display::buildModeList(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "DDRAW ERROR: DirectDrawCreate error\n");
    EXPECT_EQ(display::state.modeCount, 0);
}

}  // namespace
