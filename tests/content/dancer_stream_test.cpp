// The two dancer animations: streams of points in the blob dancer's format that stay whole
// on the picture, keep their figure together and loop without a jump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "content/entries.h"
#include "content/soundtrack.h"
#include "core/buffers.h"
#include "raster/blobs.h"
#include "sequencer/scene_common.h"

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

std::size_t soloFrames() {
    return static_cast<std::size_t>(content::danceLoopFrames(17, 25));
}
std::size_t pairFrames() {
    return static_cast<std::size_t>(content::danceLoopFrames(18, 50));
}

TEST(ContentDancers, LoopsAreWholeFiguresOnScreen) {
    checkDancer(22, soloFrames(), 25);
    checkDancer(23, pairFrames(), 24);
}

// The frames of one order of the dance scene, in time, and whether the figure is drawn on
// each: the pacer releases two frames every 17 ms; a cue row sets the flash level, which
// falls by the scene's decay each frame, and the figure waits while it is above 0.
std::vector<std::pair<double, bool>> danceSchedule(bool firstOrder) {
    std::vector<std::pair<double, bool>> frames;
    const std::vector<int> secondOrderCues = content::showCueRows(18);
    sequencer::pulse = 0;
    for (int frame = 0;; ++frame) {
        const double seconds = 0.017 * (frame / 2);
        const auto row = static_cast<std::int32_t>(seconds / 0.12);
        if (row >= 64) {
            return frames;
        }
        if (firstOrder) {
            if (sequencer::rowInCueSetB(row) || row == 60) {
                sequencer::pulse = 200;
            }
            sequencer::decayPulse();
        } else {
            if (std::find(secondOrderCues.begin(), secondOrderCues.end(), row) !=
                secondOrderCues.end()) {
                sequencer::pulse = 200;
            }
            sequencer::pulse = std::max(sequencer::pulse - 50, 0);
        }
        frames.emplace_back(seconds, sequencer::pulse == 0);
    }
}

TEST(ContentDancers, FiguresKeepToTheBeatOverAWholeOrder) {
    // Play each stream through its order as the scene draws it. A flash holds the figure
    // still and it falls a little behind, to catch up over the bar; it never drifts: over the
    // order it dances exactly its sixteen beats, and it is never far from the music.
    for (const auto& [entry, first] : {std::pair{22, true}, std::pair{23, false}}) {
        SCOPED_TRACE(entry);
        const std::vector<Frame> frames = parse(content::buildEntry(entry));
        ASSERT_FALSE(frames.empty());
        const auto loop = static_cast<double>(frames.size());
        int drawn = 0;
        double furthest = 0.0;
        for (const auto& [seconds, draws] : danceSchedule(first)) {
            if (draws) {
                furthest = std::max(furthest, std::fabs(4.0 * drawn / loop - seconds / 0.48));
                ++drawn;
            }
        }
        EXPECT_NEAR(4.0 * drawn / loop, 16.0, 0.1) << "beats danced over the order";
        EXPECT_LT(furthest, 0.75) << "beats between the figure and the music at the most";
        // Within its loop the figure dips on every beat: the pelvis (fourth point) is lower
        // (a larger row) on the beat than half a beat later.
        for (std::size_t beat = 0; beat < 4; ++beat) {
            const std::size_t on = beat * frames.size() / 4;
            const int onBeat = frames[on].stamped[3].second;
            const int between = frames[on + frames.size() / 8].stamped[3].second;
            EXPECT_GE(onBeat, between + 3) << "beat " << beat;
        }
    }
}

// Plays both streams through the program's own dancer routine into a private blob target and
// checks that every frame lights the picture and nothing lands below it.
TEST(ContentDancers, ProgramDrawsEveryFrameInsideThePicture) {
    std::vector<std::uint8_t> target(core::kWorkABCBytes, 0);
    std::uint8_t* const savedWorkB = core::workB;
    core::workB = target.data();
    for (const auto& [entry, frameCount] :
         {std::pair{22, soloFrames()}, std::pair{23, pairFrames()}}) {
        SCOPED_TRACE(entry);
        const content::Bytes stream = content::buildEntry(entry);
        raster::Dancer dancer;
        raster::startDancer(dancer, stream);
        for (std::size_t f = 0; f < frameCount + 1; ++f) {
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
