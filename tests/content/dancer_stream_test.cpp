// The two dancer animations: streams of points in the blob dancer's format that stay whole
// on the picture, keep their figure together and loop without a jump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "content/entries.h"
#include "core/buffers.h"
#include "raster/blobs.h"

namespace {

struct Frame {
    std::vector<std::pair<int, int>> stamped;  // (x, row) of each blob drawn
};

// Reads a stream by the drawing routine's rules: each point is followed by another point,
// by 0xFFFE (the point is the frame's last, read but not drawn) or by 0xFFFF (back to the
// start). Fails the test on anything malformed.
std::vector<Frame> parse(const content::Bytes& s) {
    std::vector<Frame> frames;
    auto word = [&](std::size_t at) { return s[at] | (s[at + 1] << 8); };
    std::size_t at = 0;
    Frame current;
    while (true) {
        EXPECT_LE(at + 6, s.size()) << "stream runs past its end";
        if (at + 6 > s.size()) {
            return frames;
        }
        const int x = word(at);
        const int y = word(at + 2);
        const int next = word(at + 4);
        EXPECT_LT(x, 320);
        EXPECT_LT(y, 400);
        if (next == 0xFFFF) {
            EXPECT_TRUE(current.stamped.empty()) << "the end marker follows a whole frame";
            EXPECT_EQ(at + 6, s.size()) << "nothing follows the end marker";
            return frames;
        }
        if (next == 0xFFFE) {
            frames.push_back(current);
            current = Frame{};
            at += 6;
            continue;
        }
        current.stamped.emplace_back(x, y / 2);
        at += 4;
    }
}

void checkDancer(int entry, std::size_t frameCount, std::size_t pointsPerFrame) {
    const content::Bytes stream = content::buildEntry(entry);
    ASSERT_LE(stream.size(), content::kEntryCapacity[static_cast<std::size_t>(entry)]);
    const std::vector<Frame> frames = parse(stream);
    ASSERT_EQ(frames.size(), frameCount);
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const Frame& frame = frames[f];
        ASSERT_EQ(frame.stamped.size(), pointsPerFrame) << "frame " << f;
        for (const auto& [x, row] : frame.stamped) {
            // The 32 x 32 blob around the point lies wholly on the picture.
            EXPECT_GE(x - 16, 0);
            EXPECT_LE(x + 15, 319);
            EXPECT_GE(row - 16, 0);
            EXPECT_LE(row + 15, 199);
        }
        // Motion is continuous, also from the last frame back to the first.
        const Frame& next = frames[(f + 1) % frames.size()];
        for (std::size_t p = 0; p < pointsPerFrame; ++p) {
            const int dx = next.stamped[p].first - frame.stamped[p].first;
            const int dy = next.stamped[p].second - frame.stamped[p].second;
            EXPECT_LE(std::hypot(dx, dy), 14.0) << "frame " << f << " point " << p;
        }
    }
}

TEST(ContentDancers, SoloLoopsOverEightBeatsOnScreen) {
    checkDancer(22, 240, 25);
}

TEST(ContentDancers, PairLoopsOverFourBeatsOnScreen) {
    checkDancer(23, 120, 24);
}

TEST(ContentDancers, FiguresMoveToTheBeat) {
    // The pelvis (fourth point) dips on every beat: its row is lowest 30 frames apart.
    const std::vector<Frame> frames = parse(content::buildEntry(22));
    ASSERT_EQ(frames.size(), 240u);
    for (std::size_t beat = 0; beat < 8; ++beat) {
        const int onBeat = frames[beat * 30].stamped[3].second;
        const int between = frames[beat * 30 + 15].stamped[3].second;
        EXPECT_GT(onBeat, between + 4) << "beat " << beat;
    }
}

// Plays both streams through the program's own dancer routine into a private blob target and
// checks that every frame lights the picture and nothing lands below it.
TEST(ContentDancers, ProgramDrawsEveryFrameInsideThePicture) {
    std::vector<std::uint8_t> target(core::kWorkABCBytes, 0);
    std::uint8_t* const savedWorkB = core::workB;
    core::workB = target.data();
    for (const auto& [entry, frameCount] : {std::pair{22, 240u}, std::pair{23, 120u}}) {
        SCOPED_TRACE(entry);
        const content::Bytes stream = content::buildEntry(entry);
        raster::Dancer dancer;
        raster::startDancer(dancer, stream);
        for (unsigned f = 0; f < frameCount + 1; ++f) {
            std::fill(target.begin(), target.end(), 0);
            raster::drawDancer(dancer);
            const auto lit = std::count_if(target.begin(), target.begin() + 64000,
                                           [](std::uint8_t v) { return v != 0; });
            EXPECT_GT(lit, 5000) << "frame " << f;
            EXPECT_TRUE(std::all_of(target.begin() + 64000, target.end(),
                                    [](std::uint8_t v) { return v == 0; }))
                << "frame " << f << " spills below the picture";
            // The loop closes: after the last frame the next call starts over.
            if (f + 1 == frameCount) {
                EXPECT_EQ(dancer.dancerCursor * 2, stream.size() - 6);
            }
            if (f == frameCount) {
                EXPECT_EQ(dancer.dancerCursor * 2 * frameCount, stream.size() - 6)
                    << "the first frame again, drawn in the same call as the restart";
            }
        }
    }
    core::workB = savedWorkB;
}

}  // namespace
