// A page starts no processes: there is no helper to give a log or to end with the page.
#include <cerrno>

#include "platform/helper_process.h"

namespace platform {

int openMessageLog(const char*) {
    errno = ENOSYS;
    return -1;
}

void dieWithParent() {}

}  // namespace platform
