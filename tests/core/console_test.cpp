// Diagnostics begin on a line of their own: after the progress dots when both streams reach the
// same file (a terminal, `2>&1`), and after the progress text on standard error.
#include "core/console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "tests/support/run_program.h"

namespace {

using testsupport::fileContents;

// Runs `body` in a child whose standard output goes to `out` and standard error to `err`.
void inChild(const std::string& out, const std::string& err, const std::function<void()>& body) {
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child == 0) {
        const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int errFd =
            out == err ? outFd : open(err.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(outFd, 1);
        dup2(errFd, 2);
        body();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

TEST(Console, ADiagnosticNeverGluesToTheDotsOrTheProgress) {
    const std::string dir = testsupport::makeTempDirectory("console");
    const std::string both = dir + "/both";
    inChild(both, both, [] {
        core::writeProgressDot();
        core::writeProgressDot();
        core::errorLine("sg2.dat: damaged");
        core::errorLine("second");
    });
    EXPECT_EQ(fileContents(both), "..\nsg2.dat: damaged\nsecond\n");

    // Apart, standard output keeps only its dots.
    inChild(dir + "/out", dir + "/err", [] {
        core::writeProgressDot();
        core::errorLine("sg2.dat: damaged");
    });
    EXPECT_EQ(fileContents(dir + "/out"), ".");
    EXPECT_EQ(fileContents(dir + "/err"), "sg2.dat: damaged\n");

    inChild(dir + "/out2", dir + "/err2", [] {
        core::showProgress("video: 5 s encoded");
        core::showProgress("video: 10 s encoded");
        core::errorLine("v.mp4: failed");
        core::showProgress("done\n");
        core::errorLine("after");
    });
    EXPECT_EQ(fileContents(dir + "/err2"),
              "\rvideo: 5 s encoded\rvideo: 10 s encoded\nv.mp4: failed\n\rdone\nafter\n");
}

}  // namespace
