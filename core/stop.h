#pragma once
// The signals that end a run by default (HUP, INT, QUIT, TERM, XFSZ) ask it to stop instead:
// the handler only notes the signal, and the frame loop ends the run through the orderly
// shutdown, so nothing partial is left and the report is written. A second signal ends the
// process at once. Broken pipes are ignored so that a failed write to a child program or to a
// closed standard output shows as a write error, never as the end of the show.
namespace core {

// `interruptions`: INT and TERM too (headless runs; the desktop's window handles those).
void catchStopSignals(bool interruptions);
// The signal that asked the run to stop, or 0.
int stopSignal();
// The exit status of a run stopped by `signal`: 128 + its number, as a shell reports it.
inline int stoppedStatus(int signal) {
    return 128 + signal;
}
// The status a run ending with `status` reports: a failure while a stop signal was pending
// (a write refused past a file-size limit raises SIGXFSZ) is that signal's, 128 + N.
int endStatus(int status);
// Its name for the one line that says why the run ended ("SIGINT").
const char* signalName(int signal);

}  // namespace core
