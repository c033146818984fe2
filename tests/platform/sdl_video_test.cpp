// The SDL video on SDL's dummy driver (no X server needed): the desktop mode as a record of
// storage bits, windowed and full-screen set-up, staging pitches per format, the refused mode
// switch, quits, and the one-line exit when there is no display at all.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/video.h"

namespace {

platform::Video& dummyVideo() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    platform::Video& video = platform::desktopVideo();
    EXPECT_TRUE(video.open());
    return video;
}

platform::SurfaceRequest request(int w, int h, int bits, bool green6, bool windowed) {
    platform::SurfaceRequest r;
    r.width = w;
    r.height = h;
    r.bitsPerPixel = bits;
    r.greenIs6Bit = green6;
    r.windowed = windowed;
    r.title = "test";
    return r;
}

TEST(SdlVideo, DesktopOfDummyDriverIsA32BitRecord) {
    platform::Video& video = dummyVideo();
    platform::DisplayMode desktop;
    ASSERT_TRUE(video.desktopMode(desktop));
    EXPECT_EQ(desktop.width, 1024);
    EXPECT_EQ(desktop.height, 768);
    // Its XRGB format reports 24 bits of depth in four bytes: a 32-bit record.
    EXPECT_EQ(desktop.bitsPerPixel, 32);
    EXPECT_EQ(desktop.greenMask, 0xFF00u);
    const auto modes = video.modes();
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(modes[0].bitsPerPixel, 32);
}

TEST(SdlVideo, StagingPitchFollowsRequestedFormat) {
    platform::Video& video = dummyVideo();
    const std::pair<platform::SurfaceRequest, int> cases[] = {
        {request(640, 480, 32, true, true), 1280},
        {request(640, 480, 24, true, true), 960},
        {request(320, 200, 16, true, true), 640},
        {request(800, 600, 16, false, true), 640},
    };
    for (const auto& [wanted, minimumPitch] : cases) {
        ASSERT_EQ(video.setUp(wanted), platform::SetupStep::None);
        platform::LockedSurface surface;
        ASSERT_TRUE(video.lock(surface));
        EXPECT_NE(surface.pixels, nullptr);
        EXPECT_GE(surface.pitch, minimumPitch);
        EXPECT_LT(surface.pitch, minimumPitch + 64);
        // The whole 320x200 area is writable (the sanitizer build checks the bound).
        for (int row = 0; row < 200; ++row) {
            surface.pixels[row * surface.pitch + minimumPitch - 1] = 0xA5;
        }
        platform::LockedSurface again;
        EXPECT_FALSE(video.lock(again));  // one lock at a time
        video.unlock();
        EXPECT_EQ(video.blit({0, 0, wanted.width, wanted.height}), platform::BlitResult::Ok);
        video.restore();  // a rebuilt texture keeps working
        ASSERT_TRUE(video.lock(surface));
        video.unlock();
        EXPECT_EQ(video.blit({27, 0, 293, 200}), platform::BlitResult::Ok);
    }
    video.release();
    platform::LockedSurface surface;
    EXPECT_FALSE(video.lock(surface));
    EXPECT_EQ(video.blit({0, 0, 320, 200}), platform::BlitResult::Failed);
}

TEST(SdlVideo, FullScreenSwitchesOnlyToOfferedMode) {
    platform::Video& video = dummyVideo();
    EXPECT_EQ(video.setUp(request(1024, 768, 32, true, false)), platform::SetupStep::None);
    platform::LockedSurface surface;
    EXPECT_TRUE(video.lock(surface));
    video.unlock();
    EXPECT_EQ(video.blit({0, 0, 1024, 768}), platform::BlitResult::Ok);
    // A mode the display does not have is refused and leaves no window behind.
    EXPECT_EQ(video.setUp(request(640, 480, 32, true, false)), platform::SetupStep::DisplayMode);
    EXPECT_FALSE(video.lock(surface));
    video.release();
}

TEST(SdlVideo, PostedQuitIsSeenOnceByPump) {
    platform::Video& video = dummyVideo();
    EXPECT_FALSE(video.pumpEvents());
    video.postQuit();
    EXPECT_TRUE(video.pumpEvents());
    EXPECT_FALSE(video.pumpEvents());
}

TEST(SdlVideoDeathTest, NoDisplayAtAllFailsToOpen) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            setenv("SDL_VIDEODRIVER", "x11,wayland", 1);
            std::exit(platform::desktopVideo().open() ? 0 : 3);
        },
        testing::ExitedWithCode(3), "");
}

}  // namespace
