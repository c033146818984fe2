#pragma once
// The program's entry: the mode list, the launcher (or the command line's settings), sound,
// soundtrack, display, screen buffers, the loop that plays the show, the shutdown.
#include <string>
#include <vector>

namespace host {

// Runs the whole program for these arguments (argv without the program name) and returns its
// exit status, however the run ended; main hands it to exitProcess (the report and the
// recordings' last steps).
int runProgram(const std::vector<std::string>& arguments);

}  // namespace host
