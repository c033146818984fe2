// The device player's heard position: the callback renders two buffers ahead of the ear, and
// the ear moves on with the clock between callbacks, by one buffer at most.
#include "platform/heard_position.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/module_player.h"
#include "tests/support/modules.h"
#include "tests/support/run_program.h"

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

TEST(DevicePlayer, ReportsTheRowHeardThroughoutTheSongAndSeesItsEnd) {
    // Speed 6 at 125 BPM: 5292 frames a row, 64 rows an order, two orders.
    constexpr std::uint64_t kRowFrames = 5292;
    constexpr std::uint64_t kSongFrames = 2 * 64 * kRowFrames;
    const std::string dir = testsupport::makeTempDirectory("device");
    testsupport::ModulePlan plan;
    plan.orders = 2;
    testsupport::writeFile(dir + "/song.it", testsupport::buildModule(plan));
    auto player = std::make_unique<platform::DevicePlayer>();
    std::string error;
    ASSERT_TRUE(player->module().load(dir + "/song.it", error)) << error;
    constexpr std::uint64_t kBuffer = 1000;  // not a whole number of chunks
    player->heard().setBufferFrames(kBuffer);
    player->play(false);
    std::vector<std::int16_t> samples(2 * kBuffer);
    int checked = 0;
    for (std::uint64_t rendered = kBuffer; rendered <= kSongFrames + 20 * kBuffer;
         rendered += kBuffer) {
        player->render(samples.data(), kBuffer);
        // Handed over at the moment its frames end on a timeline of the song's own.
        const auto at = static_cast<std::int64_t>(rendered * 1'000'000 / platform::kSongRate);
        player->handed(at);
        // Not before the last row has played; soon after (the player may add a short tail).
        if (rendered <= kSongFrames || rendered > kSongFrames + 10 * kBuffer) {
            EXPECT_EQ(player->ended(), rendered > kSongFrames) << rendered;
        }
        // Two buffers wait between the callback and the ear. Rows are checked away from their
        // edges, where a chunk's start and the tick it falls in cannot blur them.
        const std::uint64_t heard = rendered - 2 * kBuffer;
        if (rendered < 2 * kBuffer || heard >= kSongFrames || heard % kRowFrames < 1200 ||
            heard % kRowFrames > 4000) {
            continue;
        }
        const platform::SongPosition position = player->heard().positionAt(at);
        ASSERT_EQ(position.order, static_cast<std::int32_t>(heard / (64 * kRowFrames))) << heard;
        ASSERT_EQ(position.row, static_cast<std::int32_t>(heard / kRowFrames % 64)) << heard;
        ++checked;
    }
    EXPECT_GT(checked, 300);
}

}  // namespace
