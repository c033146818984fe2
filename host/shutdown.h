#pragma once
// The one orderly shutdown, run once whatever ended the run (the entry's only way out of a run
// that started its sound goes through it).

namespace host {

// Stops and frees the song, closes sound output, frees the work buffers, releases the
// display, shows the cursor and stops the timer, in that order. False when
// the sound's recording (--wav) could not be finished (after one line naming the file): the
// run then ends with status 1.
[[nodiscard]] bool shutDown();
// Prints each shutdown step on standard error as it runs.
void setTraceShutdown(bool trace);

}  // namespace host
