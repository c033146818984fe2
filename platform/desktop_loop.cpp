// The desktop's program loops itself; handing the loop on is the browser's way.
#include <cstdlib>

#include "platform/page_loop.h"

namespace platform {

bool pageOwnsLoop() {
    return false;
}

// Not reached here (pageOwnsLoop is false); a caller that got here anyway gets its turns.
void handLoopToPage(Turn turn, bool) {
    while (!turn()) {
    }
}

void endProgram(int status) {
    std::exit(status);
}

}  // namespace platform
