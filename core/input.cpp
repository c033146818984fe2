#include "core/input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace core {

int openRegularFile(const std::string& path, std::uint64_t& size, InputProblem& problem) {
    // Non-blocking so that opening a FIFO returns at once; the mode is checked before any read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem.missing = errno == ENOENT;
        problem.text = std::string("cannot be opened (") + std::strerror(errno) + ")";
        return -1;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        problem.text = S_ISDIR(status.st_mode) ? "is a directory" : "is not a regular file";
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    size = static_cast<std::uint64_t>(status.st_size);
    return fd;
}

bool readRegularFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
                     InputProblem& problem) {
    std::uint64_t size = 0;
    const int fd = openRegularFile(path, size, problem);
    if (fd < 0) {
        return false;
    }
    if (size > limit) {
        ::close(fd);
        problem.text = "is too large (" + std::to_string(size) + " bytes; at most " +
                       std::to_string(limit) + ")";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            problem.text = got < 0 ? std::string("cannot be read (") + std::strerror(errno) + ")"
                                   : "cannot be read (it became shorter while being read)";
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return true;
}

}  // namespace core
