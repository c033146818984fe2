#pragma once
// The message pump between frames and the one orderly shutdown.

namespace host {

// Drains the window's events; on a quit (Escape, window closed) runs shutDown and ends the
// process with status 0. Installed as the pacer's message pump, run once per presented frame.
void pumpMessages();
// Stops and frees the song, closes sound output, frees the work buffers, releases the
// display, shows the cursor and stops the timer, in that order; runs at most once.
void shutDown();
// Prints each shutdown step on standard error as it runs.
void setTraceShutdown(bool trace);

}  // namespace host
