#pragma once
// Where the listener is in the song while a sound device plays it. The audio callback renders
// ahead of the ear: it records where each chunk it renders starts in the song, and after each
// buffer how many frames it has handed to the device and when. The main thread asks which chunk
// is heard at a given moment. Lock-free: one writer (the callback), one reader.
#include <array>
#include <atomic>
#include <cstdint>

#include "platform/music.h"

namespace platform {

class HeardPosition {
  public:
    // The device's buffer: one plays while one more waits, so the newest handed frame reaches
    // the ear two buffers after the callback, and the ear moves on with the clock meanwhile.
    void setBufferFrames(std::uint32_t frames) { bufferFrames_ = frames; }
    void reset();

    // Called by the callback, in order: each chunk's start, then the buffer handed over.
    void chunkStarts(std::uint64_t firstFrame, SongPosition at);
    void handed(std::uint64_t totalFrames, std::int64_t atMicroseconds);

    // The frame heard at `nowMicroseconds` (never before the first), and its chunk's position
    // (order 0, row 0 before the first chunk).
    std::int64_t heardFrame(std::int64_t nowMicroseconds) const;
    SongPosition positionAt(std::int64_t nowMicroseconds) const;

  private:
    static constexpr std::size_t kHistory = 4096;  // ~24 s of 256-frame chunks
    struct Chunk {
        std::atomic<std::uint64_t> firstFrame{0};
        std::atomic<std::int32_t> order{0};
        std::atomic<std::int32_t> row{0};
    };
    std::uint32_t bufferFrames_ = 1024;
    std::array<Chunk, kHistory> history_{};
    std::atomic<std::uint64_t> published_{0};
    std::atomic<std::uint64_t> handedFrames_{0};
    std::atomic<std::int64_t> handedAt_{0};
};

}  // namespace platform
