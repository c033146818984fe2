// Video without a display: the staging area lives in memory in the format the run selects,
// and every blit hands the frame to a sink so tests and tools see exactly what a screen
// would have shown.
#include <vector>

#include "platform/memory_staging.h"
#include "platform/video.h"

namespace platform {

namespace {

class HeadlessVideo final : public Video {
  public:
    void configure(HeadlessVideoOptions options) { options_ = std::move(options); }

    bool open() override { return true; }

    bool desktopMode(DisplayMode& mode) override {
        mode = options_.desktop;
        return true;
    }

    std::vector<DisplayMode> modes() override {
        // The desktop's own mode, as a display lists it among its modes.
        return {options_.desktop};
    }

    SetupStep setUp(const SurfaceRequest& request) override {
        // Windowed play takes the desktop's format; full screen the requested one.
        if (request.windowed) {
            bitsPerPixel_ = options_.desktop.bitsPerPixel;
            greenIs6Bit_ = (options_.desktop.greenMask >> 5) != 31;
        } else {
            bitsPerPixel_ = request.bitsPerPixel;
            greenIs6Bit_ = request.greenIs6Bit;
        }
        staging_.allocate(request, bitsPerPixel_);
        return SetupStep::None;
    }

    bool lock(LockedSurface& surface) override { return staging_.lock(surface); }

    void unlock() override {}

    BlitResult blit(const ScreenRect& destination) override {
        if (!staging_.ready()) {
            return BlitResult::Failed;
        }
        if (options_.frameSink) {
            PresentedFrame frame;
            frame.staging = staging_.picture();
            frame.pitch = staging_.pitch();
            frame.bitsPerPixel = bitsPerPixel_;
            frame.greenIs6Bit = greenIs6Bit_;
            frame.destination = destination;
            options_.frameSink(frame);
        }
        return BlitResult::Ok;
    }

    void restore() override {}

    bool pumpEvents() override {
        const bool quit = quitPosted_;
        quitPosted_ = false;
        return quit;
    }

    void postQuit() override { quitPosted_ = true; }
    void showCursor(bool) override {}

    void release() override { staging_.release(); }

  private:
    HeadlessVideoOptions options_;
    MemoryStaging staging_;
    int bitsPerPixel_ = 32;
    bool greenIs6Bit_ = true;
    bool quitPosted_ = false;
};

HeadlessVideo& instance() {
    static HeadlessVideo video;
    return video;
}

}  // namespace

Video& headlessVideo() {
    return instance();
}

void configureHeadlessVideo(HeadlessVideoOptions options) {
    instance().configure(std::move(options));
}

}  // namespace platform
