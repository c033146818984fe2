#include "tests/support/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testsupport {

std::string fileContents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDirectory, unsigned timeoutSeconds) {
    const std::string capture = makeTempDirectory("capture");
    const std::string outPath = capture + "/out";
    const std::string errPath = capture + "/err";
    ProgramResult result;
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(workingDirectory.c_str()) != 0) {
            _exit(127);
        }
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        dup2(out, 1);
        dup2(err, 2);
        dup2(in, 0);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        alarm(timeoutSeconds);  // survives the exec; its signal ends a child that hangs
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    }
    result.standardOutput = fileContents(outPath);
    result.standardError = fileContents(errPath);
    std::filesystem::remove_all(capture);
    return result;
}

std::vector<std::string> namesIn(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string builtProgram(const std::string& relativePath) {
    const char* binary = std::getenv("SG2_BINARY_DIR");
    return (std::filesystem::path(binary != nullptr ? binary : SG2_DEFAULT_BINARY_DIR) /
            relativePath)
        .string();
}

std::string sourceDirectory() {
    const char* source = std::getenv("SG2_SOURCE_DIR");
    return source != nullptr ? source : SG2_DEFAULT_SOURCE_DIR;
}

std::string makeTempDirectory(const std::string& stem) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("sg2-" + stem + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    return pattern;
}

}  // namespace testsupport
