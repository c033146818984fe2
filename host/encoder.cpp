#include "host/encoder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/stop.h"
#include "platform/helper_process.h"

namespace host {

namespace {

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

using Clock = std::chrono::steady_clock;

// How often a wait looks at the encoder and the stop signals, and how long an encoder may leave
// its inputs unread (or sit stopped) before the run gives up on it: together under two seconds.
constexpr int kTickMs = 100;
constexpr auto kStallLimit = std::chrono::seconds(1);

std::string signalText(int signal) {
#ifdef __GLIBC__
    const char* abbreviation = ::sigabbrev_np(signal);
#else
    const char* abbreviation = nullptr;
#endif
    return abbreviation != nullptr ? std::string("SIG") + abbreviation
                                   : "signal " + std::to_string(signal);
}

// The processor time `process` has used, in clock ticks; -1 when it cannot be read.
long processorTicks(pid_t process) {
    char path[32];
    std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(process));
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    std::array<char, 1024> text{};
    const ssize_t got = ::read(fd, text.data(), text.size() - 1);
    ::close(fd);
    // After the command's closing parenthesis: state and 10 more fields, then utime and stime.
    const char* field = got > 0 ? std::strrchr(text.data(), ')') : nullptr;
    for (int skip = 0; field != nullptr && skip < 12; ++skip) {
        field = std::strchr(field + 1, ' ');
    }
    long user = 0;
    long system = 0;
    return field != nullptr && std::sscanf(field, " %ld %ld", &user, &system) == 2 ? user + system
                                                                                   : -1;
}

// Why an encoder that ended on its own ended: its exit status or its signal.
std::string exitReason(const std::string& name, int status) {
    return WIFSIGNALED(status) ? name + " was ended by " + signalText(WTERMSIG(status))
                               : name + " ended with status " + std::to_string(WEXITSTATUS(status));
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
    platform::dieWithParent();  // and if the program dies, the encoder goes with it
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
    closeFd(log_);
}

bool EncoderPipes::start(const std::vector<std::string>& arguments, std::size_t frameBytes,
                         std::size_t bufferedFrames, std::size_t bufferedSoundBytes,
                         std::string& error) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    stop();
    closeFd(log_);
    name_ = arguments[0];
    reason_.clear();
    failed_ = false;
    ended_ = false;
    status_ = 0;
    frameBytes_ = frameBytes;
    pictures_.ring.assign(frameBytes * bufferedFrames, 0);
    sound_.ring.assign(bufferedSoundBytes, 0);

    int picturePipe[2] = {-1, -1};
    int soundPipe[2] = {-1, -1};
    int report[2] = {-1, -1};
    log_ = platform::openMessageLog("encoder-messages");  // none in a page: it cannot start
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
    if (child > 0) {
        ::setpgid(child, child);  // also here, so stop() reaches the group without a race
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
#ifdef SYS_pidfd_open
    childFd_ = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
#endif
    pictures_.fd = picturePipe[1];
    sound_.fd = soundPipe[1];
    ::fcntl(pictures_.fd, F_SETPIPE_SZ, 1 << 20);  // fewer wake-ups; the default is kept if refused
    for (int fd : {pictures_.fd, sound_.fd}) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    failed_ = false;
    lastTaken_ = Clock::now();
    ticksSeen_ = processorTicks(child_);
    ticksSampled_ = lastTaken_;
    return true;
}

bool EncoderPipes::queue(Pipe& pipe, const std::uint8_t* bytes, std::size_t count) {
    const std::size_t capacity = pipe.ring.size();
    if (capacity - pipe.size < count) {
        return false;
    }
    if (pictures_.size == 0 && sound_.size == 0) {
        lastTaken_ = Clock::now();  // the stall clock runs only while bytes wait
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
    while (!queue(pictures_, frame, frameBytes_)) {
        if (!pump(true)) {
            return false;
        }
    }
    return pump(false);
}

bool EncoderPipes::pushSound(std::span<const std::uint8_t> bytes) {
    // A block larger than the whole buffer goes in parts.
    while (!bytes.empty()) {
        const std::size_t part = std::min(bytes.size(), sound_.ring.size());
        if (queue(sound_, bytes.data(), part)) {
            bytes = bytes.subspan(part);
        } else if (!pump(true)) {
            return false;
        }
    }
    return pump(false);
}

bool EncoderPipes::fail(const std::string& reason) {
    if (!failed_) {
        reason_ = reason;
    }
    failed_ = true;
    pictures_.size = 0;
    sound_.size = 0;
    return false;
}

bool EncoderPipes::checkChild() {
    siginfo_t info{};
    if (child_ <= 0 ||
        ::waitid(P_PID, static_cast<id_t>(child_), &info, WEXITED | WSTOPPED | WNOHANG | WNOWAIT) !=
            0 ||
        info.si_pid == 0) {
        return false;
    }
    if (info.si_code == CLD_STOPPED || info.si_code == CLD_TRAPPED) {
        if (!stalled()) {
            return false;
        }
        return fail(name_ + " was stopped (" + signalText(info.si_status) + ")"), true;
    }
    status_ = waitFor(child_);
    child_ = -1;
    ended_ = true;
    return true;
}

bool EncoderPipes::stalled() {
    // An encoder busy on what it has (a slow start, a loaded machine) uses processor time;
    // one that is blocked, stopped or waiting on something else uses none. Looked at once a
    // tick while bytes wait.
    const auto now = Clock::now();
    if (now - ticksSampled_ >= std::chrono::milliseconds(kTickMs)) {
        const long used = processorTicks(child_);
        if (used != ticksSeen_) {
            ticksSeen_ = used;
            lastTaken_ = std::max(lastTaken_, ticksSampled_);
        }
        ticksSampled_ = now;
    }
    return now - lastTaken_ >= kStallLimit;
}

bool EncoderPipes::pump(bool wait) {
    if (failed_ || core::stopSignal() != 0) {
        return false;
    }
    std::array<pollfd, 3> ready{};
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
    const nfds_t pipeCount = count;
    if (childFd_ >= 0) {
        ready[count++] = {childFd_, POLLIN, 0};
    }
    if (::poll(ready.data(), count, wait ? kTickMs : 0) < 0 && errno != EINTR) {
        return fail(std::string("cannot wait for ") + name_ + " (" + std::strerror(errno) + ")");
    }
    bool moved = false;
    for (nfds_t i = 0; i < pipeCount; ++i) {
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
                return fail({});  // EPIPE: the encoder closed its input; finish() says why
            }
            moved = true;
            pipe.head = (pipe.head + static_cast<std::size_t>(written)) % pipe.ring.size();
            pipe.size -= static_cast<std::size_t>(written);
        }
    }
    if (moved) {
        lastTaken_ = Clock::now();
        return true;
    }
    // Nothing taken: an encoder that has ended (a child of it may still hold the pipes) or has
    // stopped reading would leave the run waiting for ever.
    if (checkChild()) {
        return ended_ ? fail(exitReason(name_, status_)) : false;
    }
    if (stalled()) {
        return fail(name_ + " stopped reading for " +
                    std::to_string(
                        std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - lastTaken_)
                            .count()) +
                    " s");
    }
    return core::stopSignal() == 0;
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
    if (child_ <= 0 && !ended_) {
        stop();
        return true;
    }
    while (!failed_ && (pictures_.size > 0 || sound_.size > 0) && pump(true)) {
    }
    closeFd(pictures_.fd);
    closeFd(sound_.fd);
    // With its inputs closed the encoder writes the file's end and exits. One that closed its
    // input itself is given the stall limit to exit and say why; a stalled one, and any after a
    // stop signal, are stopped at once.
    const bool closedItsInput = failed_ && reason_.empty();
    lastTaken_ = Clock::now();
    while (child_ > 0 && core::stopSignal() == 0 && (!failed_ || closedItsInput) &&
           (!closedItsInput || Clock::now() - lastTaken_ < kStallLimit)) {
        pollfd child{childFd_, POLLIN, 0};
        ::poll(&child, childFd_ >= 0 ? 1 : 0, kTickMs);
        if (checkChild() && !ended_) {
            break;  // sat stopped
        }
    }
    if (child_ > 0 && !failed_) {
        fail(name_ + " was stopped by the run's " + core::signalName(core::stopSignal()));
    }
    stop();
    const bool exitedWell = ended_ && WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
    if (exitedWell && !failed_) {
        return true;
    }
    // An encoder that ended says best why in its last message; one that stalled or was stopped
    // is named with the cause, and its last message when it left one.
    const std::string message = lastMessage();
    if (ended_) {
        error = !message.empty() ? message
                : exitedWell     ? name_ + " stopped taking input"
                                 : exitReason(name_, status_);
    } else {
        error = reason_.empty() ? name_ + " stopped taking input" : reason_;
        if (!message.empty()) {
            error += ": " + message;
        }
    }
    return false;
}

void EncoderPipes::stop() {
    closeFd(pictures_.fd);
    closeFd(sound_.fd);
    if (child_ > 0) {
        // The whole group: a helper the encoder started could otherwise keep a pipe open.
        ::kill(-child_, SIGKILL);
        ::kill(child_, SIGKILL);
        waitFor(child_);
        child_ = -1;
    }
    closeFd(childFd_);
}

}  // namespace host
