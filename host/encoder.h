#pragma once
// An encoder program fed through two pipes as the show is made: pictures on its standard
// input, sound on its file descriptor 3. The encoder reads its inputs in whatever order its
// muxing wants, so neither pipe is ever written with a blocking call: each has a buffer fixed
// at start, and the caller waits only when one is full, while writing to both.
#include <sys/types.h>
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
    // False once the encoder stopped taking input (it failed); nothing more is queued then.
    bool pushFrame(const std::uint8_t* frame);
    bool pushSound(std::span<const std::uint8_t> bytes);
    // Ends both inputs and waits for the encoder; false with its last message in `error`.
    bool finish(std::string& error);
    // Stops the encoder at once and reaps it (a failed or interrupted run).
    void stop();

  private:
    struct Pipe {
        int fd = -1;
        std::vector<std::uint8_t> ring;
        std::size_t head = 0;  // next byte to write to the pipe
        std::size_t size = 0;  // bytes waiting
    };
    static bool queue(Pipe& pipe, const std::uint8_t* bytes, std::size_t count);
    // Writes what the pipes take; with `wait`, first waits until one takes something.
    bool pump(bool wait);
    bool fail();
    std::string lastMessage();

    pid_t child_ = -1;
    Pipe pictures_;
    Pipe sound_;
    std::size_t frameBytes_ = 0;
    int log_ = -1;  // the encoder's standard error, kept for its last message
    bool failed_ = false;
};

}  // namespace host
