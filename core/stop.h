#pragma once
// SIGINT and SIGTERM ask a run to stop: the handler only notes the signal, and the frame loop
// ends the run through the orderly shutdown. A second signal ends the process at once.
// Broken pipes are ignored so that a failed write to a child program shows as a write error.
namespace core {

void catchStopSignals();
// The signal that asked the run to stop, or 0.
int stopSignal();
// The exit status of a run stopped by `signal`: 128 + its number, as a shell reports it.
inline int stoppedStatus(int signal) {
    return 128 + signal;
}
// Its name for the one line that says why the run ended ("SIGINT").
const char* signalName(int signal);

}  // namespace core
