// The two dancer animations (entries 22 and 23): figures made of glowing points, a skeleton
// moved by a loop of frames in time with the song. The scene draws a figure only on frames
// without a flash, so each stream is timed by the frames the scene will really draw: a loop
// of four beats holds a quarter of the drawn frames of its order, and over the order the
// figure dances exactly its sixteen beats, whatever the flashes took.
//
// Stream format: little-endian 16-bit words. A frame is a list of points (x, then y doubled),
// in screen coordinates. The last point of a frame is followed by 0xFFFE and is not drawn, so
// each frame ends with a repeat of its first point. After the last frame comes one more point
// followed by 0xFFFF, which sends playback back to the first frame.
#include <algorithm>
#include <cmath>

#include "content/art_math.h"
#include "content/entries.h"
#include "content/soundtrack.h"

namespace content {

namespace {

constexpr int kLoopBeats = 4;

struct Point {
    double x, y;
};

struct Pose {
    Point pelvis;
    double lean;                     // torso angle from vertical, radians (positive leans right)
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
    const Point head = along(neck, up, p.neck + p.head);
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

// A dance move by beat phase: bounce on every beat, sway over two, and two arm patterns that
// take turns every `sectionBeats` beats, blended over the half beat before each change.
Pose danceAt(double beat, int sectionBeats, double centreX, double floorY, const Proportions& body,
             double mirror) {
    const double phase = kTwoPi * beat;
    const double cycle = 2.0 * sectionBeats;
    const double inCycle = beat - cycle * std::floor(beat / cycle);
    const double overhead = smoothstep(sectionBeats - 0.5, sectionBeats, inCycle) -
                            smoothstep(cycle - 0.5, cycle, inCycle);
    Pose pose{};
    const double bounce = 0.5 + 0.5 * detCos(phase);  // 1 on the beat, 0 between
    const double sway = detSin(phase / 2.0) * mirror;
    // Legs: the knees bend outward as the body dips on the beat; the feet stay apart.
    const double bend = 0.2 + 0.3 * bounce;
    pose.thigh[0] = -bend + 0.08 * sway;
    pose.thigh[1] = bend + 0.08 * sway;
    pose.shin[0] = 0.05 + 0.3 * bounce;
    pose.shin[1] = -0.05 - 0.3 * bounce;
    const double legHeight = body.thigh * detCos(bend) + body.shin * detCos(0.05 + 0.3 * bounce);
    pose.pelvis = {centreX + body.hip * 1.5 * sway, floorY - legHeight};
    pose.lean = 0.12 * sway;
    // Pumping: one hand high on each beat, in turn.
    const double left = 0.5 + 0.5 * detSin(phase / 2.0);
    const double right = 1.0 - left;
    // Overhead: both arms up, waving side to side with the sway.
    const double wave = 0.45 * detSin(phase / 2.0);
    const double upper[2][2] = {{-(0.5 + 2.2 * left), 0.5 + 2.2 * right},
                                {-(2.4 - wave), 2.4 + wave}};
    const double fore[2][2] = {{-(0.9 + 2.3 * left), 0.9 + 2.3 * right},
                               {-(2.9 - wave) + 0.3 * bounce, 2.9 + wave - 0.3 * bounce}};
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

const Proportions kAdult = {44, 7, 11, 16, 11, 24, 22, 35, 35};
const Proportions kSmall = {40, 5, 9, 13, 9, 22, 20, 29, 29};

}  // namespace

int danceDrawnFrames(int order, int flashDecay) {
    // The pacer releases two frames every interval + 1 ms (17 ms in the dance scene); a flash
    // sets the level to 200 on every frame of a cue row, and each frame takes `flashDecay`
    // off it; the figure is drawn on the frames where it is back at 0.
    constexpr double kPairSeconds = 0.017;
    constexpr double kRowSeconds = 0.12;
    const std::vector<int> cues = showCueRows(order);
    int level = 0;
    int drawn = 0;
    for (int frame = 0;; ++frame) {
        const int row = static_cast<int>(kPairSeconds * (frame / 2) / kRowSeconds);
        if (row >= kSoundtrackRows) {
            return drawn;
        }
        if (std::find(cues.begin(), cues.end(), row) != cues.end()) {
            level = 200;
        }
        level = std::max(level - flashDecay, 0);
        drawn += level == 0 ? 1 : 0;
    }
}

int danceLoopFrames(int order, int flashDecay) {
    constexpr int kOrderBeats = kSoundtrackRows / 4;
    return (danceDrawnFrames(order, flashDecay) * kLoopBeats + kOrderBeats / 2) / kOrderBeats;
}

Bytes buildDancerSolo() {
    // The first order of the dance: flashes fall by 25 a frame.
    // Its frames spread evenly over the loop's beats: a flash holds the figure a moment, and
    // it catches up over the bar.
    Bytes out;
    const int frames = danceLoopFrames(kDanceFirstOrder, 25);
    for (int f = 0; f < frames; ++f) {
        const double beat = static_cast<double>(f) * kLoopBeats / frames;
        putFrame(out, skeleton(danceAt(beat, 2, 180.0, 182.0, kAdult, 1.0), kAdult, true));
    }
    putEnd(out, {180.0, 100.0});
    return out;
}

Bytes buildDancerPair() {
    // The second order: flashes fall by 50 a frame.
    Bytes out;
    const int frames = danceLoopFrames(kDanceFirstOrder + 1, 50);
    for (int f = 0; f < frames; ++f) {
        const double beat = static_cast<double>(f) * kLoopBeats / frames;
        std::vector<Point> pts =
            skeleton(danceAt(beat, 2, 115.0, 182.0, kSmall, 1.0), kSmall, false);
        // The partner mirrors the moves, half a beat behind.
        const std::vector<Point> partner =
            skeleton(danceAt(beat - 0.5, 2, 235.0, 182.0, kSmall, -1.0), kSmall, false);
        pts.insert(pts.end(), partner.begin(), partner.end());
        putFrame(out, pts);
    }
    putEnd(out, {175.0, 100.0});
    return out;
}

}  // namespace content
