// The two dancer animations (entries 22 and 23): figures made of glowing points, a skeleton
// moved by a loop of frames in time with the song. The scene moves a figure on by one loop
// frame only when it draws it, and a flash hides it for a moment, so a loop that simply
// counted the music's frames would drift off the beat. Each loop is fitted instead to the
// frames the scene will really draw: every loop frame carries the beat phase that most of its
// playings fall on, the figure moves at the song's tempo between flashes, and the loop skips
// ahead only where a flash hides the step. A loop holds far fewer frames than an order draws
// (the slots are 30000 and 15000 bytes), so the flashes' irregular rows keep some playings
// off the beat; the fit keeps as many on it as a loop of that size can, and the figure reaches
// the very bottom of its dip only on the loop frames that mostly play on a kick.
//
// Stream format: little-endian 16-bit words. A frame is a list of points (x, then y doubled),
// in screen coordinates. The last point of a frame is followed by 0xFFFE and is not drawn, so
// each frame ends with a repeat of its first point. After the last frame comes one more point
// followed by 0xFFFF, which sends playback back to the first frame.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

#include "content/art_math.h"
#include "content/entries.h"
#include "content/soundtrack.h"
#include "core/bytes.h"
#include "core/cues.h"

namespace content {

namespace {

struct Point {
    double x, y;
};

struct Pose {
    Point pelvis;
    double lean;                     // torso angle from vertical, radians (positive leans right)
    double nod;                      // head angle from the torso's line (positive leans right)
    double upperArm[2], forearm[2];  // angles from straight down, left and right
    double thigh[2], shin[2];        // angles from straight down
};

// Each loop frame's place in the dance: its beat phase, and how far above the bottom of its
// dip the figure stays (in pixels).
struct Step {
    double beat;
    double shortOfBottom;
};

struct Proportions {
    double torso, neck, head, shoulder, hip, upperArm, forearm, thigh, shin;
};

Point along(Point from, double angle, double length) {
    // angle 0 points straight down; positive turns toward +x.
    return {from.x + length * detSin(angle), from.y + length * detCos(angle)};
}

Point mid(Point a, Point b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

// The figure's points: joints and the midpoints of the longer bones.
std::vector<Point> skeleton(const Pose& pose, const Proportions& p, bool withMidpoints) {
    std::vector<Point> pts;
    const double up = kPi + pose.lean;  // the torso points up
    const Point pelvis = pose.pelvis;
    const Point chest = along(pelvis, up, p.torso * 0.55);
    const Point neck = along(pelvis, up, p.torso);
    const Point head = along(neck, up + pose.nod, p.neck + p.head);
    const double across = pose.lean + kPi / 2;  // perpendicular to the torso
    const Point shoulders[2] = {along(neck, across, -p.shoulder), along(neck, across, p.shoulder)};
    const Point hips[2] = {along(pelvis, across, -p.hip), along(pelvis, across, p.hip)};
    pts.push_back(head);
    pts.push_back(neck);
    pts.push_back(chest);
    pts.push_back(pelvis);
    if (withMidpoints) {
        pts.push_back(mid(chest, pelvis));
    }
    for (int side = 0; side < 2; ++side) {
        const Point elbow = along(shoulders[side], pose.upperArm[side], p.upperArm);
        const Point hand = along(elbow, pose.forearm[side], p.forearm);
        const Point knee = along(hips[side], pose.thigh[side], p.thigh);
        const Point foot = along(knee, pose.shin[side], p.shin);
        pts.push_back(elbow);
        pts.push_back(hand);
        pts.push_back(knee);
        pts.push_back(foot);
        if (withMidpoints) {
            pts.push_back(shoulders[side]);
            pts.push_back(hips[side]);
            pts.push_back(mid(shoulders[side], elbow));
            pts.push_back(mid(elbow, hand));
            pts.push_back(mid(hips[side], knee));
            pts.push_back(mid(knee, foot));
        }
    }
    return pts;
}

// The legs' height for a dip of 0 (standing) to 1 (the bottom of the dip).
double legHeight(const Proportions& body, double dip) {
    return body.thigh * detCos(0.2 + 0.6 * dip) + body.shin * detCos(0.05 + 0.55 * dip);
}

// The deepest dip that keeps the pelvis `above` pixels over the bottom.
double dipReaching(const Proportions& body, double above) {
    const double height = legHeight(body, 1.0) + above;
    double low = 0.0, high = 1.0;
    for (int i = 0; i < 30; ++i) {
        const double middle = (low + high) / 2;
        (legHeight(body, middle) >= height ? low : high) = middle;
    }
    return low;
}

// A dance move. `beat` is the bounce's phase (whole numbers on the beat); `turn` (0..1 around the
// loop) leads the slower moves: `sways` side-to-side sways a loop, the hands pumping in turn with
// the sway in the loop's first half and both arms waving overhead in its second. On the beat the
// knees bend deep, the head nods and the elbows punch out, so the beat reads on the whole figure.
Pose danceAt(Step step, double turn, int sways, double centreX, double floorY,
             const Proportions& body, double mirror) {
    const double beat = step.beat;
    const double swayPhase = kTwoPi * sways * turn;
    const double overhead = smoothstep(0.4, 0.5, turn) - smoothstep(0.9, 1.0, turn);
    Pose pose{};
    const double bounce = 0.5 + 0.5 * detCos(kTwoPi * beat);  // 1 on the beat, 0 between
    const double sway = detSin(swayPhase) * mirror;
    // Legs: the knees bend outward as the body dips on the beat; the feet stay apart.
    const double dip = std::min(bounce, dipReaching(body, step.shortOfBottom));
    const double bend = 0.2 + 0.6 * dip;
    const double shin = 0.05 + 0.55 * dip;
    pose.thigh[0] = -bend + 0.08 * sway;
    pose.thigh[1] = bend + 0.08 * sway;
    pose.shin[0] = shin;
    pose.shin[1] = -shin;
    pose.pelvis = {centreX + body.hip * 1.5 * sway, floorY - legHeight(body, dip)};
    pose.lean = 0.12 * sway;
    pose.nod = 0.45 * bounce * mirror;
    const double left = 0.5 + 0.5 * detSin(swayPhase);
    const double right = 1.0 - left;
    const double wave = 0.45 * detSin(swayPhase);
    const double punch = 0.5 * bounce;
    const double upper[2][2] = {{-(0.5 + 2.2 * left) - punch, 0.5 + 2.2 * right + punch},
                                {-(2.4 - wave), 2.4 + wave}};
    const double fore[2][2] = {{-(0.9 + 2.3 * left) + punch, 0.9 + 2.3 * right - punch},
                               {-(2.9 - wave) + 0.5 * bounce, 2.9 + wave - 0.5 * bounce}};
    for (int side = 0; side < 2; ++side) {
        pose.upperArm[side] = mirror * lerp(upper[0][side], upper[1][side], overhead);
        pose.forearm[side] = mirror * lerp(fore[0][side], fore[1][side], overhead);
    }
    return pose;
}

void putWord(Bytes& out, int value) {
    core::appendLittle16(out, static_cast<std::uint16_t>(value));
}

// Every blob is kept whole on the picture: its 32 x 32 brush is centred on the point.
constexpr int kMinX = 16, kMaxX = 303, kMinY = 16, kMaxY = 183;

void putPoint(Bytes& out, Point p) {
    const int x = std::clamp(roundToInt(p.x), kMinX, kMaxX);
    const int y = std::clamp(roundToInt(p.y), kMinY, kMaxY);
    putWord(out, x);
    putWord(out, 2 * y);
}

void putFrame(Bytes& out, const std::vector<Point>& pts) {
    for (const Point& p : pts) {
        putPoint(out, p);
    }
    putPoint(out, pts.front());  // read but not drawn
    putWord(out, 0xFFFE);
}

void putEnd(Bytes& out, Point p) {
    putPoint(out, p);
    putWord(out, 0xFFFF);
}

// A frame of n drawn points takes n + 1 points and the 0xFFFE word; the end takes a point and
// 0xFFFF.
constexpr std::size_t frameBytes(std::size_t points) {
    return 4 * (points + 1) + 2;
}
constexpr std::size_t kEndMarkerBytes = 6;
constexpr std::size_t kSoloPoints = 25;  // joints and the longer bones' midpoints
constexpr std::size_t kPairPoints = 24;  // two figures of joints only

// The dance scene (the twelfth) lasts two orders: the solo dances in the first, the pair in the
// second.
constexpr int kDanceFirstOrder = core::sceneStartOrder(11);

const Proportions kAdult = {44, 7, 11, 16, 11, 24, 22, 35, 35};
const Proportions kSmall = {40, 5, 9, 13, 9, 22, 20, 29, 29};

// The dance scene's frames as the pacer releases them: two every interval + 1 ms (17 ms).
// A flash sets the level to 200 on every frame of a cue row, and each frame takes
// `flashDecay` off it; the figure is drawn on the frames where it is back at 0.
constexpr double kPairSeconds = 0.017;
constexpr double kBeatSeconds = 4 * kSoundtrackRowSeconds;

// The beat, from the start of the order, of every frame on which the scene draws the figure,
// for a scene whose first frame comes `startSeconds` into the order.
std::vector<double> drawnFrameBeats(const std::vector<int>& cues, int flashDecay,
                                    double startSeconds) {
    std::vector<double> beats;
    int level = 0;
    for (int frame = 0;; ++frame) {
        const double seconds = startSeconds + kPairSeconds * (frame / 2);
        const int row = static_cast<int>(seconds / kSoundtrackRowSeconds);
        if (row >= kSoundtrackRows) {
            return beats;
        }
        if (std::find(cues.begin(), cues.end(), row) != cues.end()) {
            level = 200;
        }
        level = std::max(level - flashDecay, 0);
        if (level == 0) {
            beats.push_back(seconds / kBeatSeconds);
        }
    }
}

// The scene's first frame comes some way into its order: it sees the new order on its next
// frame, and the frame before may have been long (about 37 ms in a headless run). The loop is
// fitted to starts from 0 to 45 ms at once, so it does not hang on one exact schedule.
std::vector<std::vector<double>> drawnFrameSchedules(int order, int flashDecay) {
    const std::vector<int> cues = showCueRows(order);
    std::vector<std::vector<double>> schedules;
    for (int startMs = 0; startMs <= 45; startMs += 3) {
        schedules.push_back(drawnFrameBeats(cues, flashDecay, startMs / 1000.0));
    }
    return schedules;
}

// Beat phases in steps of 1/113 beat: at 56.5 drawn frames a beat (two per 17 ms, 0.48 s a
// beat) a figure moving at the song's tempo advances two steps a frame.
constexpr int kPhaseSteps = 113;
constexpr std::size_t kTempoStep = 2;
// A playing counts as on the beat within an eighth of a beat (14 steps) of its frame's phase.
constexpr int kOnBeatSteps = 14;
// Consecutive drawn frames are at most 0.036 beat apart, frames on the two sides of a flash
// at least 0.25.
constexpr double kSameStretchBeats = 0.1;

constexpr auto kSteps = static_cast<std::size_t>(kPhaseSteps);

std::size_t phaseStep(double beat) {
    const double phase = beat - std::floor(beat);
    return static_cast<std::size_t>(std::lround(phase * kPhaseSteps)) % kSteps;
}

// How the schedules play a loop of `frames` frames: how often each loop frame is played at
// each beat phase, and whether any schedule shows it and then the next loop frame with no
// flash in between (where the figure must not jump).
struct Playings {
    std::size_t frames = 0;
    std::vector<long long> byPhase;    // frames x kSteps
    std::vector<bool> shownInStretch;  // loop frame j followed by j + 1 in view
};

Playings tallyPlayings(const std::vector<std::vector<double>>& schedules, std::size_t frames) {
    Playings tally{frames, std::vector<long long>(frames * kSteps, 0),
                   std::vector<bool>(frames, false)};
    for (const std::vector<double>& beats : schedules) {
        for (std::size_t k = 0; k < beats.size(); ++k) {
            ++tally.byPhase[(k % frames) * kSteps + phaseStep(beats[k])];
            if (k + 1 < beats.size() && beats[k + 1] - beats[k] < kSameStretchBeats) {
                tally.shownInStretch[k % frames] = true;
            }
        }
    }
    return tally;
}

// For each loop frame and phase, the playings that lie within kOnBeatSteps of that phase (a
// running sum around the beat).
std::vector<long long> playingsNear(const Playings& tally) {
    std::vector<long long> near(tally.frames * kSteps, 0);
    constexpr auto kReach = static_cast<std::size_t>(kOnBeatSteps);
    for (std::size_t j = 0; j < tally.frames; ++j) {
        const long long* row = &tally.byPhase[j * kSteps];
        long long window = 0;
        for (std::size_t d = 0; d <= 2 * kReach; ++d) {
            window += row[(d + kSteps - kReach) % kSteps];
        }
        for (std::size_t g = 0; g < kSteps; ++g) {
            near[j * kSteps + g] = window;
            window += row[(g + kReach + 1) % kSteps] - row[(g + kSteps - kReach) % kSteps];
        }
    }
    return near;
}

// A Viterbi search for each loop frame's beat phase, scored by the playings that lie on it.
// From one frame to the next the phase moves on at the song's tempo (one step faster or
// slower at a small cost); it may jump only after a loop frame that no schedule shows
// followed by the next one.
class PhaseSearch {
  public:
    static constexpr long long kVote = 100;  // a playing on the beat outweighs many tempo changes

    PhaseSearch(const Playings& tally, const std::vector<long long>& near)
        : frames_(tally.frames), mayJumpAfter_(tally.frames), votes_(near) {
        for (std::size_t j = 0; j < frames_; ++j) {
            mayJumpAfter_[j] = !tally.shownInStretch[j];
        }
        for (long long& v : votes_) {
            v *= kVote;
        }
    }

    long long vote(std::size_t frame, std::size_t phase) const {
        return votes_[(frame % frames_) * kSteps + phase];
    }

    // Runs `length` steps around the loop from loop frame 0, starting from every phase, or
    // from `start` only; returns the best score for each phase at the last step.
    std::vector<long long> run(std::size_t length, int start) {
        std::vector<long long> scores(kSteps, kUnreachable), next(kSteps);
        for (std::size_t g = 0; g < kSteps; ++g) {
            if (start < 0 || g == static_cast<std::size_t>(start)) {
                scores[g] = vote(0, g);
            }
        }
        trail_.assign(length * kSteps, -1);
        for (std::size_t t = 1; t < length; ++t) {
            step(t, scores, next);
            scores.swap(next);
        }
        return scores;
    }

    // The phases of the last run's best path that ends at `last`.
    std::vector<int> path(std::size_t length, std::size_t last) const {
        std::vector<int> phases(length);
        for (std::size_t t = length; t-- > 0;) {
            phases[t] = static_cast<int>(last);
            last = static_cast<std::size_t>(trail_[t * kSteps + last]);
        }
        return phases;
    }

  private:
    static constexpr long long kUnreachable = -(1LL << 60);
    static constexpr std::array<std::pair<std::size_t, long long>, 3> kMoves = {
        {{kTempoStep, 0}, {kTempoStep - 1, 1}, {kTempoStep + 1, 1}}};
    static constexpr std::size_t kLead = kTempoStep + 1;

    // From the scores at step t - 1 to those at step t.
    void step(std::size_t t, const std::vector<long long>& scores, std::vector<long long>& next) {
        const bool mayJump = mayJumpAfter_[(t - 1) % frames_];
        const auto best = static_cast<std::size_t>(std::max_element(scores.begin(), scores.end()) -
                                                   scores.begin());
        // The scores with the last phases copied in front, so a step back never wraps.
        std::copy(scores.end() - kLead, scores.end(), before_.begin());
        std::copy(scores.begin(), scores.end(), before_.begin() + kLead);
        for (std::size_t g = 0; g < kSteps; ++g) {
            long long score = kUnreachable;
            std::size_t origin = 0;
            for (const auto& [move, cost] : kMoves) {
                const long long candidate = before_[g + kLead - move] - cost;
                if (candidate > score) {
                    score = candidate;
                    origin = (g + kSteps - move) % kSteps;
                }
            }
            if (mayJump && scores[best] > score) {
                score = scores[best];
                origin = best;
            }
            next[g] = score <= kUnreachable / 2 ? kUnreachable : score + vote(t, g);
            trail_[t * kSteps + g] = static_cast<std::int16_t>(origin);
        }
    }

    std::size_t frames_;
    std::vector<bool> mayJumpAfter_;
    std::vector<long long> votes_;
    // trail_[t * kSteps + g]: the phase at step t - 1 of the best path with phase g at step t.
    std::vector<std::int16_t> trail_;
    std::array<long long, kSteps + kLead> before_{};
};

struct LoopFit {
    std::vector<int> phase;         // per loop frame, in steps of kPhaseSteps a beat
    std::vector<double> kickShare;  // per loop frame, its playings within 60 ms of a kick
    long long score = -1;
};

std::size_t bestPhase(const std::vector<long long>& scores) {
    return static_cast<std::size_t>(std::max_element(scores.begin(), scores.end()) -
                                    scores.begin());
}

// Fits a loop of `frames` frames to the schedules: chooses each loop frame's beat phase so
// that as many playings as possible lie on it. First around the loop three times from any
// phase to find where a good path stands at the loop's start, then once more from that
// phase, closing the loop exactly.
LoopFit fitLoop(const std::vector<std::vector<double>>& schedules, int frames) {
    const auto n = static_cast<std::size_t>(frames);
    const Playings tally = tallyPlayings(schedules, n);
    const std::vector<long long> near = playingsNear(tally);
    PhaseSearch search(tally, near);
    // The middle of three rounds shows where the loop settles.
    const std::size_t settled =
        static_cast<std::size_t>(search.path(3 * n, bestPhase(search.run(3 * n, -1)))[n]);
    const std::vector<long long> closing = search.run(n + 1, static_cast<int>(settled));
    LoopFit fit;
    fit.score = closing[settled] - search.vote(0, settled);
    fit.phase = search.path(n + 1, settled);
    fit.phase.pop_back();
    for (std::size_t j = 0; j < n; ++j) {
        const auto first = tally.byPhase.begin() + static_cast<std::ptrdiff_t>(j * kSteps);
        const long long all = std::accumulate(first, first + kSteps, 0LL);
        fit.kickShare.push_back(
            all == 0 ? 0.0 : static_cast<double>(near[j * kSteps]) / static_cast<double>(all));
    }
    return fit;
}

// The best loop the slot can hold: every length from two thirds of the slot's frames up is
// fitted, and the one that keeps most playings on the beat wins (the shorter on a tie).
LoopFit bestLoop(int order, int flashDecay, std::size_t slotBytes, std::size_t bytesPerFrame) {
    const std::vector<std::vector<double>> schedules = drawnFrameSchedules(order, flashDecay);
    const auto most = static_cast<int>((slotBytes - kEndMarkerBytes) / bytesPerFrame);
    LoopFit best;
    for (int frames = most * 2 / 3; frames <= most; ++frames) {
        LoopFit fit = fitLoop(schedules, frames);
        if (fit.score > best.score) {
            best = std::move(fit);
        }
    }
    return best;
}

constexpr double kTempoFramesPerBeat = static_cast<double>(kPhaseSteps) / kTempoStep;

// One sway for about every two beats of frames the loop holds.
int swaysPerLoop(std::size_t frames) {
    return std::max(1, static_cast<int>(std::lround(frames / (2 * kTempoFramesPerBeat))));
}

// A loop frame is played several times an order, not all of them on the beat. The figure
// dips all the way only on loop frames that at least 70-80 % of their playings show on a
// kick; elsewhere it stops 3 pixels short (still well down), so the bottom of the dip is seen
// on the beat and seldom between.
constexpr double kShortOfBottomPixels = 3.0;
constexpr double kMostlyOnKickLow = 0.7, kMostlyOnKickHigh = 0.8;

std::vector<Step> dancerSteps(int order, int flashDecay, std::size_t slotBytes,
                              std::size_t bytesPerFrame) {
    const LoopFit fit = bestLoop(order, flashDecay, slotBytes, bytesPerFrame);
    std::vector<Step> steps;
    for (std::size_t f = 0; f < fit.phase.size(); ++f) {
        const double onKick = smoothstep(kMostlyOnKickLow, kMostlyOnKickHigh, fit.kickShare[f]);
        steps.push_back({static_cast<double>(fit.phase[f]) / kPhaseSteps,
                         kShortOfBottomPixels * (1.0 - onKick)});
    }
    return steps;
}

}  // namespace

Bytes buildDancerSolo() {
    // The first order of the dance: flashes fall by 25 a frame.
    const std::vector<Step> steps =
        dancerSteps(kDanceFirstOrder, 25, core::entryCapacity(22), frameBytes(kSoloPoints));
    const std::size_t frames = steps.size();
    const int sways = swaysPerLoop(frames);
    Bytes out;
    for (std::size_t f = 0; f < frames; ++f) {
        const double turn = static_cast<double>(f) / static_cast<double>(frames);
        putFrame(out,
                 skeleton(danceAt(steps[f], turn, sways, 180.0, 182.0, kAdult, 1.0), kAdult, true));
    }
    putEnd(out, {180.0, 100.0});
    return out;
}

Bytes buildDancerPair() {
    // The second order: flashes fall by 50 a frame.
    const std::vector<Step> steps =
        dancerSteps(kDanceFirstOrder + 1, 50, core::entryCapacity(23), frameBytes(kPairPoints));
    const std::size_t frames = steps.size();
    const int sways = swaysPerLoop(frames);
    Bytes out;
    for (std::size_t f = 0; f < frames; ++f) {
        const double turn = static_cast<double>(f) / static_cast<double>(frames);
        std::vector<Point> pts =
            skeleton(danceAt(steps[f], turn, sways, 115.0, 182.0, kSmall, 1.0), kSmall, false);
        // The partner mirrors the moves and dips on the same beats; its slower moves run a
        // quarter of the loop behind, so the two do not look like copies.
        const double partnerTurn = turn + 0.25 - std::floor(turn + 0.25);
        const std::vector<Point> partner = skeleton(
            danceAt(steps[f], partnerTurn, sways, 235.0, 182.0, kSmall, -1.0), kSmall, false);
        pts.insert(pts.end(), partner.begin(), partner.end());
        putFrame(out, pts);
    }
    putEnd(out, {175.0, 100.0});
    return out;
}

}  // namespace content
