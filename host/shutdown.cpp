#include "host/shutdown.h"

#include <cstdio>
#include <string>

#include "core/buffers.h"
#include "core/console.h"
#include "core/output.h"
#include "core/stop.h"
#include "display/surfaces.h"
#include "host/process.h"
#include "platform/video.h"
#include "sequencer/music.h"
#include "sequencer/pacing.h"

namespace host {

namespace {
bool shutDownDone = false;
bool traceSteps = false;

void trace(const char* step) {
    if (traceSteps) {
        std::fprintf(stderr, "shutdown: %s\n", step);
    }
}
}  // namespace

void setTraceShutdown(bool enabled) {
    traceSteps = enabled;
}

void pumpMessages() {
    if (const int signal = core::stopSignal(); signal != 0) {
        // Stopped: the recordings still open are removed, not finished; the report (when
        // asked for) says how the run ended.
        core::errorLine(std::string("stormglass2: stopped by ") + core::signalName(signal));
        core::abandonOutputs();
        shutDown();
        exitProcess(core::stoppedStatus(signal));
    }
    if (display::video().pumpEvents()) {
        shutDown();
        exitProcess(0);
    }
}

void shutDown() {
    if (shutDownDone) {
        return;
    }
    shutDownDone = true;
    trace("stop and free the song");
    sequencer::stopAndFreeSong();
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
}

}  // namespace host
