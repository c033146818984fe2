// The display in a browser page: the page's <canvas id="screen"> of 320x200 pixels, which
// the page scales to 4:3 itself; the staging area lives in memory and each blit copies it to
// the canvas. The page owns the keyboard: Escape, or leaving full screen, posts the quit.
#include <emscripten.h>

#include <array>
#include <vector>

#include "core/picture.h"
#include "platform/memory_staging.h"
#include "platform/video.h"

namespace platform {

namespace {

constexpr int kWidth = core::kPictureWidth;
constexpr int kHeight = core::kPictureHeight;
EM_JS(int, canvasFound, (), { return document.getElementById("screen") ? 1 : 0; });

EM_JS(void, showPicture, (const std::uint8_t* rgba, int width, int height), {
    const canvas = document.getElementById("screen");
    if (!canvas) {
        return;
    }
    if (!Module.sg2Picture) {
        Module.sg2Context = canvas.getContext("2d");
        Module.sg2Picture = Module.sg2Context.createImageData(width, height);
    }
    Module.sg2Picture.data.set(HEAPU8.subarray(rgba, rgba + width * height * 4));
    Module.sg2Context.putImageData(Module.sg2Picture, 0, 0);
    // The page keeps its loading indicator up until the show's first picture.
    const first = Module.sg2FirstPicture;
    if (first) {
        Module.sg2FirstPicture = null;
        first();
    }
});

EM_JS(void, setCursorShown, (int shown), {
    const canvas = document.getElementById("screen");
    if (canvas) {
        canvas.style.cursor = shown ? "" : "none";
    }
});

class WebVideo final : public Video {
  public:
    bool open() override { return canvasFound() != 0; }

    bool desktopMode(DisplayMode& mode) override {
        mode = kPageMode;
        return true;
    }

    // The page offers one mode; it scales the picture to whatever size the canvas has.
    std::vector<DisplayMode> modes() override { return {kPageMode}; }

    SetupStep setUp(const SurfaceRequest& request) override {
        if (request.bitsPerPixel != 32 && !request.windowed) {
            return SetupStep::DisplayMode;
        }
        staging_.allocate(request, 32);
        return SetupStep::None;
    }

    bool lock(LockedSurface& surface) override { return staging_.lock(surface); }

    void unlock() override {}

    BlitResult blit(const ScreenRect&) override {
        if (!staging_.ready()) {
            return BlitResult::Failed;
        }
        // Staging bytes are B, G, R, X; the canvas takes R, G, B, A.
        for (int y = 0; y < kHeight; ++y) {
            const std::uint8_t* in = staging_.row(y);
            std::uint8_t* out = rgba_.data() + static_cast<std::size_t>(y) * kWidth * 4;
            for (int x = 0; x < kWidth; ++x, in += 4, out += 4) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
                out[3] = 255;
            }
        }
        showPicture(rgba_.data(), kWidth, kHeight);
        return BlitResult::Ok;
    }

    void restore() override {}

    bool pumpEvents() override {
        const bool quit = quitPosted_;
        quitPosted_ = false;
        return quit;
    }

    void postQuit() override { quitPosted_ = true; }
    void showCursor(bool visible) override { setCursorShown(visible ? 1 : 0); }

    void release() override { staging_.release(); }

  private:
    static constexpr DisplayMode kPageMode{640, 480, 32, 0xFF00};

    MemoryStaging staging_;
    std::array<std::uint8_t, kWidth * kHeight * 4> rgba_{};
    bool quitPosted_ = false;
};

WebVideo& instance() {
    static WebVideo video;
    return video;
}

}  // namespace

void onDisplayLost(DisplayLostHandler) {
    // A page's canvas cannot be lost under the show.
}

Video& desktopVideo() {
    return instance();
}

}  // namespace platform

// The page ends the run this way: Escape, or leaving full screen (the browser keeps that
// Escape press to itself). A quit posted before the first frame ends the run at that frame.
extern "C" EMSCRIPTEN_KEEPALIVE void sg2_quit() {
    platform::desktopVideo().postQuit();
}
