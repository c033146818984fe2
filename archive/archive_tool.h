#pragma once
// The sg2-archive command line: pack, list, extract and verify archives.
#include <span>
#include <string>

namespace archive {

// Runs one command (arguments exclude the program name). Output goes to standard output; on
// bad input one line on standard error names the file and the problem. Returns the exit
// status: 0 on success, 1 for a file that cannot be read or written, 2 for a wrong command
// line or paths that conflict.
int runArchiveTool(std::span<const std::string> arguments);
// The usage lines printed for a wrong command line.
const char* archiveToolUsage();

}  // namespace archive
