// The device player's heard position: the callback renders two buffers ahead of the ear, and
// the ear moves on with the clock between callbacks, by one buffer at most.
#include "platform/heard_position.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr std::int64_t kMicrosecondsPer441Frames = 10'000;  // 10 ms at 44100 Hz

// A callback's worth: chunks of 256 frames, each at the next row, then the buffer handed over.
void callback(platform::HeardPosition& heard, std::uint64_t& rendered, std::uint32_t bufferFrames,
              std::int64_t atMicroseconds) {
    for (std::uint32_t done = 0; done < bufferFrames; done += 256) {
        heard.chunkStarts(rendered, {0, static_cast<std::int32_t>(rendered / 256)});
        rendered += 256;
    }
    heard.handed(rendered, atMicroseconds);
}

TEST(HeardPosition, LagsTwoBuffersAtTheCallbackAndFollowsTheClockForOneBuffer) {
    for (const std::uint32_t buffer : {512u, 1024u, 2048u}) {
        SCOPED_TRACE(buffer);
        auto heard = std::make_unique<platform::HeardPosition>();
        heard->setBufferFrames(buffer);
        EXPECT_EQ(heard->positionAt(0).row, 0);  // nothing rendered yet
        std::uint64_t rendered = 0;
        const std::int64_t t0 = 5'000'000;
        // The first two callbacks fill both buffers; nothing has reached the ear yet.
        callback(*heard, rendered, buffer, t0);
        callback(*heard, rendered, buffer, t0);
        EXPECT_EQ(heard->heardFrame(t0), 0);
        callback(*heard, rendered, buffer, t0 + 1000);
        const std::int64_t handed = static_cast<std::int64_t>(3 * buffer);
        EXPECT_EQ(heard->heardFrame(t0 + 1000), handed - 2 * buffer);
        EXPECT_EQ(heard->heardFrame(t0 + 1000 + kMicrosecondsPer441Frames),
                  handed - 2 * buffer + 441);
        // No further than one buffer past the callback, however late the next one is.
        EXPECT_EQ(heard->heardFrame(t0 + 1000 + 100 * kMicrosecondsPer441Frames), handed - buffer);
        // The position is the chunk that holds the heard frame.
        const std::int64_t at = t0 + 1000 + kMicrosecondsPer441Frames;
        EXPECT_EQ(heard->positionAt(at).row, (handed - 2 * buffer + 441) / 256);
    }
}

TEST(HeardPosition, StartsAgainAfterAReset) {
    auto heard = std::make_unique<platform::HeardPosition>();
    std::uint64_t rendered = 0;
    for (int i = 0; i < 8; ++i) {
        callback(*heard, rendered, 1024, 1000 * i);
    }
    EXPECT_GT(heard->positionAt(8000).row, 0);
    heard->reset();
    EXPECT_EQ(heard->positionAt(8000).row, 0);
    EXPECT_EQ(heard->positionAt(8000).order, 0);
}

}  // namespace
