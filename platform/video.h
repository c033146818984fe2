#pragma once
// The display surfaces, standing in for DirectDraw: mode enumeration, a lockable 320x200
// staging area in a known pixel format, a stretch blit to a screen rectangle, window events.
// The display subsystem (mode list, set-up, presentation) is the only caller.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// One display mode as the display reports it. bitsPerPixel is the storage size of a pixel
// (16, 24 or 32; anything else is reported as is and filtered by the caller).
struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::uint32_t greenMask = 0;
};

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The set-up steps that can fail, each standing in for one DirectDraw step.
enum class SetupStep {
    None,              // success
    CooperativeLevel,  // taking the display (window creation, full-screen access)
    DisplayMode,       // switching to W x H x D
    PrimarySurface,    // the renderer / visible surface
    Clipper,           // windowed: binding output to the window
    StagingSurface,    // windowed: the 320x200-capable staging texture
    AttachedSurface,   // full screen: the staging texture
};

struct SurfaceRequest {
    int width = 0;
    int height = 0;
    // The staging area's pixel format, as the converter writes it; in full screen also the
    // depth to switch to.
    int bitsPerPixel = 0;
    bool greenIs6Bit = true;
    bool windowed = false;
    std::string title;
};

// Why the desktop's mode could not be told, standing in for GetDisplayMode's failure codes.
enum class DesktopModeFailure { None, InvalidObject, InvalidParams, UnsupportedMode, Other };

enum class BlitResult { Ok, SurfaceLost, StillDrawing, Failed };

struct LockedSurface {
    std::uint8_t* pixels = nullptr;
    int pitch = 0;
};

// What a screen shows after one blit: the staging area's top-left 320x200 in its own pixel
// format (rows of `pitch` bytes), and where it was stretched to.
struct PresentedFrame {
    std::span<const std::uint8_t> staging;
    int pitch = 0;
    int bitsPerPixel = 0;
    bool greenIs6Bit = true;
    ScreenRect destination;
};

class Video {
  public:
    virtual ~Video() = default;
    // False when no display can be opened at all (DirectDrawCreate's failure).
    virtual bool open() = 0;
    // The desktop's current mode; false when it cannot be told.
    virtual bool desktopMode(DisplayMode& mode) = 0;
    // After desktopMode failed: why.
    virtual DesktopModeFailure desktopModeFailure() { return DesktopModeFailure::Other; }
    // Every mode the display offers, in the display's own order.
    virtual std::vector<DisplayMode> modes() = 0;
    // Creates the window and staging area; returns the first step that failed, or None.
    virtual SetupStep setUp(const SurfaceRequest& request) = 0;
    // Locks the staging area; false when it cannot be locked (the frame is then skipped).
    virtual bool lock(LockedSurface& surface) = 0;
    virtual void unlock() = 0;
    // Stretches the staging area's top-left 320x200 into `destination` (window client or
    // screen coordinates) and shows it.
    virtual BlitResult blit(const ScreenRect& destination) = 0;
    // Rebuilds what a lost-surface result lost.
    virtual void restore() = 0;
    // Drains the window's events; returns true when a quit (Escape pressed, window closed)
    // was seen.
    virtual bool pumpEvents() = 0;
    // Queues a quit as if the user had pressed Escape.
    virtual void postQuit() = 0;
    virtual void showCursor(bool visible) = 0;
    // Gives back the window and surfaces; leaving full screen restores the desktop mode.
    virtual void release() = 0;

    // Presentation apart from the show, for screens whose present waits for the display's
    // refresh. Between startHandoff (true when the screen can do it) and stopHandoff, both on
    // the main thread, the show's thread may lock, unlock and blit: the frame goes into a triple
    // buffer and is handed over without waiting, and pumpEvents only reports the quits that
    // serve saw. serve runs on the main thread: it drains the window's events and shows the
    // newest frame handed over since its last call (waiting for the refresh when it presents),
    // returning after at most `timeoutMs` when nothing came. wake makes a waiting serve return.
    virtual bool startHandoff() { return false; }
    virtual void serve(int timeoutMs) { (void)timeoutMs; }
    virtual void wake() {}
    virtual void stopHandoff() {}
    // The label the next frames handed over carry (the scene), and how many frames carrying
    // `label` the screen has shown; -1 when every presented frame is shown (no handoff).
    virtual void labelFrames(int label) { (void)label; }
    virtual long framesShown(int label) const {
        (void)label;
        return -1;
    }
};

// Headless video: modes and staging in memory; every blit hands the frame to the sink.
Video& headlessVideo();
struct HeadlessVideoOptions {
    DisplayMode desktop{640, 480, 32, 0xFF00};
    std::function<void(const PresentedFrame&)> frameSink;
};
void configureHeadlessVideo(HeadlessVideoOptions options);

// The SDL window and renderer.
Video& desktopVideo();

}  // namespace platform
