#include "platform/heard_position.h"

#include <algorithm>

#include "platform/module_player.h"

namespace platform {

void HeardPosition::reset() {
    published_.store(0, std::memory_order_release);
    handedFrames_.store(0, std::memory_order_release);
}

void HeardPosition::chunkStarts(std::uint64_t firstFrame, SongPosition at) {
    const std::uint64_t index = published_.load(std::memory_order_relaxed);
    Chunk& chunk = history_[index % kHistory];
    chunk.firstFrame.store(firstFrame, std::memory_order_relaxed);
    chunk.order.store(at.order, std::memory_order_relaxed);
    chunk.row.store(at.row, std::memory_order_relaxed);
    published_.store(index + 1, std::memory_order_release);
}

void HeardPosition::handed(std::uint64_t totalFrames, std::int64_t atMicroseconds) {
    handedAt_.store(atMicroseconds, std::memory_order_release);
    handedFrames_.store(totalFrames, std::memory_order_release);
}

std::int64_t HeardPosition::heardFrame(std::int64_t nowMicroseconds) const {
    const auto handed = static_cast<std::int64_t>(handedFrames_.load(std::memory_order_acquire));
    const std::int64_t since =
        (nowMicroseconds - handedAt_.load(std::memory_order_acquire)) * kSongRate / 1000000;
    const auto buffer = static_cast<std::int64_t>(bufferFrames_);
    return std::max<std::int64_t>(0,
                                  handed - 2 * buffer + std::clamp<std::int64_t>(since, 0, buffer));
}

SongPosition HeardPosition::positionAt(std::int64_t nowMicroseconds) const {
    const std::uint64_t count = published_.load(std::memory_order_acquire);
    if (count == 0) {
        return {};
    }
    const auto heard = static_cast<std::uint64_t>(heardFrame(nowMicroseconds));
    // Walk back from the newest chunk to the one that holds the heard frame.
    std::uint64_t index = count - 1;
    const std::uint64_t oldest = count > kHistory ? count - kHistory : 0;
    while (index > oldest &&
           history_[index % kHistory].firstFrame.load(std::memory_order_relaxed) > heard) {
        --index;
    }
    const Chunk& chunk = history_[index % kHistory];
    return {chunk.order.load(std::memory_order_relaxed), chunk.row.load(std::memory_order_relaxed)};
}

}  // namespace platform
