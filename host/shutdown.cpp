#include "host/shutdown.h"

#include <string>

#include "core/buffers.h"
#include "core/console.h"
#include "display/surfaces.h"
#include "platform/video.h"
#include "sequencer/music.h"
#include "sequencer/pacing.h"

namespace host {

namespace {
bool traceSteps = false;

void trace(const char* step) {
    if (traceSteps) {
        core::errorLine(std::string("shutdown: ") + step);
    }
}
}  // namespace

void setTraceShutdown(bool enabled) {
    traceSteps = enabled;
}

bool shutDown() {
    trace("stop and free the song");
    const bool recordingFinished = sequencer::stopAndFreeSong();
    trace("close sound output");
    sequencer::closeSoundOutput();
    trace("release work buffers");
    core::releaseWorkBuffers();
    trace("release display");
    display::releaseDisplay();
    trace("show cursor");
    display::video().showCursor(true);
    trace("stop timer");
    sequencer::stopTimer();
    return recordingFinished;
}

}  // namespace host
