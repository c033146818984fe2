// The desktop display through SDL2: the mode list from the video driver, a window (or an
// exclusive full-screen mode switch) with a renderer, and a streaming 320x200 texture shown in
// the largest 4:3 rectangle the drawable holds, scaled sharply, and presented with vsync.
// During the show the frames come from the show's thread through a triple buffer, and the main
// thread shows the newest one at each refresh, so the display never holds the show back.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "core/picture.h"
#include "platform/frame_handoff.h"
#include "platform/video.h"

namespace platform {

namespace {

constexpr int kStagingWidth = core::kPictureWidth;
constexpr int kStagingHeight = core::kPictureHeight;

// Storage size of a pixel in bits: SDL's 32-bit XRGB format reports 24 bits of depth in four
// bytes, and it is the four bytes the converters write.
int storageBits(Uint32 format) {
    if (SDL_ISPIXELFORMAT_FOURCC(format) || SDL_ISPIXELFORMAT_INDEXED(format)) {
        return SDL_BITSPERPIXEL(format) <= 8 ? 8 : 0;
    }
    return SDL_BYTESPERPIXEL(format) * 8;
}

DisplayMode describe(const SDL_DisplayMode& mode) {
    DisplayMode described;
    described.width = mode.w;
    described.height = mode.h;
    described.bitsPerPixel = storageBits(mode.format);
    int bpp = 0;
    Uint32 red = 0;
    Uint32 green = 0;
    Uint32 blue = 0;
    Uint32 alpha = 0;
    if (SDL_PixelFormatEnumToMasks(mode.format, &bpp, &red, &green, &blue, &alpha) == SDL_TRUE) {
        described.greenMask = green;
    }
    return described;
}

// The texture format a converter writes: blue in the lowest bits, red in the highest. SDL
// converts from it when the screen's own layout differs (red and blue swapped, or a depth
// none of the converters writes), so the texture always matches the converter in use.
Uint32 converterFormat(int bitsPerPixel, bool greenIs6Bit) {
    switch (bitsPerPixel) {
        case 32:
            return SDL_PIXELFORMAT_RGB888;  // bytes B, G, R, X
        case 24:
            return SDL_PIXELFORMAT_BGR24;  // bytes B, G, R
        case 16:
            return greenIs6Bit ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB555;
        default:
            return SDL_PIXELFORMAT_RGB888;
    }
}

bool userChoseDriver() {
    const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
    return chosen != nullptr && chosen[0] != '\0';
}

// The drivers that show pictures to a person, in SDL's order. Left to itself SDL falls back
// to its offscreen driver and "opens" a display where there is none; and without a runtime
// directory the Wayland client library only prints an error, so it is not tried then.
std::string screenDrivers() {
    const bool waylandPossible =
        SDL_getenv("WAYLAND_DISPLAY") != nullptr || SDL_getenv("XDG_RUNTIME_DIR") != nullptr;
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string name = SDL_GetVideoDriver(i);
        if (name == "offscreen" || name == "dummy" || name == "evdev" ||
            (name == "wayland" && !waylandPossible)) {
            continue;
        }
        drivers += drivers.empty() ? name : "," + name;
    }
    // An empty hint would let SDL choose freely; a name no driver has makes it fail instead.
    return drivers.empty() ? std::string("none") : drivers;
}

bool onWayland() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::string(driver) == "wayland";
}

constexpr int kLabels = 64;  // frame labels counted (the scenes)

class SdlVideo final : public Video {
  public:
    bool open() override {
        if (opened_) {
            return true;
        }
        if (!userChoseDriver()) {
            SDL_SetHint(SDL_HINT_VIDEODRIVER, screenDrivers().c_str());
        }
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            return false;
        }
        opened_ = true;
        return true;
    }

    bool desktopMode(DisplayMode& mode) override {
        failure_ = DesktopModeFailure::None;
        if (!opened_) {
            failure_ = DesktopModeFailure::InvalidObject;
            return false;
        }
        if (SDL_GetNumVideoDisplays() < 1) {
            failure_ = DesktopModeFailure::InvalidParams;
            return false;
        }
        SDL_DisplayMode desktop{};
        if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
            failure_ = DesktopModeFailure::Other;
            return false;
        }
        if (desktop.format == SDL_PIXELFORMAT_UNKNOWN) {
            failure_ = DesktopModeFailure::UnsupportedMode;
            return false;
        }
        mode = describe(desktop);
        return true;
    }

    DesktopModeFailure desktopModeFailure() override { return failure_; }

    std::vector<DisplayMode> modes() override {
        std::vector<DisplayMode> listed;
        if (!opened_) {
            return listed;
        }
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode{};
            if (SDL_GetDisplayMode(0, i, &mode) == 0) {
                listed.push_back(describe(mode));
            }
        }
        return listed;
    }

    SetupStep setUp(const SurfaceRequest& request) override {
        if (!opened_) {
            return SetupStep::CooperativeLevel;
        }
        release();
        stagingFormat_ = converterFormat(request.bitsPerPixel, request.greenIs6Bit);
        const SetupStep failed =
            request.windowed ? setUpWindowed(request) : setUpFullScreen(request);
        if (failed != SetupStep::None) {
            return failed;
        }
        // The whole window (in full screen the whole screen) starts black.
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderPresent(renderer_);
        return SetupStep::None;
    }

    bool lock(LockedSurface& surface) override {
        if (handingOff_) {
            surface.pixels = handoff_.writeBuffer();
            surface.pitch = handoffPitch_;
            return true;
        }
        if (texture_ == nullptr || locked_) {
            return false;
        }
        void* pixels = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0 || pixels == nullptr) {
            return false;
        }
        locked_ = true;
        surface.pixels = static_cast<std::uint8_t*>(pixels);
        surface.pitch = pitch;
        return true;
    }

    void unlock() override {
        if (handingOff_) {
            handoff_.publish(label_);
            wake();
            return;
        }
        if (texture_ != nullptr && locked_) {
            SDL_UnlockTexture(texture_);
        }
        locked_ = false;
    }

    BlitResult blit(const ScreenRect& destination) override {
        if (handingOff_) {
            return BlitResult::Ok;  // handed over at unlock; serve shows it
        }
        if (renderer_ == nullptr || texture_ == nullptr) {
            return BlitResult::Failed;
        }
        // A reset renderer has lost its textures: report the loss so this frame is dropped
        // and the texture rebuilt before the next one.
        SDL_PumpEvents();
        SDL_Event reset;
        while (SDL_PeepEvents(&reset, 1, SDL_GETEVENT, SDL_RENDER_TARGETS_RESET,
                              SDL_RENDER_DEVICE_RESET) > 0) {
            lost_ = true;
        }
        if (lost_) {
            return BlitResult::SurfaceLost;
        }
        (void)destination;  // the picture's place follows the drawable, which may be resized
        return draw() ? BlitResult::Ok : BlitResult::Failed;
    }

    bool startHandoff() override {
        if (renderer_ == nullptr || texture_ == nullptr) {
            return false;
        }
        handoffPitch_ = kStagingWidth * SDL_BYTESPERPIXEL(stagingFormat_);
        handoff_.allocate(static_cast<std::size_t>(handoffPitch_) * kStagingHeight);
        if (wakeEvent_ == 0) {
            wakeEvent_ = SDL_RegisterEvents(1);
        }
        handingOff_ = true;
        return true;
    }

    void serve(int timeoutMs) override {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, timeoutMs) != 0) {
            handle(event);
            while (SDL_PollEvent(&event) != 0) {
                handle(event);
            }
        }
        if (lost_) {
            restore();
            redraw_ = true;
        }
        const std::uint8_t* newest = handoff_.takeNewest();
        if (newest == nullptr && !redraw_) {
            return;
        }
        redraw_ = false;
        if (texture_ == nullptr ||
            SDL_UpdateTexture(texture_, nullptr, handoff_.shown(), handoffPitch_) != 0) {
            return;
        }
        if (draw() && newest != nullptr) {
            const int label = handoff_.shownLabel();
            if (label >= 0 && label < kLabels) {
                shown_[static_cast<std::size_t>(label)].fetch_add(1, std::memory_order_relaxed);
            }
        }
    }

    void wake() override {
        if (wakeEvent_ != 0 && wakeEvent_ != static_cast<Uint32>(-1)) {
            SDL_Event event{};
            event.type = wakeEvent_;
            SDL_PushEvent(&event);
        }
    }

    void stopHandoff() override { handingOff_ = false; }

    void labelFrames(int label) override { label_ = label; }

    long framesShown(int label) const override {
        if (label < 0 || label >= kLabels) {
            return 0;
        }
        return static_cast<long>(shown_[static_cast<std::size_t>(label)].load());
    }

    void restore() override {
        if (renderer_ == nullptr) {
            return;
        }
        if (texture_ != nullptr) {
            SDL_DestroyTexture(texture_);
        }
        locked_ = false;
        texture_ = createStaging();
        lost_ = texture_ == nullptr;
    }

    bool pumpEvents() override {
        if (!handingOff_) {
            SDL_Event event;
            while (SDL_PollEvent(&event) != 0) {
                handle(event);
            }
        }
        return quitSeen_.exchange(false);
    }

    void postQuit() override { quitSeen_ = true; }

    void showCursor(bool visible) override {
        if (opened_) {
            SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
        }
    }

    // Texture, renderer, then the window: destroying a full-screen window switches the
    // display back to the desktop's mode.
    void release() override {
        unlock();
        if (texture_ != nullptr) {
            SDL_DestroyTexture(texture_);
            texture_ = nullptr;
        }
        if (renderer_ != nullptr) {
            SDL_DestroyRenderer(renderer_);
            renderer_ = nullptr;
        }
        if (window_ != nullptr) {
            SDL_DestroyWindow(window_);
            window_ = nullptr;
        }
        lost_ = false;
    }

  private:
    // One window event. Escape and closing the window quit; F11 and Alt+Enter switch between
    // the window and full screen; a new size or a lost renderer draws the picture again.
    void handle(const SDL_Event& event) {
        switch (event.type) {
            case SDL_QUIT:
                quitSeen_ = true;
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                    quitSeen_ = true;
                } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                           event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                    redraw_ = true;
                }
                break;
            case SDL_KEYDOWN:
                if (event.key.keysym.sym == SDLK_ESCAPE) {
                    quitSeen_ = true;
                } else if (event.key.repeat == 0 && (event.key.keysym.sym == SDLK_F11 ||
                                                     (event.key.keysym.sym == SDLK_RETURN &&
                                                      (event.key.keysym.mod & KMOD_ALT) != 0))) {
                    toggleFullScreen();
                }
                break;
            case SDL_RENDER_TARGETS_RESET:
            case SDL_RENDER_DEVICE_RESET:
                lost_ = true;
                break;
            default:
                break;
        }
    }

    // Full screen from a window is the desktop's size (no mode switch); the cursor hides there
    // and shows in a window, as it does when the run starts either way.
    void toggleFullScreen() {
        if (window_ == nullptr) {
            return;
        }
        const bool full = (SDL_GetWindowFlags(window_) &
                           (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP)) != 0;
        if (SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) {
            SDL_ShowCursor(full ? SDL_ENABLE : SDL_DISABLE);
        }
        redraw_ = true;
    }

    // The picture's rectangle in the drawable's pixels (not the window's points): the largest
    // whole multiple of 320x240 that fits, centred; in a drawable smaller than that, the
    // largest 4:3 rectangle.
    SDL_Rect pictureRect() const {
        int width = 0;
        int height = 0;
        if (SDL_GetRendererOutputSize(renderer_, &width, &height) != 0) {
            return {0, 0, 0, 0};
        }
        const int multiple = std::min(width / 320, height / 240);
        int w = 0;
        int h = 0;
        if (multiple >= 1) {
            w = 320 * multiple;
            h = 240 * multiple;
        } else if (width * 3 <= height * 4) {
            w = width;
            h = width * 3 / 4;
        } else {
            h = height;
            w = height * 4 / 3;
        }
        return {(width - w) / 2, (height - h) / 2, w, h};
    }

    // Clears the drawable, copies the texture into the picture's rectangle and presents.
    bool draw() {
        const SDL_Rect source{0, 0, kStagingWidth, kStagingHeight};
        const SDL_Rect target = pictureRect();
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        if (SDL_RenderCopy(renderer_, texture_, &source, &target) != 0) {
            return false;
        }
        SDL_RenderPresent(renderer_);
        return true;
    }

    SetupStep setUpWindowed(const SurfaceRequest& request) {
        // The client area is exactly W x H and the window keeps that size.
        // The window opens at W x H; it can be resized and maximised.
        window_ = SDL_CreateWindow(
            request.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, request.width,
            request.height, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
        if (window_ == nullptr) {
            return SetupStep::CooperativeLevel;
        }
        renderer_ = createRenderer();
        if (renderer_ == nullptr) {
            return SetupStep::PrimarySurface;  // the window stays, as a windowed failure does
        }
        texture_ = createStaging();
        if (texture_ == nullptr) {
            return SetupStep::StagingSurface;
        }
        return SetupStep::None;
    }

    SetupStep setUpFullScreen(const SurfaceRequest& request) {
        window_ = SDL_CreateWindow(
            request.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, request.width,
            request.height, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
        if (window_ == nullptr) {
            return SetupStep::CooperativeLevel;
        }
        // A display that cannot switch modes (Wayland) gets a desktop-sized full screen, the
        // picture centred at 4:3 in it.
        if (onWayland()) {
            if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
                return failFullScreen(SetupStep::DisplayMode);
            }
            SDL_ShowWindow(window_);
            renderer_ = createRenderer();
            if (renderer_ == nullptr) {
                return failFullScreen(SetupStep::PrimarySurface);
            }
            texture_ = createStaging();
            return texture_ == nullptr ? failFullScreen(SetupStep::AttachedSurface)
                                       : SetupStep::None;
        }
        // An exclusive switch to the chosen mode, never a desktop-sized stand-in.
        SDL_DisplayMode wanted = displayModeFor(request);
        if (SDL_SetWindowDisplayMode(window_, &wanted) != 0 ||
            SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0) {
            return failFullScreen(SetupStep::DisplayMode);
        }
        SDL_ShowWindow(window_);
        SDL_DisplayMode current{};
        const int display = SDL_GetWindowDisplayIndex(window_);
        if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &current) != 0 ||
            current.w != request.width || current.h != request.height) {
            return failFullScreen(SetupStep::DisplayMode);
        }
        renderer_ = createRenderer();
        if (renderer_ == nullptr) {
            return failFullScreen(SetupStep::PrimarySurface);
        }
        texture_ = createStaging();
        if (texture_ == nullptr) {
            return failFullScreen(SetupStep::AttachedSurface);
        }
        return SetupStep::None;
    }

    // A failed full-screen set-up leaves no window (and so the desktop's mode back).
    SetupStep failFullScreen(SetupStep step) {
        release();
        return step;
    }

    // The display's own mode of that size and depth (its pixel format and refresh rate), or
    // one made up in the converter's format when the display lists none.
    SDL_DisplayMode displayModeFor(const SurfaceRequest& request) const {
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode{};
            if (SDL_GetDisplayMode(0, i, &mode) != 0) {
                continue;
            }
            const DisplayMode described = describe(mode);
            if (mode.w == request.width && mode.h == request.height &&
                described.bitsPerPixel == request.bitsPerPixel &&
                (request.bitsPerPixel != 16 ||
                 ((described.greenMask >> 5) != 31) == request.greenIs6Bit)) {
                return mode;
            }
        }
        SDL_DisplayMode made{};
        made.format = stagingFormat_;
        made.w = request.width;
        made.h = request.height;
        return made;
    }

    SDL_Renderer* createRenderer() {
        SDL_Renderer* renderer = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
        if (renderer == nullptr) {
            // A driver without vsync still shows the show; the pacer keeps the frame rate.
            renderer = SDL_CreateRenderer(window_, -1, 0);
        }
        return renderer;
    }

    // Scaled nearest-neighbour: every source pixel stays a sharp block.
    SDL_Texture* createStaging() {
        SDL_Texture* texture = SDL_CreateTexture(
            renderer_, stagingFormat_, SDL_TEXTUREACCESS_STREAMING, kStagingWidth, kStagingHeight);
        if (texture != nullptr) {
            SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
        }
        return texture;
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    Uint32 stagingFormat_ = SDL_PIXELFORMAT_RGB888;
    DesktopModeFailure failure_ = DesktopModeFailure::None;
    bool opened_ = false;
    bool locked_ = false;
    bool lost_ = false;
    bool redraw_ = false;
    std::atomic<bool> quitSeen_{false};  // set by serve or postQuit, taken by pumpEvents
    // The handoff: set and cleared on the main thread while the show's thread is not running.
    bool handingOff_ = false;
    FrameHandoff handoff_;
    int handoffPitch_ = 0;
    int label_ = 0;  // show's thread
    Uint32 wakeEvent_ = 0;
    std::array<std::atomic<long>, kLabels> shown_{};
};

}  // namespace

Video& desktopVideo() {
    static SdlVideo video;
    return video;
}

}  // namespace platform
