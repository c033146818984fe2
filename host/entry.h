#pragma once
// The program's entry: the mode list, the launcher (or the command line's settings), sound,
// soundtrack, display, screen buffers, the timeline, the shutdown.
#include <string>
#include <vector>

namespace host {

// Runs the whole program for these arguments (argv without the program name); returns the
// exit status when the program ends normally.
int runProgram(const std::vector<std::string>& arguments);

}  // namespace host
