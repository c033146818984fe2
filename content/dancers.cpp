// The two dancer animations (entries 22 and 23): figures made of glowing points, a skeleton
// moved by a loop of frames in time with the song. The scene moves a figure on by one loop
// frame only when it draws it, and a flash hides it for a moment, so a loop that simply
// counted the music's frames would drift off the beat. Each loop is fitted instead to the
// frames the scene will really draw: every loop frame carries the beat phase that most of its
// playings fall on, the figure moves at the song's tempo between flashes, and the loop skips
// ahead only where a flash hides the step. A loop holds far fewer frames than an order draws
// (the slots are 30000 and 15000 bytes), so the flashes' irregular rows keep some playings
// off the beat; the fit keeps as many on it as a loop of that size can.
//
// Stream format: little-endian 16-bit words. A frame is a list of points (x, then y doubled),
// in screen coordinates. The last point of a frame is followed by 0xFFFE and is not drawn, so
// each frame ends with a repeat of its first point. After the last frame comes one more point
// followed by 0xFFFF, which sends playback back to the first frame.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "content/art_math.h"
#include "content/entries.h"
#include "content/soundtrack.h"
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

// A dance move. `beat` is the bounce's phase (whole numbers on the beat); `turn` (0..1 around the
// loop) leads the slower moves: `sways` side-to-side sways a loop, the hands pumping in turn with
// the sway in the loop's first half and both arms waving overhead in its second. On the beat the
// knees bend deep, the head nods and the elbows punch out, so the beat reads on the whole figure.
Pose danceAt(double beat, double turn, int sways, double centreX, double floorY,
             const Proportions& body, double mirror) {
    const double swayPhase = kTwoPi * sways * turn;
    const double overhead = smoothstep(0.4, 0.5, turn) - smoothstep(0.9, 1.0, turn);
    Pose pose{};
    const double bounce = 0.5 + 0.5 * detCos(kTwoPi * beat);  // 1 on the beat, 0 between
    const double sway = detSin(swayPhase) * mirror;
    // Legs: the knees bend outward as the body dips on the beat; the feet stay apart.
    const double bend = 0.2 + 0.6 * bounce;
    const double shin = 0.05 + 0.55 * bounce;
    pose.thigh[0] = -bend + 0.08 * sway;
    pose.thigh[1] = bend + 0.08 * sway;
    pose.shin[0] = shin;
    pose.shin[1] = -shin;
    const double legHeight = body.thigh * detCos(bend) + body.shin * detCos(shin);
    pose.pelvis = {centreX + body.hip * 1.5 * sway, floorY - legHeight};
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
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
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
// fitted to starts from 0 to 36 ms at once, so it does not hang on one exact schedule.
std::vector<std::vector<double>> drawnFrameSchedules(int order, int flashDecay) {
    const std::vector<int> cues = showCueRows(order);
    std::vector<std::vector<double>> schedules;
    for (int startMs = 0; startMs <= 36; startMs += 6) {
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

struct LoopFit {
    std::vector<int> phase;  // per loop frame, in steps of kPhaseSteps a beat
    long long score = -1;
};

// Fits a loop of `frames` frames to the schedules: chooses each loop frame's beat phase so
// that as many playings as possible lie on it. From one frame to the next the phase moves on
// at the song's tempo (one step faster or slower at a small cost); it may jump only between
// loop frames that no schedule plays one after the other without a flash in between.
// A Viterbi search: first around the loop three times to find where a good path stands at
// the loop's start, then once more from that phase, closing the loop exactly.
LoopFit fitLoop(const std::vector<std::vector<double>>& schedules, int frames) {
    const auto n = static_cast<std::size_t>(frames);
    constexpr long long kVote = 100;  // a playing on the beat outweighs many tempo changes
    const auto steps = static_cast<std::size_t>(kPhaseSteps);
    // Playings of each loop frame by their beat phase, then the votes: for each phase, the
    // playings that lie within kOnBeatSteps of it (a running sum around the beat).
    std::vector<long long> playings(n * steps, 0);
    std::vector<bool> shownInStretch(n, false);  // loop frame j followed by j + 1 in view
    for (const std::vector<double>& beats : schedules) {
        for (std::size_t k = 0; k < beats.size(); ++k) {
            const double phase = beats[k] - std::floor(beats[k]);
            const auto g = static_cast<std::size_t>(std::lround(phase * kPhaseSteps)) % steps;
            playings[(k % n) * steps + g] += kVote;
            if (k + 1 < beats.size() && beats[k + 1] - beats[k] < kSameStretchBeats) {
                shownInStretch[k % n] = true;
            }
        }
    }
    std::vector<long long> votes(n * steps, 0);
    constexpr auto kReach = static_cast<std::size_t>(kOnBeatSteps);
    for (std::size_t j = 0; j < n; ++j) {
        const long long* row = &playings[j * steps];
        long long window = 0;
        for (std::size_t d = 0; d <= 2 * kReach; ++d) {
            window += row[(d + steps - kReach) % steps];
        }
        for (std::size_t g = 0; g < steps; ++g) {
            votes[j * steps + g] = window;
            window += row[(g + kReach + 1) % steps] - row[(g + steps - kReach) % steps];
        }
    }
    constexpr long long kUnreachable = -(1LL << 60);
    constexpr std::array<std::pair<std::size_t, long long>, 3> kMoves = {
        {{kTempoStep, 0}, {kTempoStep - 1, 1}, {kTempoStep + 1, 1}}};
    // trail[t * steps + g]: the phase at step t - 1 of the best path that has phase g at step t.
    std::vector<std::int16_t> trail;
    // Runs `length` steps around the loop from loop frame 0, starting from every phase, or
    // from `start` only; returns the best score for each phase at the last step.
    auto search = [&](std::size_t length, int start) {
        std::vector<long long> scores(steps, kUnreachable), next(steps);
        for (std::size_t g = 0; g < steps; ++g) {
            if (start < 0 || g == static_cast<std::size_t>(start)) {
                scores[g] = votes[g];
            }
        }
        trail.assign(length * steps, -1);
        // The scores with the last phases copied in front, so a step back never wraps.
        constexpr std::size_t kLead = kTempoStep + 1;
        std::array<long long, static_cast<std::size_t>(kPhaseSteps) + kLead> before{};
        for (std::size_t t = 1; t < length; ++t) {
            const std::size_t j = t % n;
            const bool mayJump = !shownInStretch[(t - 1) % n];
            const auto best = static_cast<std::size_t>(
                std::max_element(scores.begin(), scores.end()) - scores.begin());
            std::copy(scores.end() - kLead, scores.end(), before.begin());
            std::copy(scores.begin(), scores.end(), before.begin() + kLead);
            for (std::size_t g = 0; g < steps; ++g) {
                long long score = kUnreachable;
                std::size_t origin = 0;
                for (const auto& [step, cost] : kMoves) {
                    const long long candidate = before[g + kLead - step] - cost;
                    if (candidate > score) {
                        score = candidate;
                        origin = (g + steps - step) % steps;
                    }
                }
                if (mayJump && scores[best] > score) {
                    score = scores[best];
                    origin = best;
                }
                next[g] = score <= kUnreachable / 2 ? kUnreachable : score + votes[j * steps + g];
                trail[t * steps + g] = static_cast<std::int16_t>(origin);
            }
            scores.swap(next);
        }
        return scores;
    };
    auto backtrack = [&](std::size_t length, std::size_t last) {
        std::vector<int> path(length);
        for (std::size_t t = length; t-- > 0;) {
            path[t] = static_cast<int>(last);
            last = static_cast<std::size_t>(trail[t * steps + last]);
        }
        return path;
    };
    // Around three times from anywhere; the middle round shows where the loop settles.
    std::vector<long long> scores = search(3 * n, -1);
    const auto last =
        static_cast<std::size_t>(std::max_element(scores.begin(), scores.end()) - scores.begin());
    const int settled = backtrack(3 * n, last)[n];
    // Once around from that phase, and back to it.
    scores = search(n + 1, settled);
    LoopFit fit;
    const auto home = static_cast<std::size_t>(settled);
    fit.score = scores[home] - votes[home];
    fit.phase = backtrack(n + 1, home);
    fit.phase.pop_back();
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

// The loop's beat phase for each of its frames.
std::vector<double> dancerLoopPhases(int order, int flashDecay, std::size_t slotBytes,
                                     std::size_t bytesPerFrame) {
    const LoopFit fit = bestLoop(order, flashDecay, slotBytes, bytesPerFrame);
    std::vector<double> phases;
    for (int g : fit.phase) {
        phases.push_back(static_cast<double>(g) / kPhaseSteps);
    }
    return phases;
}

}  // namespace

Bytes buildDancerSolo() {
    // The first order of the dance: flashes fall by 25 a frame.
    const std::vector<double> phases =
        dancerLoopPhases(kDanceFirstOrder, 25, kEntryCapacity[22], frameBytes(kSoloPoints));
    const std::size_t frames = phases.size();
    const int sways = swaysPerLoop(frames);
    Bytes out;
    for (std::size_t f = 0; f < frames; ++f) {
        const double turn = static_cast<double>(f) / static_cast<double>(frames);
        putFrame(out, skeleton(danceAt(phases[f], turn, sways, 180.0, 182.0, kAdult, 1.0), kAdult,
                               true));
    }
    putEnd(out, {180.0, 100.0});
    return out;
}

Bytes buildDancerPair() {
    // The second order: flashes fall by 50 a frame.
    const std::vector<double> phases =
        dancerLoopPhases(kDanceFirstOrder + 1, 50, kEntryCapacity[23], frameBytes(kPairPoints));
    const std::size_t frames = phases.size();
    const int sways = swaysPerLoop(frames);
    Bytes out;
    for (std::size_t f = 0; f < frames; ++f) {
        const double turn = static_cast<double>(f) / static_cast<double>(frames);
        std::vector<Point> pts =
            skeleton(danceAt(phases[f], turn, sways, 115.0, 182.0, kSmall, 1.0), kSmall, false);
        // The partner mirrors the moves and dips on the same beats; its slower moves run a
        // quarter of the loop behind, so the two do not look like copies.
        const double partnerTurn = turn + 0.25 - std::floor(turn + 0.25);
        const std::vector<Point> partner = skeleton(
            danceAt(phases[f], partnerTurn, sways, 235.0, 182.0, kSmall, -1.0), kSmall, false);
        pts.insert(pts.end(), partner.begin(), partner.end());
        putFrame(out, pts);
    }
    putEnd(out, {175.0, 100.0});
    return out;
}

}  // namespace content
