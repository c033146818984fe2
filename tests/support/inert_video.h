#pragma once
// A display that does nothing: opens, offers no modes, refuses to lock, drops every blit.
// Test doubles derive from it and override only what their test is about.
#include <vector>

#include "platform/video.h"

namespace testsupport {

class InertVideo : public platform::Video {
  public:
    bool open() override { return true; }
    bool desktopMode(platform::DisplayMode&) override { return false; }
    std::vector<platform::DisplayMode> modes() override { return {}; }
    platform::SetupStep setUp(const platform::SurfaceRequest&) override {
        return platform::SetupStep::None;
    }
    bool lock(platform::LockedSurface&) override { return false; }
    void unlock() override {}
    platform::BlitResult blit(const platform::ScreenRect&) override {
        return platform::BlitResult::Failed;
    }
    void restore() override {}
    bool pumpEvents() override { return false; }
    void postQuit() override {}
    void showCursor(bool) override {}
    void release() override {}
};

}  // namespace testsupport
