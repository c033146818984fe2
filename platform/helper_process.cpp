#include "platform/helper_process.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>

namespace platform {

int openMessageLog(const char* name) {
    return ::memfd_create(name, MFD_CLOEXEC);
}

void dieWithParent() {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
}

}  // namespace platform
