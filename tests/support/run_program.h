#pragma once
// Running the built program (or a tool) as a child process and capturing what it printed.
#include <string>
#include <vector>

namespace testsupport {

struct ProgramResult {
    int exitStatus = -1;  // -1 when the child did not exit normally
    std::string standardOutput;
    std::string standardError;
};

// Runs `program` with `arguments` in `workingDirectory` and waits for it; with a timeout, a
// child still running after that many seconds is killed (exitStatus -1).
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDirectory = ".", unsigned timeoutSeconds = 0);

// The build directory's path of a built program (SG2_BINARY_DIR, else this build's).
std::string builtProgram(const std::string& relativePath);
// The source tree (SG2_SOURCE_DIR, else the one this build came from).
std::string sourceDirectory();
// What the file at `path` holds; empty when it cannot be read.
std::string fileContents(const std::string& path);
// The names in `directory`, hidden ones included, sorted.
std::vector<std::string> namesIn(const std::string& directory);
// A fresh empty directory under the system's temporary directory.
std::string makeTempDirectory(const std::string& stem);

}  // namespace testsupport
