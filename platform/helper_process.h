#pragma once
// What running a helper program beside this one needs of the system, where the desktop and the
// browser differ: a page starts no processes.
namespace platform {

// An anonymous file in memory, closed on exec, for a helper's messages; -1 with errno set
// where there is none (ENOSYS in the browser).
int openMessageLog(const char* name);
// In a forked child before exec: the child is killed when its parent dies. Async-signal-safe.
void dieWithParent();

}  // namespace platform
