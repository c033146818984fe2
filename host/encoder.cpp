#include "host/encoder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#ifndef __EMSCRIPTEN__
#include <sys/prctl.h>
#endif
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace host {

namespace {

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

int waitFor(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// In the forked child: the pipes become standard input and descriptor 3, the log standard
// error; then the encoder replaces the child. Only async-signal-safe calls here.
[[noreturn]] void becomeEncoder(char* const* argv, int pictures, int sound, int log, int report,
                                pid_t parent) {
    ::setpgid(0, 0);  // a Ctrl-C at the terminal reaches the program, which stops the encoder
#ifndef __EMSCRIPTEN__
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // and if the program dies, the encoder goes with it
#endif
    if (::getppid() != parent) {
        ::_exit(127);
    }
    const int nothing = ::open("/dev/null", O_WRONLY);
    // Above the targets first, so no dup2 below overwrites a source it still needs.
    const int high[3] = {::fcntl(pictures, F_DUPFD, 10), ::fcntl(sound, F_DUPFD, 10),
                         ::fcntl(log, F_DUPFD, 10)};
    ::dup2(high[0], 0);
    ::dup2(nothing, 1);
    ::dup2(high[2], 2);
    ::dup2(high[1], 3);
    for (int fd : high) {
        ::close(fd);
    }
    ::signal(SIGPIPE, SIG_DFL);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execvp(argv[0], argv);
    const int failure = errno;
    [[maybe_unused]] const auto written = ::write(report, &failure, sizeof failure);
    ::_exit(127);
}

}  // namespace

EncoderPipes::~EncoderPipes() {
    stop();
}

bool EncoderPipes::start(const std::vector<std::string>& arguments, std::size_t frameBytes,
                         std::size_t bufferedFrames, std::size_t bufferedSoundBytes,
                         std::string& error) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    frameBytes_ = frameBytes;
    pictures_.ring.assign(frameBytes * bufferedFrames, 0);
    sound_.ring.assign(bufferedSoundBytes, 0);

    int picturePipe[2] = {-1, -1};
    int soundPipe[2] = {-1, -1};
    int report[2] = {-1, -1};
#ifdef __EMSCRIPTEN__
    // A page starts no processes: the encoder cannot be started there.
    log_ = -1;
    errno = ENOSYS;
#else
    log_ = ::memfd_create("encoder-messages", MFD_CLOEXEC);
#endif
    if (log_ < 0 || ::pipe2(picturePipe, O_CLOEXEC) != 0 || ::pipe2(soundPipe, O_CLOEXEC) != 0 ||
        ::pipe2(report, O_CLOEXEC) != 0) {
        error = std::string("cannot start ") + arguments[0] + " (" + std::strerror(errno) + ")";
        for (int fd : {picturePipe[0], picturePipe[1], soundPipe[0], soundPipe[1]}) {
            closeFd(fd);
        }
        closeFd(log_);
        return false;
    }
    // Without this a write to an encoder that has died would end the program; the failure
    // shows as EPIPE instead and is reported as the encoder's.
    ::signal(SIGPIPE, SIG_IGN);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child == 0) {
        becomeEncoder(argv.data(), picturePipe[0], soundPipe[0], log_, report[1], parent);
    }
    closeFd(picturePipe[0]);
    closeFd(soundPipe[0]);
    closeFd(report[1]);
    int failure = 0;
    const bool execFailed =
        child > 0 && ::read(report[0], &failure, sizeof failure) == sizeof failure;
    closeFd(report[0]);
    if (child < 0 || execFailed) {
        failure = child < 0 ? errno : failure;
        if (child > 0) {
            waitFor(child);
        }
        closeFd(picturePipe[1]);
        closeFd(soundPipe[1]);
        closeFd(log_);
        error = std::string("cannot run ") + arguments[0] + " (" + std::strerror(failure) + ")";
        return false;
    }
    child_ = child;
    pictures_.fd = picturePipe[1];
    sound_.fd = soundPipe[1];
    ::fcntl(pictures_.fd, F_SETPIPE_SZ, 1 << 20);  // fewer wake-ups; the default is kept if refused
    for (int fd : {pictures_.fd, sound_.fd}) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    failed_ = false;
    return true;
}

bool EncoderPipes::queue(Pipe& pipe, const std::uint8_t* bytes, std::size_t count) {
    const std::size_t capacity = pipe.ring.size();
    if (capacity - pipe.size < count) {
        return false;
    }
    std::size_t tail = (pipe.head + pipe.size) % capacity;
    pipe.size += count;
    while (count > 0) {
        const std::size_t part = std::min(count, capacity - tail);
        std::memcpy(pipe.ring.data() + tail, bytes, part);
        bytes += part;
        count -= part;
        tail = 0;
    }
    return true;
}

bool EncoderPipes::pushFrame(const std::uint8_t* frame) {
    while (!failed_ && !queue(pictures_, frame, frameBytes_)) {
        pump(true);
    }
    return !failed_ && pump(false);
}

bool EncoderPipes::pushSound(std::span<const std::uint8_t> bytes) {
    // A block larger than the whole buffer goes in parts.
    while (!failed_ && !bytes.empty()) {
        const std::size_t part = std::min(bytes.size(), sound_.ring.size());
        if (queue(sound_, bytes.data(), part)) {
            bytes = bytes.subspan(part);
        } else {
            pump(true);
        }
    }
    return !failed_ && pump(false);
}

bool EncoderPipes::fail() {
    failed_ = true;
    pictures_.size = 0;
    sound_.size = 0;
    return false;
}

bool EncoderPipes::pump(bool wait) {
    if (failed_) {
        return false;
    }
    std::array<pollfd, 2> ready{};
    std::array<Pipe*, 2> pipes{};
    nfds_t count = 0;
    for (Pipe* pipe : {&pictures_, &sound_}) {
        if (pipe->size > 0) {
            ready[count] = {pipe->fd, POLLOUT, 0};
            pipes[count++] = pipe;
        }
    }
    if (count == 0) {
        return true;
    }
    if (::poll(ready.data(), count, wait ? -1 : 0) < 0) {
        return errno == EINTR || fail();
    }
    for (nfds_t i = 0; i < count; ++i) {
        if (ready[i].revents == 0) {
            continue;
        }
        Pipe& pipe = *pipes[i];
        while (pipe.size > 0) {
            const std::size_t part = std::min(pipe.size, pipe.ring.size() - pipe.head);
            const ssize_t written = ::write(pipe.fd, pipe.ring.data() + pipe.head, part);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                if (errno == EAGAIN) {
                    break;
                }
                return fail();  // EPIPE: the encoder closed its input
            }
            pipe.head = (pipe.head + static_cast<std::size_t>(written)) % pipe.ring.size();
            pipe.size -= static_cast<std::size_t>(written);
        }
    }
    return true;
}

std::string EncoderPipes::lastMessage() {
    if (log_ < 0) {
        return {};
    }
    std::array<char, 4096> tail{};
    const off_t end = ::lseek(log_, 0, SEEK_END);
    const off_t from = std::max<off_t>(0, end - static_cast<off_t>(tail.size()));
    const ssize_t got = ::pread(log_, tail.data(), tail.size(), from);
    std::string text(tail.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    const auto lineStart = text.find_last_of("\r\n");
    return lineStart == std::string::npos ? text : text.substr(lineStart + 1);
}

bool EncoderPipes::finish(std::string& error) {
    if (child_ <= 0) {
        return true;
    }
    while (!failed_ && (pictures_.size > 0 || sound_.size > 0)) {
        pump(true);
    }
    closeFd(pictures_.fd);
    closeFd(sound_.fd);
    const int status = waitFor(child_);
    child_ = -1;
    const bool exitedWell = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (failed_ || !exitedWell) {
        const std::string message = lastMessage();
        error = !message.empty() ? message
                : WIFEXITED(status)
                    ? "the encoder ended with status " + std::to_string(WEXITSTATUS(status))
                : WIFSIGNALED(status)
                    ? "the encoder was ended by signal " + std::to_string(WTERMSIG(status))
                    : "the encoder stopped taking input";
    }
    closeFd(log_);
    return !failed_ && exitedWell;
}

void EncoderPipes::stop() {
    if (child_ > 0) {
        ::kill(child_, SIGKILL);
        closeFd(pictures_.fd);
        closeFd(sound_.fd);
        waitFor(child_);
        child_ = -1;
    }
    closeFd(pictures_.fd);
    closeFd(sound_.fd);
    closeFd(log_);
}

}  // namespace host
