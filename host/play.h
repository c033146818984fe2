#pragma once
// The loops that play the show, one per way of playing, each built on the show's frame step
// (sequencer/show.h), and the one place that turns how a run ended into the exit status.
#include <cstdint>
#include <functional>

#include "core/settings.h"

namespace platform {
class Video;
}

#include "sequencer/show.h"

namespace host {

// How a run ended.
struct RunEnd {
    enum class Kind {
        ShowEnded,  // the last scene's last frame was presented
        Quit,       // Escape, the window closed, or --quit-at
        Stopped,    // SIGINT or SIGTERM (headless runs)
        Failed,     // a failure already reported on one line (data, memory, song, an output)
    };
    Kind kind = Kind::ShowEnded;
    int signal = 0;  // with Stopped
};

// The exit status for a run that ended so: 0 for the show's end and a quit, 1 for a failure,
// 128 + the signal's number for a stop.
int exitStatus(const RunEnd& end);

// What a way of playing does with each released frame.
struct FrameOutput {
    // Presents frameBuffer (expansion, conversion, the screen).
    void (*present)() = nullptr;
    // True when the run must stop for a failure of what the frame was handed to (a frame
    // picture, a snapshot, the video), already reported on one line. Optional.
    bool (*failed)() = nullptr;
    // True when the user asked to quit (Escape, the window closed, a posted quit).
    bool (*quitAsked)() = nullptr;
};

// The blocking loop: preparation, start of play, then per frame the song's position, the
// step, the pacer's wait on the sequencer's clock, the presentation and the checks (a stop
// signal first, then the output's failure, then a quit), until the show ends. Used headless and
// for captures (virtual clock), and in the browser, whose waits give the page its turn.
RunEnd playBlocking(sequencer::Show& show, const core::LaunchSettings& settings,
                    const FrameOutput& output);

// The loop for a platform that owns it (the browser), one turn at a time. The first turns run
// the preparation a few steps each, so the page can show its dots as they come; the last of
// them starts play. Then in real time each turn runs the frames whose release time has come,
// by the pacer's rule on notional times (a frame is drawn the moment the one before it goes),
// and presents each, the newest last; a turn that comes late catches up only so far. With
// virtual time (headless) each turn runs the blocking loop's frames until it has used its share
// of the page's time.
class TurnPlay {
  public:
    TurnPlay(sequencer::Show& show, const core::LaunchSettings& settings, const FrameOutput& output,
             bool virtualTime)
        : show_(show), settings_(settings), output_(output), virtualTime_(virtualTime) {}
    // True once the run has ended (end() says how).
    bool turn();
    const RunEnd& end() const { return end_; }

  private:
    bool stepFrame();
    bool releaseFrame();
    bool virtualTurn();
    bool prepareTurn();

    sequencer::Show& show_;
    core::LaunchSettings settings_;
    FrameOutput output_;
    bool virtualTime_;
    bool prepared_ = false;        // play has started
    bool pending_ = false;         // a frame is drawn and waits for its release
    std::uint32_t entryTime_ = 0;  // when that frame came to the pacer (notional)
    sequencer::FrameStep step_;
    RunEnd end_;
};

// The desktop: `play` (the blocking loop, its frames handed over by the screen's handoff) runs
// on a thread of its own while the main thread serves the screen, which shows the newest
// finished frame at each refresh and takes the window's events; so a present that waits for
// the display never holds back the pacer. Needs screen.startHandoff() to have succeeded.
RunEnd playBesideScreen(platform::Video& screen, const std::function<RunEnd()>& play);
// From the main thread, while playBesideScreen runs: asks the show thread to end after its
// frame and waits for it, so the process can end without the show still drawing.
void endShowBesideScreen();

// The frame checks every loop makes after presenting a frame, in this order; the first that
// applies ends the run. A stop signal prints its one line.
bool stopAfterFrame(const FrameOutput& output, RunEnd& end);

}  // namespace host
