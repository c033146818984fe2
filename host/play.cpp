#include "host/play.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "core/console.h"
#include "core/stop.h"
#include "platform/clock.h"
#include "platform/video.h"
#include "sequencer/music.h"
#include "sequencer/pacing.h"
#include "sequencer/show.h"

namespace host {

namespace {
// The desktop's show thread while it runs (main thread only), and the request that ends it
// when the process must end from the main thread (a lost display).
std::thread* showBesideScreen = nullptr;
std::atomic<bool> showEndRequested{false};
}  // namespace

void endShowBesideScreen() {
    if (showBesideScreen != nullptr && showBesideScreen->joinable()) {
        showEndRequested.store(true);
        showBesideScreen->join();
    }
}

int exitStatus(const RunEnd& end) {
    switch (end.kind) {
        case RunEnd::Kind::ShowEnded:
        case RunEnd::Kind::Quit:
            return 0;
        case RunEnd::Kind::Stopped:
            return core::stoppedStatus(end.signal);
        case RunEnd::Kind::Failed:
            break;
    }
    return 1;
}

bool stopAfterFrame(const FrameOutput& output, RunEnd& end) {
    if (showEndRequested.load()) {
        end = {RunEnd::Kind::Quit};
        return true;
    }
    if (const int signal = core::stopSignal(); signal != 0) {
        core::errorLine(std::string("stormglass2: stopped by ") + core::signalName(signal));
        end = {RunEnd::Kind::Stopped, signal};
        return true;
    }
    if (output.failed != nullptr && output.failed()) {
        end = {RunEnd::Kind::Failed};
        return true;
    }
    if (output.quitAsked != nullptr && output.quitAsked()) {
        end = {RunEnd::Kind::Quit};
        return true;
    }
    return false;
}

namespace {
// Presents a released frame and makes the frame checks; true when the run ends with it.
bool presentReleasedFrame(const FrameOutput& output, const sequencer::FrameStep& step,
                          RunEnd& end) {
    output.present();
    if (stopAfterFrame(output, end)) {
        return true;
    }
    if (step.showEnds) {
        end = {RunEnd::Kind::ShowEnded};
        return true;
    }
    return false;
}
}  // namespace

RunEnd playBlocking(sequencer::Show& show, const core::LaunchSettings& settings,
                    const FrameOutput& output) {
    if (!show.prepare(settings)) {
        return {RunEnd::Kind::Failed};
    }
    show.startPlay(settings);
    for (;;) {
        const auto position = sequencer::readSongPosition();
        if (!position) {
            return {RunEnd::Kind::Failed};
        }
        const sequencer::FrameStep step = show.step(*position);
        sequencer::waitForRelease();
        RunEnd end;
        if (presentReleasedFrame(output, step, end)) {
            return end;
        }
    }
}

namespace {
// A turn that comes later than this after a frame's release time starts the timeline afresh
// instead of drawing the whole backlog (a hidden tab, a stalled page).
constexpr std::uint32_t kLongestCatchUpMs = 100;
// A headless turn's share of the page's time, so the page stays responsive.
constexpr auto kVirtualTurn = std::chrono::milliseconds(50);
// A preparing turn's share, within one display refresh so the page's bar moves smoothly.
constexpr auto kPreparationTurn = std::chrono::milliseconds(12);
}  // namespace

// Preparation steps until the turn's share is used; true when the run ends (a failure).
bool TurnPlay::prepareTurn() {
    const auto began = std::chrono::steady_clock::now();
    for (;;) {
        switch (show_.prepareStep(settings_)) {
            case sequencer::Preparing::Failed:
                end_ = {RunEnd::Kind::Failed};
                return true;
            case sequencer::Preparing::Done:
                show_.startPlay(settings_);
                prepared_ = true;
                return false;  // the first frame comes at the next turn
            case sequencer::Preparing::More:
                break;
        }
        if (std::chrono::steady_clock::now() - began >= kPreparationTurn) {
            return false;
        }
    }
}

bool TurnPlay::stepFrame() {
    const auto position = sequencer::readSongPosition();
    if (!position) {
        end_ = {RunEnd::Kind::Failed};
        return false;
    }
    step_ = show_.step(*position);
    return true;
}

bool TurnPlay::releaseFrame() {
    return presentReleasedFrame(output_, step_, end_);
}

bool TurnPlay::virtualTurn() {
    const auto began = std::chrono::steady_clock::now();
    do {
        if (!stepFrame()) {
            return true;
        }
        sequencer::waitForRelease();
        if (releaseFrame()) {
            return true;
        }
    } while (std::chrono::steady_clock::now() - began < kVirtualTurn);
    return false;
}

bool TurnPlay::turn() {
    if (!prepared_) {
        return prepareTurn();
    }
    if (virtualTime_) {
        return virtualTurn();
    }
    const std::uint32_t now = sequencer::clock().milliseconds();
    if (!pending_) {
        if (!stepFrame()) {
            return true;
        }
        entryTime_ = now;
        pending_ = true;
    }
    for (;;) {
        // The blocking loop releases a frame once the time passes the reference + interval.
        const std::uint32_t due = std::max(entryTime_, sequencer::releaseTime());
        if (due > now) {
            return false;
        }
        sequencer::markReleased(entryTime_);
        pending_ = false;
        if (releaseFrame() || !stepFrame()) {
            return true;
        }
        // The next frame comes to the pacer the moment this one went, unless that is long past.
        entryTime_ = now - due > kLongestCatchUpMs ? now : due;
        pending_ = true;
    }
}

RunEnd playBesideScreen(platform::Video& screen, const std::function<RunEnd()>& play) {
    std::atomic<bool> done{false};
    RunEnd end;
    std::thread show([&] {
        platform::nameThisThread("sg2-show");
        end = play();
        done.store(true);
        screen.wake();
    });
    showBesideScreen = &show;
    while (!done.load()) {
        screen.serve(50);
    }
    showBesideScreen = nullptr;
    show.join();
    screen.stopHandoff();
    return end;
}

}  // namespace host
