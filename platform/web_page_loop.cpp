// The page's loop: the browser calls the program's turn at each animation frame (none while
// the tab is hidden), or as soon as it can for a run that is not in real time.
#include <emscripten.h>

#include "platform/page_loop.h"

namespace platform {

namespace {

Turn pageTurn = nullptr;

void onTurn() {
    if (pageTurn()) {
        emscripten_cancel_main_loop();
    }
}

}  // namespace

bool pageOwnsLoop() {
    return true;
}

void handLoopToPage(Turn turn, bool fast) {
    pageTurn = turn;
    emscripten_set_main_loop(&onTurn, 0, 0);
    if (fast) {
        emscripten_set_main_loop_timing(EM_TIMING_SETIMMEDIATE, 1);
    }
    // Leaves main for good; the turns go on from the page.
    emscripten_exit_with_live_runtime();
}

void endProgram(int status) {
    // Past the live runtime the loop left: the page hears the status through its onExit.
    emscripten_force_exit(status);
}

}  // namespace platform
