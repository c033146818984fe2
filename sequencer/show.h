#pragma once
// The running show as a frame step. The show owns no loop and no time: the platform's loop
// (one per way of playing, in host/) prepares it once, starts play, then calls step() once per
// frame with the song's position and presents what it drew, until step says the show has
// ended or the loop stops it (a quit, a signal, a failure).
//
// What a caller does, in order:
//   1. prepare(settings): the work buffers, the 37 archive loads and the nine one-time builders,
//      one progress dot after each load and each builder (46 in all). False after a failure it
//      has reported on one line (a missing or damaged data file, too little memory); the caller
//      then runs the shutdown and ends with status 1. A loop that must not hold the thread
//      that long (the browser's) calls prepareStep instead until it says Done or Failed.
//   2. startPlay(settings): song, palette, timer, the effects' resets, the trail level.
//   3. Each frame:
//      a. read the song's position (sequencer::readSongPosition; nothing after a reported
//         failure: the song ended before the show, or its recording failed);
//      b. step(position): finishes the previous frame (its scene's after-presentation work),
//         begins the next scene when the previous frame ended one, stores the position as
//         musicOrder and musicRow, draws and hands the picture to display::putFrame
//         (frameBuffer). Returns the frame's scene and whether the show ends with it;
//      c. hold the frame back by the pacer's rule (sequencer::waitForRelease on the loop's
//         clock, or a non-blocking loop's own use of nextRelease/markReleased);
//      d. present frameBuffer (display::expandFrame, then the platform's presentation) and
//         pump the window's events;
//      e. stop after a frame whose step said showEnds, or when the loop's own checks (quit,
//         signal, a recording's failure) say so.
//   The caller never calls step() again after showEnds; frameBuffer and the palette are left
//   as the last frame drew them until the next step.
#include <cstddef>
#include <cstdint>

#include "core/settings.h"
#include "core/song.h"

namespace sequencer {

// Observers of the run, for reports and tools; all optional, called from step() on the
// thread that runs the show.
struct ShowHooks {
    void (*preparationDone)() = nullptr;
    // A scene begins (before its set-up); its number counts from 1.
    void (*sceneBegan)(int sceneNumber) = nullptr;
    // A frame begins, right after the position was stored, before anything is drawn.
    void (*frameBegan)() = nullptr;
};

// Where a preparation run in steps stands after one.
enum class Preparing { More, Done, Failed };

// What one step did.
struct FrameStep {
    int scene = 0;            // 1..21, the scene the frame belongs to
    bool sceneBegan = false;  // the frame is its scene's first
    bool sceneEnds = false;   // the frame read its scene's end position
    bool showEnds = false;    // ... and the scene was the last: present it, then stop
};

class Show {
  public:
    void setHooks(const ShowHooks& hooks) { hooks_ = hooks; }

    // Preparation; false after a reported failure (see above).
    bool prepare(const core::LaunchSettings& settings);
    // One piece of it: the work buffers, then one load or one builder and its dot (47 calls).
    // Not called again after Done or Failed.
    Preparing prepareStep(const core::LaunchSettings& settings);
    // The start of play; scene 1 begins at the next step.
    void startPlay(const core::LaunchSettings& settings);
    // One frame for `position` (the row already taken modulo 256).
    FrameStep step(core::SongPosition position);

    // The scene of the latest step, 1..21; 0 before the first.
    int scene() const { return sceneIndex_ + 1; }
    bool ended() const { return ended_; }

  private:
    ShowHooks hooks_;
    std::size_t preparedSteps_ = 0;
    int sceneIndex_ = -1;
    bool sceneOver_ = true;      // the latest frame ended its scene (or none began yet)
    bool afterPresent_ = false;  // the latest frame's scene has after-presentation work
    bool ended_ = false;
};

// The scene loop's end test: true when a frame that read `order` and `row` ends scene
// `sceneIndex` (0-based) that began at `startOrder`.
bool sceneEnds(int sceneIndex, std::int32_t startOrder, std::int32_t order, std::int32_t row);

}  // namespace sequencer
