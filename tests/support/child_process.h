#pragma once
// Runs a piece of the program that ends the process (or should) in a forked child, capturing
// its standard output, standard error and exit status.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

namespace testsupport {

struct ChildOutcome {
    int status = -1;  // exit status, or -1 when the child did not exit normally
    std::string output;
    std::string errors;  // what it wrote to standard error
};

// A body that returns instead of ending the process exits with kReturned.
inline constexpr int kReturned = 99;

inline ChildOutcome runInChild(const std::function<void()>& body) {
    std::fflush(stdout);
    std::fflush(stderr);
    int pipeEnds[2];
    std::FILE* errorFile = std::tmpfile();
    if (errorFile == nullptr || pipe(pipeEnds) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(fileno(errorFile), STDERR_FILENO);
        close(pipeEnds[1]);
        body();
        std::fflush(stdout);
        _exit(kReturned);
    }
    close(pipeEnds[1]);
    ChildOutcome outcome;
    char chunk[4096];
    ssize_t got;
    while ((got = read(pipeEnds[0], chunk, sizeof chunk)) > 0) {
        outcome.output.append(chunk, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int waitStatus = 0;
    waitpid(child, &waitStatus, 0);
    if (WIFEXITED(waitStatus)) {
        outcome.status = WEXITSTATUS(waitStatus);
    }
    std::rewind(errorFile);
    while ((got = static_cast<ssize_t>(std::fread(chunk, 1, sizeof chunk, errorFile))) > 0) {
        outcome.errors.append(chunk, static_cast<std::size_t>(got));
    }
    std::fclose(errorFile);
    return outcome;
}

}  // namespace testsupport
