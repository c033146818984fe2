#pragma once
// Ending the process. Every exit path of the program goes through exitProcess (installed as the
// ground floor's process end) so that the run's report, when one was asked for, is written
// whatever ends the run.
#include <functional>

namespace host {

// Runs the registered exit hooks (most recent first) with the status, then ends the process.
[[noreturn]] void exitProcess(int status);
void addExitHook(std::function<void(int status)> hook);

}  // namespace host
