#include "host/play.h"

#include <atomic>
#include <string>
#include <thread>

#include "core/console.h"
#include "core/stop.h"
#include "platform/video.h"
#include "sequencer/music.h"
#include "sequencer/pacing.h"
#include "sequencer/show.h"

namespace host {

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
        output.present();
        RunEnd end;
        if (stopAfterFrame(output, end)) {
            return end;
        }
        if (step.showEnds) {
            return {RunEnd::Kind::ShowEnded};
        }
    }
}

RunEnd playBesideScreen(platform::Video& screen, const std::function<RunEnd()>& play) {
    std::atomic<bool> done{false};
    RunEnd end;
    std::thread show([&] {
        end = play();
        done.store(true);
        screen.wake();
    });
    while (!done.load()) {
        screen.serve(50);
    }
    show.join();
    screen.stopHandoff();
    return end;
}

}  // namespace host
