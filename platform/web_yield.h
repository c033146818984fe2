#pragma once
// The browser build's one shared rule for giving the browser its turn: the program runs on
// the page's only thread, so pictures, input and sound callbacks wait until it yields.

namespace platform {

// Yields to the browser for `ms` milliseconds (0: just one turn of its event loop).
void yieldToBrowser(int ms);
// Yields one turn unless the program has already yielded within the last `ms` milliseconds.
void yieldIfBusyFor(double ms);

}  // namespace platform
