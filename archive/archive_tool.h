#pragma once
// The sg2-archive command line: pack, list, extract and verify archives.
#include <span>
#include <string>

namespace archive {

// Runs one command (arguments exclude the program name). Output goes to standard output; on
// bad input one line names the file and the problem. Returns the exit status: 0 on success,
// 1 on any problem.
int runArchiveTool(std::span<const std::string> arguments);
// The usage lines printed for a wrong command line.
const char* archiveToolUsage();

}  // namespace archive
