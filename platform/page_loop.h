#pragma once
// Where the program's loop lives. On the desktop the program loops and ends the process
// itself. In the browser the page owns the loop: the program hands it a turn, called at each
// animation frame, and lives on in those calls until one of them ends the program.

namespace platform {

// One turn of the loop; true once the run is over.
using Turn = bool (*)();

// True where the loop must be handed to the page.
bool pageOwnsLoop();
// Calls `turn` at each animation frame (with `fast`, as often as the page allows) until it
// returns true. In the browser this does not return: the caller's frame is left behind, so
// what the turns use must outlive it.
void handLoopToPage(Turn turn, bool fast);
// Ends the program with `status`, its exit work done (also from inside a turn).
[[noreturn]] void endProgram(int status);

}  // namespace platform
