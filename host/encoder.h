#pragma once
// An encoder program fed through two pipes as the show is made: pictures on its standard
// input, sound on its file descriptor 3. The encoder reads its inputs in whatever order its
// muxing wants, so neither pipe is ever written with a blocking call: each has a buffer fixed
// at start, and the caller waits only when one is full, while writing to both. No wait is
// unbounded: an encoder that ends, stops reading or is stopped, and a stop signal, each end it.
#include <sys/types.h>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace host {

class EncoderPipes {
  public:
    EncoderPipes() = default;
    ~EncoderPipes();
    EncoderPipes(const EncoderPipes&) = delete;
    EncoderPipes& operator=(const EncoderPipes&) = delete;

    // Starts `arguments` (the first is looked up on PATH) in its own process group, for
    // pictures of `frameBytes` bytes; buffers room for `bufferedFrames` pictures and
    // `bufferedSoundBytes` of sound. False with the reason in `error`.
    bool start(const std::vector<std::string>& arguments, std::size_t frameBytes,
               std::size_t bufferedFrames, std::size_t bufferedSoundBytes, std::string& error);
    bool failed() const { return failed_; }
    // False once the encoder stopped taking input (it failed) or a stop signal came; nothing
    // more is queued then.
    bool pushFrame(const std::uint8_t* frame);
    bool pushSound(std::span<const std::uint8_t> bytes);
    // Ends both inputs and waits for the encoder; false with why in `error`: its last message,
    // or its exit status, signal or stall.
    bool finish(std::string& error);
    // Stops the encoder and everything it started at once, and reaps it.
    void stop();

  private:
    struct Pipe {
        int fd = -1;
        std::vector<std::uint8_t> ring;
        std::size_t head = 0;  // next byte to write to the pipe
        std::size_t size = 0;  // bytes waiting
    };
    bool queue(Pipe& pipe, const std::uint8_t* bytes, std::size_t count);
    // Writes what the pipes take; with `wait`, first waits (a tick at most) until one takes
    // something. False once failed or stopped by a signal.
    bool pump(bool wait);
    bool fail(const std::string& reason);
    // True, failing, once the encoder has ended (reaped, its status kept) or sat stopped past
    // the limit.
    bool checkChild();
    // True once the encoder has taken nothing and used no processor time for the limit.
    bool stalled();
    std::string lastMessage();

    std::string name_;  // the program, for the one line that says why it failed
    pid_t child_ = -1;
    int childFd_ = -1;  // readable once the encoder has ended, where the system offers it
    std::chrono::steady_clock::time_point lastTaken_;  // bytes last moved, or began waiting
    long ticksSeen_ = -1;  // the encoder's processor time when last looked at
    std::chrono::steady_clock::time_point ticksSampled_;
    std::string reason_;  // why it failed, when the run saw it first
    bool ended_ = false;  // reaped on its own, with status_
    int status_ = 0;
    Pipe pictures_;
    Pipe sound_;
    std::size_t frameBytes_ = 0;
    int log_ = -1;  // the encoder's standard error, kept for its last message
    bool failed_ = false;
};

}  // namespace host
