#pragma once
// Ending the process. Every exit path of the program goes through exitProcess so that the run's
// report, when one was asked for, is written whatever ends the run.
#include <functional>

namespace host {

// Ends the process. A failed run (status not 0) first discards every output not yet committed;
// then the registered exit hooks run, most recent first. A hook may raise the status (an output
// it could not finish), and the later hooks and the process see the raised one.
[[noreturn]] void exitProcess(int status);
// The same exit work, then an end that runs no static destructors: for an end forced while
// threads the program cannot stop (the sound device's) may still use what they would free.
[[noreturn]] void exitProcessAtOnce(int status);
void addExitHook(std::function<void(int& status)> hook);

}  // namespace host
