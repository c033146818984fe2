// The two dancer animations: streams of points in the blob dancer's format that stay whole
// on the picture and, played as the dance scene plays them, move smoothly and dip on the
// beat.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

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

// Each stream fits its slot and every frame is a whole figure lying wholly on the picture.
std::vector<Frame> wholeFigures(int entry, std::size_t pointsPerFrame) {
    const content::Bytes stream = content::buildEntry(entry);
    EXPECT_LE(stream.size(), core::entryCapacity(entry));
    const std::vector<Frame> frames = parse(stream);
    EXPECT_GT(frames.size(), 56U) << "a loop holds at least a beat at the song's tempo";
    for (std::size_t f = 0; f < frames.size(); ++f) {
        EXPECT_EQ(frames[f].stamped.size(), pointsPerFrame) << "frame " << f;
        for (const auto& [x, row] : frames[f].stamped) {
            EXPECT_GE(x - 16, 0);
            EXPECT_LE(x + 15, 319);
            EXPECT_GE(row - 16, 0);
            EXPECT_LE(row + 15, 199);
        }
    }
    return frames;
}

TEST(ContentDancers, LoopsAreWholeFiguresOnScreen) {
    wholeFigures(22, 25);
    wholeFigures(23, 24);
}

// The frames of one order of the dance scene, in beats from the order's start, and whether
// the figure is drawn on each: the pacer releases two frames every 17 ms, the first
// `startSeconds` into the order; a cue row sets the flash level, which falls by the scene's
// decay each frame, and the figure waits while it is above 0.
std::vector<std::pair<double, bool>> danceSchedule(bool firstOrder, double startSeconds) {
    std::vector<std::pair<double, bool>> frames;
    const std::vector<int> secondOrderCues = content::showCueRows(18);
    sequencer::sceneState.flashLevel = 0;
    for (int frame = 0;; ++frame) {
        const double seconds = startSeconds + 0.017 * (frame / 2);
        const auto row = static_cast<std::int32_t>(seconds / 0.12);
        if (row >= 64) {
            return frames;
        }
        if (firstOrder) {
            if (sequencer::isFlashRow(row) || row == 60) {
                sequencer::sceneState.flashLevel = 200;
            }
            sequencer::decayFlashLevel();
        } else {
            if (std::find(secondOrderCues.begin(), secondOrderCues.end(), row) !=
                secondOrderCues.end()) {
                sequencer::sceneState.flashLevel = 200;
            }
            sequencer::sceneState.flashLevel = std::max(sequencer::sceneState.flashLevel - 50, 0);
        }
        frames.emplace_back(seconds / 0.48, sequencer::sceneState.flashLevel == 0);
    }
}

// Plays a loop through its order as the scene draws it and watches the (first) figure's
// pelvis, the fourth point, which is lowest when the figure dips. Reports the share of the
// drawn frames near a beat that show the dip, and of those near the half beat that show the
// figure up; and checks that the figure moves smoothly wherever it stays in view.
struct BeatWatch {
    double dipsOnBeat = 0;
    double upBetween = 0;
};

BeatWatch watchDance(const std::vector<Frame>& loop, bool firstOrder, double startSeconds) {
    int highest = 1000, lowest = -1000;  // pelvis rows
    for (const Frame& frame : loop) {
        highest = std::min(highest, frame.stamped[3].second);
        lowest = std::max(lowest, frame.stamped[3].second);
    }
    const int quarter = (lowest - highest) / 4;
    int nearBeat = 0, dips = 0, nearHalf = 0, ups = 0;
    std::size_t drawn = 0;
    bool previousDrawn = false;
    for (const auto& [beat, draws] : danceSchedule(firstOrder, startSeconds)) {
        if (!draws) {
            previousDrawn = false;
            continue;
        }
        const Frame& frame = loop[drawn % loop.size()];
        if (previousDrawn) {
            // In view from one frame to the next: no point jumps.
            const Frame& before = loop[(drawn - 1) % loop.size()];
            for (std::size_t p = 0; p < frame.stamped.size(); ++p) {
                const int dx = frame.stamped[p].first - before.stamped[p].first;
                const int dy = frame.stamped[p].second - before.stamped[p].second;
                EXPECT_LE(std::hypot(dx, dy), 14.0) << "drawn frame " << drawn << " point " << p;
            }
        }
        const double fromBeat = beat - std::round(beat);
        const int pelvis = frame.stamped[3].second;
        if (std::fabs(fromBeat) <= 0.05) {
            ++nearBeat;
            dips += pelvis >= lowest - quarter ? 1 : 0;
        } else if (std::fabs(std::fabs(fromBeat) - 0.5) <= 0.05) {
            ++nearHalf;
            ups += pelvis <= highest + quarter ? 1 : 0;
        }
        ++drawn;
        previousDrawn = true;
    }
    return {static_cast<double>(dips) / nearBeat, static_cast<double>(ups) / nearHalf};
}

TEST(ContentDancers, FiguresDipOnTheBeat) {
    // A loop holds far fewer frames than the order draws, and the flashes fall on irregular
    // rows, so no loop keeps every playing on the beat; a loop that merely counted frames
    // dips on the beat about as often as chance would (a third of the time by this measure,
    // at most 0.47, and is up between beats at most 0.61 of the time). The fitted loops keep
    // most playings there, also when the scene starts a little later.
    for (const auto& [entry, first] : {std::pair{22, true}, std::pair{23, false}}) {
        const std::vector<Frame> loop = parse(content::buildEntry(entry));
        ASSERT_FALSE(loop.empty());
        for (const double start : {0.0, 0.02, 0.037}) {
            SCOPED_TRACE(::testing::Message() << "entry " << entry << " start " << start);
            const BeatWatch watch = watchDance(loop, first, start);
            EXPECT_GE(watch.dipsOnBeat, 0.55);
            EXPECT_GE(watch.upBetween, 0.7);
        }
    }
}

// Of the drawn frames that show a figure at the bottom of its dip (pelvis within 2 rows of
// its lowest), the share that fall within 60 ms of a beat, where the kick plays; and how deep
// the dip is, in rows.
struct DeepestDips {
    double onKick = 0;
    int depth = 0;
};

DeepestDips watchDeepestDips(const std::vector<Frame>& loop, std::size_t pelvisPoint,
                             bool firstOrder, double startSeconds) {
    int highest = 1000, lowest = -1000;
    for (const Frame& frame : loop) {
        highest = std::min(highest, frame.stamped[pelvisPoint].second);
        lowest = std::max(lowest, frame.stamped[pelvisPoint].second);
    }
    int deepest = 0, onKick = 0;
    std::size_t drawn = 0;
    for (const auto& [beat, draws] : danceSchedule(firstOrder, startSeconds)) {
        if (!draws) {
            continue;
        }
        if (loop[drawn++ % loop.size()].stamped[pelvisPoint].second >= lowest - 2) {
            ++deepest;
            onKick += std::fabs(beat - std::round(beat)) * 0.48 <= 0.06 ? 1 : 0;
        }
    }
    return {deepest == 0 ? 0.0 : static_cast<double>(onKick) / deepest, lowest - highest};
}

TEST(ContentDancers, EachFigureDipsDeepAndMostOftenOnTheKick) {
    // The solo's pelvis is its fourth point; the pair's two figures are 12 points each.
    for (const auto& [entry, first, pelvis] :
         {std::tuple{22, true, std::size_t{3}}, std::tuple{23, false, std::size_t{3}},
          std::tuple{23, false, std::size_t{15}}}) {
        const std::vector<Frame> loop = parse(content::buildEntry(entry));
        ASSERT_FALSE(loop.empty());
        for (const double start : {0.0, 0.02, 0.037}) {
            SCOPED_TRACE(::testing::Message()
                         << "entry " << entry << " point " << pelvis << " start " << start);
            const DeepestDips dips = watchDeepestDips(loop, pelvis, first, start);
            EXPECT_GE(dips.depth, 10);
            // Dips at random would meet a kick a quarter of the time (60 ms either side of
            // each 480 ms beat); a figure half a beat off would almost never. Most of them
            // should meet one.
            EXPECT_GE(dips.onKick, 0.6);
        }
    }
}

// Plays both streams through the program's own dancer routine into a private blob target and
// checks that every frame lights the picture and nothing lands below it.
TEST(ContentDancers, ProgramDrawsEveryFrameInsideThePicture) {
    std::vector<std::uint8_t> target(core::kScenePageBytes, 0);
    for (const int entry : {22, 23}) {
        SCOPED_TRACE(entry);
        const content::Bytes stream = content::buildEntry(entry);
        const std::size_t frameCount = parse(stream).size();
        raster::Dancer dancer;
        raster::startDancer(dancer, stream);
        for (std::size_t f = 0; f < frameCount + 1; ++f) {
            std::fill(target.begin(), target.end(), 0);
            raster::drawDancer(dancer, target.data());
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
}

}  // namespace
