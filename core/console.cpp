#include "core/console.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>

namespace core {

namespace {
int dotsWritten = 0;
bool dotsLineOpen = false;
bool progressLineOpen = false;

bool sameFile(std::FILE* a, std::FILE* b) {
    struct stat first {};
    struct stat second {};
    return fstat(fileno(a), &first) == 0 && fstat(fileno(b), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
}  // namespace

void openStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            // The lowest free descriptor: this one, as the lower ones are open by now.
            const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            if (opened >= 0 && opened != fd) {
                close(opened);
            }
        }
    }
}

void writeProgressDot() {
    std::fputc('.', stdout);
    std::fflush(stdout);
    ++dotsWritten;
    dotsLineOpen = true;
}

int progressDotsWritten() {
    return dotsWritten;
}

void showProgress(const std::string& text) {
    std::fprintf(stderr, "\r%s", text.c_str());
    progressLineOpen = text.empty() || text.back() != '\n';
}

void errorLine(const std::string& line) {
    std::fflush(stdout);
    if (progressLineOpen || (dotsLineOpen && sameFile(stdout, stderr))) {
        std::fputc('\n', stderr);
        dotsLineOpen = false;
        progressLineOpen = false;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace core
