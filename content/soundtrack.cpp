#include "content/soundtrack.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "content/art_math.h"
#include "content/synth.h"
#include "core/cues.h"

namespace content {

namespace {

// ---- Channels and instruments -------------------------------------------------------------

enum Channel : int {
    kKick,
    kSnare,
    kClap,
    kHat,
    kPerc,
    kCymbal,
    kBoom,
    kBass,
    kSub,
    kPad1,
    kPad2,
    kPad3,
    kStab,
    kLead,
    kEcho,
    kArp,
    kSweep,
    kBed,
    kArpEcho,
    kChannelCount
};

// Each channel's name, for measuring the parts one by one.
constexpr std::array<const char*, kChannelCount> kChannelNames = {
    "kick",      "snare", "clap",    "hat",     "perc",     "cymbal", "impact",
    "bass",      "sub",   "pad-low", "pad-mid", "pad-high", "stab",   "lead",
    "lead-echo", "arp",   "riser",   "bed",     "arp-echo"};

// Where each channel sits when the module is played in stereo (0 left, 32 centre, 64 right):
// kick, bass and impacts in the middle, pads spread wide, the lead left of centre with its
// echo on the right, the arpeggio's echo opposite the arpeggio. Notes move some of them.
constexpr std::array<std::uint8_t, kChannelCount> kChannelPan = {
    32,  // kick
    28,  // snare
    36,  // clap
    40,  // hat
    20,  // toms and blips
    26,  // cymbals
    32,  // impact
    32,  // bass
    32,  // sub
    6,   // pad, low voice
    32,  // pad, middle voice
    58,  // pad, high voice
    32,  // stab
    24,  // lead
    44,  // lead echo
    44,  // arpeggio
    32,  // riser
    32,  // grain bed
    14,  // arpeggio echo
};

// Pan effect (X) parameter for a pan of 0..64.
constexpr int panParameter(int pan) {
    return std::min(255, pan * 4);
}

// Instrument n plays sample n.
enum Instrument : std::uint8_t {
    iKick = 1,
    iSnare,
    iClap,
    iHatClosed,
    iHatOpen,
    iCrash,
    iReverseCrash,
    iTom,
    iImpact,
    iBlip,
    iSweep,
    iBed,
    iBass,
    iSub,
    iPad,
    iLead,
    iPluck,
    iBell,
    iStabMinor,
    iStabMajor,
};

// "A-5", "C#6": a note name with its octave, C-5 being middle C.
constexpr int note(std::string_view name) {
    constexpr std::array<int, 7> kFromA = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    const int semitone = kFromA[static_cast<std::size_t>(name[0] - 'A')] + (name[1] == '#' ? 1 : 0);
    return (name[2] - '0') * 12 + semitone;
}

// ---- Harmony -------------------------------------------------------------------------------

struct Chord {
    int bassRoot;                // the bass note (octave 2-3)
    std::array<int, 3> voicing;  // pad voices around middle C
    int stabRoot;                // note played by the chord stab
    bool minor;
    std::array<int, 3> tones;  // root, third, fifth in octave 5 for arpeggios
};

constexpr Chord kAm{note("A-2"),
                    {note("E-4"), note("A-4"), note("C-5")},
                    note("A-4"),
                    true,
                    {note("A-5"), note("C-6"), note("E-6")}};
constexpr Chord kF{note("F-2"),
                   {note("F-4"), note("A-4"), note("C-5")},
                   note("F-4"),
                   false,
                   {note("F-5"), note("A-5"), note("C-6")}};
constexpr Chord kC{note("C-3"),
                   {note("E-4"), note("G-4"), note("C-5")},
                   note("C-5"),
                   false,
                   {note("C-5"), note("E-5"), note("G-5")}};
constexpr Chord kG{note("G-2"),
                   {note("D-4"), note("G-4"), note("B-4")},
                   note("G-4"),
                   false,
                   {note("G-5"), note("B-5"), note("D-6")}};
constexpr Chord kDm{note("D-3"),
                    {note("D-4"), note("F-4"), note("A-4")},
                    note("D-5"),
                    true,
                    {note("D-5"), note("F-5"), note("A-5")}};
constexpr Chord kEm{note("E-2"),
                    {note("E-4"), note("G-4"), note("B-4")},
                    note("E-4"),
                    true,
                    {note("E-5"), note("G-5"), note("B-5")}};
constexpr Chord kE{note("E-2"),
                   {note("E-4"), note("G#4"), note("B-4")},
                   note("E-4"),
                   false,
                   {note("E-5"), note("G#5"), note("B-5")}};

using Progression = std::array<const Chord*, 4>;  // one chord per 16-row bar

// The climax (the montage and the arriving emblems) lifts a whole tone, to B minor; every
// pitched part follows the key, the drums do not.
constexpr int kClimaxFirstOrder = core::sceneStartOrder(16);
constexpr int kClimaxEndOrder = core::sceneStartOrder(18);
constexpr int kClimaxLift = 2;

constexpr int keyOf(int order) {
    return order >= kClimaxFirstOrder && order < kClimaxEndOrder ? kClimaxLift : 0;
}

// The harmony of every order.
constexpr std::array<Progression, kSoundtrackOrders> kHarmony = {{
    {&kAm, &kAm, &kF, &kF},    // 0  intro
    {&kAm, &kAm, &kF, &kG},    // 1
    {&kAm, &kAm, &kF, &kG},    // 2
    {&kF, &kF, &kG, &kG},      // 3  build
    {&kDm, &kDm, &kE, &kE},    // 4
    {&kAm, &kF, &kC, &kG},     // 5  first drop
    {&kAm, &kG, &kF, &kE},     // 6  the descent
    {&kAm, &kF, &kC, &kG},     // 7
    {&kAm, &kF, &kG, &kE},     // 8
    {&kAm, &kDm, &kG, &kC},    // 9  round the circle of fifths
    {&kF, &kDm, &kE, &kE},     // 10
    {&kF, &kG, &kAm, &kAm},    // 11 half time
    {&kF, &kG, &kE, &kE},      // 12
    {&kAm, &kF, &kC, &kG},     // 13
    {&kAm, &kF, &kG, &kE},     // 14
    {&kF, &kC, &kG, &kAm},     // 15
    {&kF, &kC, &kG, &kG},      // 16
    {&kAm, &kF, &kC, &kG},     // 17 dance
    {&kAm, &kF, &kG, &kE},     // 18
    {&kF, &kF, &kG, &kG},      // 19 breakdown
    {&kAm, &kAm, &kE, &kE},    // 20
    {&kAm, &kEm, &kF, &kC},    // 21
    {&kF, &kC, &kDm, &kE},     // 22
    {&kDm, &kDm, &kE, &kE},    // 23 second build
    {&kAm, &kF, &kC, &kG},     // 24 climax
    {&kAm, &kF, &kG, &kE},     // 25
    {&kAm, &kF, &kC, &kG},     // 26
    {&kAm, &kF, &kC, &kC},     // 27 the emblems arrive
    {&kF, &kG, &kAm, &kAm},    // 28 outro
    {&kF, &kG, &kC, &kC},      // 29
    {&kF, &kG, &kAm, &kAm},    // 30
    {&kAm, &kAm, &kAm, &kAm},  // 31 last chord
}};

// ---- Melodies ------------------------------------------------------------------------------

struct MelodyNote {
    int row;
    int pitch;  // a note, or kNoteOff
};

const std::vector<MelodyNote> kPhraseA = {
    {0, note("A-5")},  {3, note("C-6")},  {6, note("B-5")},  {8, note("A-5")},  {10, note("E-5")},
    {14, note("A-5")}, {19, note("C-6")}, {22, note("A-5")}, {25, note("F-5")}, {27, note("G-5")},
    {29, note("A-5")}, {32, note("G-5")}, {35, note("E-5")}, {38, note("G-5")}, {40, note("C-6")},
    {43, note("B-5")}, {46, note("G-5")}, {48, note("D-5")}, {51, note("G-5")}, {54, note("A-5")},
    {56, note("B-5")}, {59, note("D-6")}, {62, kNoteOff},
};
const std::vector<MelodyNote> kPhraseB = {
    {0, note("E-6")},  {3, note("D-6")},  {6, note("C-6")},  {10, note("B-5")}, {14, note("A-5")},
    {19, note("C-6")}, {22, note("A-5")}, {25, note("C-6")}, {29, note("A-5")}, {32, note("B-5")},
    {35, note("D-6")}, {38, note("B-5")}, {43, note("G-5")}, {48, note("G#5")}, {51, note("B-5")},
    {54, note("E-6")}, {56, note("D-6")}, {59, note("B-5")}, {62, note("G#5")},
};
// Long notes for the half-time and breakdown sections.
const std::vector<MelodyNote> kPhraseSlow = {
    {0, note("C-6")},  {12, note("A-5")}, {16, note("C-6")}, {24, note("D-6")}, {32, note("B-5")},
    {44, note("A-5")}, {48, note("G-5")}, {56, note("B-5")}, {62, kNoteOff},
};
const std::vector<MelodyNote> kPhraseSlowAnswer = {
    {0, note("C-6")},  {12, note("E-6")}, {16, note("D-6")}, {24, note("C-6")},
    {32, note("B-5")}, {40, note("G#5")}, {48, note("B-5")}, {56, kNoteOff},
};
// The outro's falling line.
const std::vector<MelodyNote> kPhraseOutro = {
    {0, note("A-5")},  {6, note("G-5")},  {12, note("F-5")}, {16, note("G-5")}, {28, note("D-5")},
    {32, note("E-5")}, {44, note("C-5")}, {48, note("E-5")}, {56, note("A-5")}, {62, kNoteOff},
};
const std::vector<MelodyNote> kPhraseOutroAnswer = {
    {0, note("C-6")},  {6, note("A-5")},  {12, note("F-5")}, {16, note("B-5")}, {22, note("G-5")},
    {28, note("D-5")}, {32, note("E-5")}, {40, note("G-5")}, {48, note("C-6")}, {60, kNoteOff},
};

// ---- The show's cue rows -------------------------------------------------------------------

template <std::size_t N>
std::set<int> rowSet(const std::array<std::int32_t, N>& rows) {
    return {rows.begin(), rows.end()};
}

// The scenes' own rows; the others are sets only the soundtrack names.
const std::set<int> kFlashRows = rowSet(core::kFlashRows);
const std::set<int> kTresillo = rowSet(core::kTresilloRows);
const std::set<int> kRotozoomFlashes = rowSet(core::kRotozoomFlashRows);
const std::set<int> kThumbnailStamps = rowSet(core::kThumbnailRows);
const std::set<int> kMontageCuts = {4, 8, 12, 16, 22, 26, 29, 31, 36, 40, 44, 48, 54, 58, 61, 63};
const std::set<int> kPaletteFlashes = rowSet(core::kPaletteFlashRows);
const std::set<int> kTunnelHits = rowSet(core::kTunnelHitRows);

std::set<int> unite(std::set<int> a, const std::set<int>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

// The tunnels' second light: the first tunnel's rows, with more in the second tunnel.
std::set<int> tunnelHits(int order) {
    switch (order) {
        case 7:
            return unite(kTunnelHits, {30, 31, 32, 34});
        case 8:
            return unite(kTunnelHits, {32, 34});
        default:
            return kTunnelHits;
    }
}

std::set<int> cueSet(int order) {
    switch (order) {
        case 5:
            return unite(kFlashRows, {59});
        case 6:
        case 8:
            return unite(unite(kFlashRows, {59}), tunnelHits(order));
        case 7:
            return unite(unite(kFlashRows, {59, 61}), tunnelHits(order));
        case 9:
        case 10:
            return kThumbnailStamps;
        case 11:
            return kRotozoomFlashes;
        case 12:
            return unite(kRotozoomFlashes, kTresillo);
        case 13:
        case 14:
            return unite(kFlashRows, {56, 57, 58, 59, 60, 61, 62, 63});
        case 15:
        case 16:
            return unite(kFlashRows, {58});
        case 17:
            return unite(kFlashRows, {60});
        case 18:
            return kTresillo;
        case 19:
        case 20:
            return {0, 32};
        case 24:
        case 25:
            return kMontageCuts;
        case 26:
            return unite(kPaletteFlashes, {28, 29, 30, 31, 60, 61, 62, 63});
        case 27:
            return {0, 6, 8, 12, 14, 16, 22, 24, 28, 29, 30, 31, 32, 35};
        default:
            return {};
    }
}

// ---- Writing patterns ----------------------------------------------------------------------

// Drum and bass lines are 16-row bar strings repeated over the pattern:
//   drums: 'X' accent, 'x' hit, 'g' ghost, 'o' open hat, '.' nothing
//   bass:  'r' root, 'o' octave up, 'f' fifth, '-' note off, '.' nothing
class Composer {
  public:
    Composer(ItPattern& target, int orderIndex) : pattern(target), order(orderIndex) {}

    void put(int row, Channel channel, int pitch, Instrument instrument, int volume = kNoVolume) {
        if (row < 0 || row >= kSoundtrackRows) {
            return;
        }
        ItCell& cell = pattern.at(row, channel);
        cell.note = static_cast<std::int16_t>(pitch);
        cell.instrument = instrument;
        cell.volume = static_cast<std::int16_t>(volume);
        if ((channel == kClap || channel == kStab) && cell.effect == 0) {
            // A tick behind the kick and snare, so their attacks do not stack into one peak.
            effect(row, channel, 'S', 0xD1);
        }
    }
    void off(int row, Channel channel) {
        if (row >= 0 && row < kSoundtrackRows) {
            pattern.at(row, channel).note = kNoteOff;
        }
    }
    void cut(int row, Channel channel) { pattern.at(row, channel).note = kNoteCut; }
    void volume(int row, Channel channel, int value) {
        pattern.at(row, channel).volume = static_cast<std::int16_t>(std::clamp(value, 0, 64));
    }
    void effect(int row, Channel channel, char letter, int parameter) {
        ItCell& cell = pattern.at(row, channel);
        cell.effect = itEffect(letter);
        cell.param = static_cast<std::uint8_t>(parameter);
    }
    // Moves the channel to `pan` (0..64) for the stereo mix; the centred mix ignores it.
    void pan(int row, Channel channel, int value) {
        if (row >= 0 && row < kSoundtrackRows) {
            effect(row, channel, 'X', panParameter(value));
        }
    }
    // Panbrello: the channel's pan swings around its place on every row of the range.
    void panbrello(int fromRow, int toRow, Channel channel, int speed, int depth) {
        for (int row = fromRow; row < toRow; ++row) {
            effect(row, channel, 'Y', speed << 4 | depth);
        }
    }

    const Chord& chordAt(int row) const {
        return *kHarmony[static_cast<std::size_t>(order)][static_cast<std::size_t>(row / 16)];
    }

    void drums(Channel channel, Instrument instrument, std::string_view bar, int level,
               int fromRow = 0, int toRow = kSoundtrackRows) {
        for (int row = fromRow; row < toRow; ++row) {
            const char hit = bar[static_cast<std::size_t>(row % 16)];
            if (hit == '.') {
                continue;
            }
            const Instrument which = hit == 'o' ? iHatOpen : instrument;
            const int volume = hit == 'X' ? level + 8 : hit == 'g' ? level / 2 : level;
            put(row, channel, note("C-5"), which, std::min(volume, 64));
        }
    }

    void bassLine(std::string_view bar, int level, int fromRow = 0, int toRow = kSoundtrackRows) {
        for (int row = fromRow; row < toRow; ++row) {
            const char step = bar[static_cast<std::size_t>(row % 16)];
            const int root = chordAt(row).bassRoot + key();
            if (step == 'r') {
                put(row, kBass, root, iBass, level);
            } else if (step == 'o') {
                put(row, kBass, root + 12, iBass, level - 6);
            } else if (step == 'f') {
                put(row, kBass, root + 7, iBass, level - 6);
            } else if (step == '-') {
                off(row, kBass);
            }
        }
    }

    // A sine sub an octave under the bass, held through each chord.
    void subLine(int level, int fromRow = 0, int toRow = kSoundtrackRows) {
        for (int row = fromRow; row < toRow; row += 16) {
            put(row, kSub, chordAt(row).bassRoot + key(), iSub, level);
        }
    }

    // Pad chords, struck where the chord changes (or at `fromRow`); `level` 0..64.
    void pads(int level, int fromRow = 0, int toRow = kSoundtrackRows, bool restrike = false) {
        for (int row = fromRow; row < toRow; row += 16) {
            const Chord& chord = chordAt(row);
            const bool changed = row == fromRow || &chord != &chordAt(row - 16);
            if (!changed && !restrike) {
                continue;
            }
            const std::array<Channel, 3> voices = {kPad1, kPad2, kPad3};
            for (std::size_t v = 0; v < voices.size(); ++v) {
                put(row, voices[v], chord.voicing[v] + key(), iPad, level);
            }
        }
    }
    void padsOff(int row) {
        off(row, kPad1);
        off(row, kPad2);
        off(row, kPad3);
    }
    void padVolume(int row, int level) {
        volume(row, kPad1, level);
        volume(row, kPad2, level);
        volume(row, kPad3, level);
    }

    void stab(int row, int level) {
        const Chord& chord = chordAt(row);
        put(row, kStab, chord.stabRoot + key(), chord.minor ? iStabMinor : iStabMajor, level);
    }
    void stabs(const std::set<int>& rows, int level) {
        for (int row : rows) {
            stab(row, level);
        }
    }

    // Arpeggio over the chord tones: `shape` indexes root/third/fifth/octave (0..3).
    void arpeggio(std::string_view shape, int stepRows, int level, int fromRow = 0,
                  int toRow = kSoundtrackRows, Instrument instrument = iPluck) {
        int step = 0;
        for (int row = fromRow; row < toRow; row += stepRows, ++step) {
            const Chord& chord = chordAt(row);
            const int index = shape[static_cast<std::size_t>(step) % shape.size()] - '0';
            const int pitch = key() + (index == 3 ? chord.tones[0] + 12
                                                  : chord.tones[static_cast<std::size_t>(index)]);
            // Accent the first note of each beat a little; notes step between the sides, and
            // a quieter echo a dotted eighth later answers from the other side.
            put(row, kArp, pitch, instrument, row % 4 == 0 ? level : level - 8);
            const int side = step % 2 == 0 ? 50 : 18;
            pan(row, kArp, side);
            const int echoRow = row + 3;
            if (echoRow < toRow) {
                put(echoRow, kArpEcho, pitch, instrument, level * 2 / 5);
                pan(echoRow, kArpEcho, 64 - side);
            }
        }
    }

    void melody(const std::vector<MelodyNote>& phrase, int level, int transpose = 0,
                bool echo = true, int fromRow = 0) {
        for (const MelodyNote& step : phrase) {
            if (step.row < fromRow) {
                continue;
            }
            if (step.pitch == kNoteOff) {
                off(step.row, kLead);
            } else {
                put(step.row, kLead, step.pitch + transpose + key(), iLead, level);
            }
            if (!echo) {
                continue;
            }
            // A dotted-eighth echo, quieter, on its own channel. An echoed note-off that
            // would fall past the pattern ends it instead, so no echo hangs on.
            const int echoRow =
                step.pitch == kNoteOff ? std::min(step.row + 3, kSoundtrackRows - 1) : step.row + 3;
            if (echoRow < kSoundtrackRows) {
                if (step.pitch == kNoteOff) {
                    off(echoRow, kEcho);
                } else {
                    put(echoRow, kEcho, step.pitch + transpose + key(), iLead, level * 2 / 5);
                }
            }
        }
    }

    void crash(int row, int level = 56) { put(row, kCymbal, note("C-5"), iCrash, level); }
    void impact(int row, int level = 64) { put(row, kBoom, note("C-5"), iImpact, level); }
    // The reversed cymbal lasts 16 rows: started at row 48 it peaks on the next pattern's row 0.
    void swellIntoNext(int level = 48) { put(48, kCymbal, note("C-5"), iReverseCrash, level); }

    // Noise rising by `semitones` from `fromRow` to `toRow` (pitch slides of 1/16 semitone
    // on the five sliding ticks of each row), getting louder.
    void riser(int fromRow, int toRow, int startLevel, int endLevel, int semitones) {
        const int slide = std::max(1, semitones * 16 / ((toRow - fromRow) * 5));
        put(fromRow, kSweep, note("C-4"), iSweep, startLevel);
        for (int row = fromRow; row < toRow; ++row) {
            effect(row, kSweep, 'F', slide);
            if (row > fromRow) {
                volume(row, kSweep,
                       startLevel + (endLevel - startLevel) * (row - fromRow) / (toRow - fromRow));
            }
        }
        // Released, not cut: the noise fades over a few ticks.
        pattern.at(std::min(toRow, kSoundtrackRows - 1), kSweep).note = kNoteFade;
    }

    // Snare roll: eighths, then sixteenths, then retriggered sixteenths, rising in volume.
    void snareRoll(int fromRow, int toRow, int startLevel, int endLevel) {
        const int span = toRow - fromRow;
        for (int row = fromRow; row < toRow; ++row) {
            const int progress = row - fromRow;
            const int level = startLevel + (endLevel - startLevel) * progress / span;
            if (progress < span / 2) {
                if (progress % 2 == 0) {
                    put(row, kSnare, note("C-5"), iSnare, level);
                }
            } else {
                put(row, kSnare, note("C-5"), iSnare, level);
                if (progress >= span * 3 / 4) {
                    effect(row, kSnare, 'Q', 0x03);  // retrigger every 3 ticks
                }
            }
        }
    }

    // Descending tom fill over the given rows.
    void tomFill(int fromRow, int toRow, int level) {
        constexpr std::array<const char*, 4> kPitches = {"G-5", "E-5", "C-5", "A-4"};
        for (int row = fromRow; row < toRow; ++row) {
            const int index = (row - fromRow) * 4 / std::max(toRow - fromRow, 1);
            put(row, kPerc, note(kPitches[static_cast<std::size_t>(index)]), iTom, level);
            // The fill rolls across from right to left.
            pan(row, kPerc, 48 - 32 * (row - fromRow) / std::max(toRow - fromRow - 1, 1));
        }
    }

    void grainBed(int level, int fromRow = 0) { put(fromRow, kBed, note("C-5"), iBed, level); }

    int orderIndex() const { return order; }
    // Semitones the order's key lies above A minor.
    int key() const { return keyOf(order); }

  private:
    ItPattern& pattern;
    int order;
};

// Drum bars.
constexpr std::string_view kFourFloor = "x...x...x...x...";
constexpr std::string_view kBackbeat = "....x.......x...";
constexpr std::string_view kBackbeatFill = "....x.......x.gx";
constexpr std::string_view kHatsDrive = "xgoxxgoxxgoxxgox";
constexpr std::string_view kHatsOffbeat = "..o...o...o...o.";
constexpr std::string_view kHatsEighths = "x.x.x.x.x.x.x.x.";
constexpr std::string_view kHatsSixteenths = "xgxgxgxgxgxgxgxg";
constexpr std::string_view kHalfTimeKick = "x.........x.....";
constexpr std::string_view kHalfTimeSnare = "........x.......";
constexpr std::string_view kOutroKick = "x...x...x...x.x.";
// Bass bars.
constexpr std::string_view kBassPump = "..r-..r-..r-..r-";
constexpr std::string_view kBassRolling = "..rr.-ro..rr.-rf";
constexpr std::string_view kBassHalfTime = "r.......-.r.o.-.";
constexpr std::string_view kBassOutro = "r..r..r-..r..o-.";

// A chord stab on every cue row of the order.
void accentCues(Composer& c, int stabLevel) {
    for (int row : cueSet(c.orderIndex())) {
        c.stab(row, stabLevel);
    }
}

// The picture comes up out of grain: hiss, a slow pad, a bell.
void grainOpening(Composer& c) {
    c.grainBed(20);
    for (int row = 4; row < 64; row += 4) {
        c.volume(row, kBed, 20 + row / 3);
    }
    c.pads(24);
    for (int row = 8; row < 64; row += 8) {
        c.padVolume(row, 24 + row / 2);
    }
    c.put(32, kArp, note("E-6"), iBell, 36);
    c.put(44, kArp, note("C-6"), iBell, 30);
    c.put(56, kArp, note("A-5"), iBell, 34);
}

// The landscape rises: sub enters, bell phrase, hats from the second half.
void landscapeRises(Composer& c) {
    c.pads(46);
    c.subLine(40);
    c.put(0, kArp, note("A-5"), iBell, 40);
    c.put(6, kArp, note("C-6"), iBell, 34);
    c.put(12, kArp, note("E-6"), iBell, 38);
    c.put(24, kArp, note("D-6"), iBell, 32);
    c.put(32, kArp, note("C-6"), iBell, 38);
    c.put(40, kArp, note("A-5"), iBell, 32);
    c.put(48, kArp, note("B-5"), iBell, 38);
    c.put(56, kArp, note("D-6"), iBell, 34);
    c.drums(kHat, iHatClosed, kHatsEighths, 29, 32);
    c.volume(0, kBed, 36);
}

// Second grain picture: plucked arpeggio, soft pulse.
void secondGrain(Composer& c) {
    c.pads(42);
    c.subLine(44);
    c.arpeggio("0120", 2, 36);
    c.drums(kHat, iHatClosed, kHatsSixteenths, 34);
    c.drums(kKick, iKick, "x...............", 40, 32);
    c.volume(0, kBed, 28);
}

// The flare recedes: the beat gathers.
void flareRecedes(Composer& c) {
    c.pads(40);
    c.arpeggio("0123", 1, 38);
    c.panbrello(32, 64, kArp, 3, 12);
    c.drums(kKick, iKick, kFourFloor, 44, 0, 32);
    c.drums(kKick, iKick, kFourFloor, 54, 32);
    c.drums(kHat, iHatClosed, kHatsSixteenths, 39);
    c.bassLine(kBassPump, 40, 32);
    c.riser(32, 63, 8, 36, 18);
    c.off(0, kSub);
    c.volume(0, kBed, 16);
    c.off(63, kBed);
}

// The flare flies away: roll, swell, a breath of silence before the drop.
void flareFliesAway(Composer& c) {
    c.pads(50);
    c.arpeggio("0123", 1, 42, 0, 48);
    c.panbrello(0, 48, kArp, 4, 14);
    c.drums(kKick, iKick, kFourFloor, 56, 0, 48);
    c.drums(kKick, iKick, "x.x.x.x.x.x.x.x.", 58, 48, 60);
    c.drums(kHat, iHatClosed, kHatsSixteenths, 44, 0, 60);
    c.bassLine(kBassPump, 44, 0, 48);
    c.off(48, kBass);
    c.snareRoll(32, 61, 16, 52);
    c.riser(0, 61, 10, 38, 30);
    c.swellIntoNext(52);
    c.padsOff(60);
}

// First tunnel: the drop.
void firstTunnel(Composer& c) {
    const int order = c.orderIndex();
    if (order == 5) {
        c.crash(0, 60);
        c.impact(0, 60);
    }
    c.drums(kKick, iKick, kFourFloor, 64);
    c.drums(kClap, iClap, kBackbeat, 56);
    c.drums(kSnare, iSnare, kBackbeat, 44);
    c.drums(kHat, iHatClosed, kHatsDrive, 47);
    c.bassLine(kBassPump, 54);
    c.subLine(30);
    c.pads(46);
    c.arpeggio("0123", 2, 40);
    accentCues(c, 56);
    if (order == 6) {
        // The tunnel's second flashes: toms on the even rows between the stabs.
        for (int row : kTunnelHits) {
            c.put(row, kPerc, note(row % 16 < 8 ? "E-5" : "C-5"), iTom, 44);
            c.pan(row, kPerc, row % 16 < 8 ? 20 : 44);
        }
    }
}

// Second tunnel: the melody.
void secondTunnel(Composer& c) {
    const int order = c.orderIndex();
    if (order == 7) {
        c.crash(0, 60);
    }
    c.drums(kKick, iKick, kFourFloor, 64);
    c.drums(kClap, iClap, order == 8 ? kBackbeatFill : kBackbeat, 52);
    c.drums(kSnare, iSnare, kBackbeat, 44);
    c.drums(kHat, iHatClosed, kHatsDrive, 47);
    c.bassLine(kBassRolling, 54);
    c.subLine(26);
    c.pads(42);
    c.melody(order == 7 ? kPhraseA : kPhraseB, 50);
    accentCues(c, 48);
    for (int row : tunnelHits(order)) {
        c.put(row, kPerc, note(row % 16 < 8 ? "G-5" : "D-5"), iTom, 42);
        c.pan(row, kPerc, row % 16 < 8 ? 20 : 44);
    }
}

// Plasma and thumbnails: each new thumbnail blips, a little higher.
void plasmaThumbnails(Composer& c) {
    const int order = c.orderIndex();
    if (order == 9) {
        c.crash(0, 56);
    }
    c.drums(kKick, iKick, kFourFloor, 62);
    c.drums(kClap, iClap, kBackbeat, 55);
    c.drums(kHat, iHatClosed, kHatsOffbeat, 52);
    c.bassLine(kBassRolling, 52);
    c.pads(42);
    c.arpeggio("01230321", 1, 34);
    // A minor pentatonic, one step up per thumbnail.
    constexpr std::array<const char*, 12> kSteps = {"A-3", "C-4", "D-4", "E-4", "G-4", "A-4",
                                                    "C-5", "D-5", "E-5", "G-5", "A-5", "C-6"};
    std::size_t stamp = 0;
    for (int row : kThumbnailStamps) {
        c.pan(row, kPerc, 10 + 4 * static_cast<int>(stamp));  // left to right as they rise
        c.put(row, kPerc, note(kSteps[stamp++]), iBlip, 44);
    }
    if (order == 10) {
        // Burning out to white: roll, rising noise, the swell into the next scene.
        c.snareRoll(48, 64, 24, 60);
        c.riser(40, 63, 10, 44, 24);
        c.panbrello(40, 64, kArp, 3, 12);
        c.swellIntoNext(40);
        c.padVolume(48, 44);
    }
}

// Layered rotozoom: half time, heavy accents.
void layeredRotozoom(Composer& c) {
    const int order = c.orderIndex();
    if (order == 11) {
        c.crash(0, 48);
        c.impact(0, 56);
    }
    c.drums(kKick, iKick, kHalfTimeKick, 64);
    c.drums(kSnare, iSnare, kHalfTimeSnare, 56);
    c.drums(kHat, iHatClosed, kHatsSixteenths, 39);
    c.bassLine(kBassHalfTime, 56);
    c.subLine(36);
    c.pads(40);
    c.melody(order == 11 ? kPhraseSlow : kPhraseSlowAnswer, 46);
    for (int row : kRotozoomFlashes) {
        if (row > 0 || order == 12) {  // order 11 opens on the crash and impact instead
            c.put(row, kClap, note("C-5"), iClap, 46);
        }
    }
    if (order == 11) {
        c.stabs(kRotozoomFlashes, 48);
    } else {
        c.stabs(unite(kRotozoomFlashes, kTresillo), 48);
        // The inset window flickers on the last rows: a stuttering snare.
        for (int row = 56; row < 64; ++row) {
            c.put(row, kSnare, note("C-5"), iSnare, 30 + (row - 56) * 4);
            c.effect(row, kSnare, 'Q', 0x02);
        }
        c.swellIntoNext(48);
    }
}

// Ring of flares: the groove returns; the ring turns back with a fill.
void ringOfFlares(Composer& c) {
    const int order = c.orderIndex();
    if (order == 13) {
        c.crash(0, 60);
    }
    c.drums(kKick, iKick, kFourFloor, 64, 0, 56);
    c.drums(kClap, iClap, kBackbeat, 56, 0, 56);
    c.drums(kSnare, iSnare, kBackbeat, 44, 0, 56);
    c.drums(kHat, iHatClosed, kHatsDrive, 47);
    c.bassLine(kBassRolling, 54);
    c.pads(42);
    c.arpeggio("0123", 2, 28);
    c.melody(order == 13 ? kPhraseA : kPhraseB, 46, 0, true);
    c.stabs(kFlashRows, 54);
    if (order == 13) {
        c.tomFill(56, 64, 34);
    } else {
        c.snareRoll(56, 64, 28, 42);
        c.tomFill(56, 64, 30);
    }
    c.drums(kKick, iKick, "x.x.x.x.x.x.x.x.", 52, 56);
}

// Title strip: lighter; lifts when the windows begin to scroll.
void titleStrip(Composer& c) {
    const int order = c.orderIndex();
    if (order == 15) {
        c.crash(0, 44);
    }
    c.drums(kKick, iKick, kFourFloor, 60);
    c.drums(kHat, iHatClosed, kHatsEighths, 44);
    c.bassLine(kBassPump, 50);
    c.pads(44);
    c.arpeggio("02130213", 1, 36);
    c.stabs(unite(kFlashRows, {58}), 50);
    if (order == 16) {
        c.drums(kClap, iClap, kBackbeat, 56, 32);
        c.drums(kHat, iHatClosed, kHatsDrive, 49, 33);
        c.crash(33, 46);
        c.melody(kPhraseA, 44, 0, true, 33);
        c.snareRoll(56, 64, 30, 58);
        c.swellIntoNext(46);
    }
}

// The dance: everything at once; it drops out as the picture fades.
void dance(Composer& c) {
    const int order = c.orderIndex();
    const int end = order == 18 ? 57 : 64;
    if (order == 17) {
        c.crash(0, 64);
        c.impact(0, 56);
    }
    c.drums(kKick, iKick, kFourFloor, 64, 0, end);
    c.drums(kClap, iClap, kBackbeat, 56, 0, end);
    c.drums(kSnare, iSnare, kBackbeat, 47, 0, end);
    c.drums(kHat, iHatClosed, kHatsDrive, 49, 0, end);
    c.bassLine(kBassRolling, 56, 0, end);
    c.subLine(28);
    c.pads(46);
    c.melody(order == 17 ? kPhraseA : kPhraseB, 52, 0, true);
    if (order == 17) {
        c.stabs(unite(kFlashRows, {60}), 54);
    } else {
        c.stabs(kTresillo, 50);
        c.off(57, kBass);
        c.off(57, kSub);
        c.padsOff(57);
        c.off(58, kLead);
        c.riser(48, 63, 8, 30, 24);
    }
}

// Flight through the polar remap: a breakdown struck at rows 0 and 32.
void polarFlight(Composer& c) {
    const int order = c.orderIndex();
    for (int row : {0, 32}) {
        c.impact(row, 60);
        c.crash(row, 48);
        c.stab(row, 44);
    }
    c.pads(44);
    c.subLine(44);
    c.melody(order == 19 ? kPhraseSlow : kPhraseSlowAnswer, 48, 0, true);
    c.arpeggio("0212", 4, 30, 0, 64, iBell);
    if (order == 20) {
        c.padsOff(57);
        c.off(57, kSub);
        c.off(60, kLead);
    }
}

// Plasma over the flight, fading in: quietest point.
void plasmaFadesIn(Composer& c) {
    c.pads(34);
    c.subLine(40);
    c.grainBed(14);
    c.arpeggio("0121", 4, 34, 0, 64, iBell);
}

// The plasma continues: the pulse comes back.
void plasmaPulse(Composer& c) {
    c.pads(44);
    c.subLine(40);
    c.arpeggio("0123", 2, 34);
    c.drums(kKick, iKick, kFourFloor, 48, 32);
    c.drums(kHat, iHatClosed, kHatsEighths, 34, 16);
    c.bassLine(kBassPump, 40, 32);
    c.off(0, kBed);
}

// Flickering end: the second build, stuttering with the picture.
void flickeringEnd(Composer& c) {
    c.pads(48);
    c.arpeggio("0123", 1, 38, 0, 48);
    c.panbrello(16, 48, kArp, 4, 14);
    c.drums(kKick, iKick, kFourFloor, 56, 0, 32);
    c.drums(kKick, iKick, "x.x.x.x.x.x.x.x.", 58, 32, 48);
    c.drums(kKick, iKick, "xxxxxxxxxxxxxxxx", 60, 48, 62);
    c.drums(kHat, iHatClosed, kHatsSixteenths, 44);
    c.bassLine(kBassPump, 46, 0, 48);
    c.off(48, kBass);
    c.off(0, kSub);
    c.snareRoll(32, 62, 18, 54);
    c.riser(16, 62, 8, 40, 30);
    for (int row = 49; row < 64; ++row) {
        c.padVolume(row, row % 2 ? 8 : 48);
    }
    c.swellIntoNext(54);
    c.padsOff(62);
}

// Beat-cut montage: the climax, a stab on every cut.
void montage(Composer& c) {
    const int order = c.orderIndex();
    if (order == 24) {
        c.crash(0, 64);
        c.impact(0, 64);
    }
    c.crash(12, 50);
    c.crash(40, 50);
    c.drums(kKick, iKick, kFourFloor, 64);
    c.drums(kClap, iClap, kBackbeat, 56);
    c.drums(kSnare, iSnare, kBackbeat, 47);
    c.drums(kHat, iHatClosed, kHatsDrive, 49);
    c.bassLine(kBassRolling, 58);
    c.subLine(30);
    c.pads(48);
    c.melody(order == 24 ? kPhraseA : kPhraseB, 52, 12, true);
    c.stabs(kMontageCuts, 50);
    c.impact(48, 34);  // the emblem's cut
}

// Palette flashes with snare bursts; then the emblems arrive, calm.
void paletteFlashes(Composer& c) {
    const int order = c.orderIndex();
    const int drumsEnd = order == 27 ? 35 : 64;
    if (order == 26) {
        c.crash(0, 60);
    }
    c.drums(kKick, iKick, kFourFloor, 64, 0, drumsEnd);
    c.drums(kHat, iHatClosed, kHatsDrive, 47, 0, drumsEnd);
    c.bassLine(kBassRolling, 56, 0, drumsEnd);
    c.pads(48, 0, drumsEnd);
    c.arpeggio("0123", 2, 30, 0, drumsEnd);
    for (int row : cueSet(order)) {
        if (row < drumsEnd) {
            c.stab(row, 40);
        }
    }
    for (int start : {28, 60}) {
        if (start < drumsEnd) {
            for (int row = start; row < start + 4; ++row) {
                c.put(row, kSnare, note("C-5"), iSnare, 36 + 5 * (row - start));
                c.effect(row, kSnare, 'Q', 0x03);
            }
        }
    }
    if (order == 26) {
        c.melody(kPhraseA, 42, 0, true);
    } else {
        c.melody({{0, note("E-6")},
                  {6, note("D-6")},
                  {12, note("C-6")},
                  {16, note("A-5")},
                  {28, note("C-6")},
                  {35, kNoteOff}},
                 48, 0, true);
        // The emblems arrive: everything falls away under a wide chord.
        c.impact(35, 56);
        c.crash(35, 54);
        c.stab(35, 50);
        c.off(35, kBass);
        c.pads(58, 35);
        c.subLine(44, 35);
        c.put(35, kSub, kC.bassRoot + c.key(), iSub, 44);
        c.put(38, kArp, note("G-5") + c.key(), iBell, 38);
        c.put(44, kArp, note("C-6") + c.key(), iBell, 34);
        c.put(50, kArp, note("E-6") + c.key(), iBell, 38);
        c.put(56, kArp, note("D-6") + c.key(), iBell, 32);
    }
}

// The textured plane: a warm closing groove.
void texturedPlane(Composer& c) {
    const int order = c.orderIndex();
    c.drums(kKick, iKick, kOutroKick, 52);
    c.drums(kClap, iClap, kBackbeat, 46);
    c.drums(kHat, iHatClosed, kHatsOffbeat, 39);
    c.bassLine(kBassOutro, 50);
    c.subLine(26);
    c.pads(44);
    c.arpeggio("0212", 2, 28);
    c.melody(order == 28 ? kPhraseOutro : kPhraseOutroAnswer, 46, 0, true);
}

// The plane darkens: the groove thins out.
void planeDarkens(Composer& c) {
    c.drums(kKick, iKick, kOutroKick, 48, 0, 32);
    c.drums(kHat, iHatClosed, kHatsOffbeat, 34, 0, 48);
    c.bassLine(kBassOutro, 46, 0, 48);
    c.off(48, kBass);
    c.subLine(30);
    c.pads(42);
    c.arpeggio("0212", 4, 30, 0, 64, iBell);
    c.melody(kPhraseOutro, 40, 0, true);
    c.swellIntoNext(40);
}

// The emblems part: one last chord, fading with the picture.
void emblemsPart(Composer& c) {
    c.impact(0, 60);
    c.crash(0, 56);
    c.stab(0, 50);
    c.pads(56);
    c.put(0, kSub, kAm.bassRoot, iSub, 48);
    c.put(0, kBass, kAm.bassRoot, iBass, 44);
    c.off(16, kBass);
    c.put(0, kLead, note("A-5"), iLead, 36);
    c.off(24, kLead);
    c.put(8, kArp, note("E-6"), iBell, 36);
    c.put(20, kArp, note("C-6"), iBell, 30);
    c.put(32, kArp, note("A-5"), iBell, 26);
    // Global volume slides down from row 8 and is silent by row 34, as the picture goes
    // black.
    for (int row = 8; row < 40; ++row) {
        c.effect(row, kBed, 'W', 0x01);
    }
    // Past the order list's end: the song is over, in silence, with the show.
    c.effect(kSoundtrackLastRow, kBed, 'C', 0x00);
}

// The builder of each order: each writes the whole of its pattern.
constexpr std::array<void (*)(Composer&), kSoundtrackOrders> kOrderBuilders = {
    grainOpening,     landscapeRises,  secondGrain,     flareRecedes,  flareFliesAway,
    firstTunnel,      firstTunnel,     secondTunnel,    secondTunnel,  plasmaThumbnails,
    plasmaThumbnails, layeredRotozoom, layeredRotozoom, ringOfFlares,  ringOfFlares,
    titleStrip,       titleStrip,      dance,           dance,         polarFlight,
    polarFlight,      plasmaFadesIn,   plasmaPulse,     flickeringEnd, montage,
    montage,          paletteFlashes,  paletteFlashes,  texturedPlane, texturedPlane,
    planeDarkens,     emblemsPart};

void composeOrder(Composer& c) {
    kOrderBuilders[static_cast<std::size_t>(c.orderIndex())](c);
}

// ---- Instruments -------------------------------------------------------------------------

ItEnvelope envelope(std::vector<ItEnvelopePoint> points, int sustain) {
    ItEnvelope result;
    result.enabled = true;
    result.points = std::move(points);
    result.sustainBegin = sustain;
    result.sustainEnd = sustain;
    return result;
}

ItInstrument instrument(const ItSample& sample, std::uint8_t index, std::uint8_t volume,
                        NewNoteAction action, std::uint16_t fadeout = 0) {
    ItInstrument result;
    result.name = sample.name;
    result.sample = index;
    result.globalVolume = volume;
    result.newNoteAction = action;
    result.fadeout = fadeout;
    return result;
}

void addInstruments(ItModule& module) {
    using namespace synth;
    module.samples = {kick(),       snare(),        clap(), closedHat(), openHat(),
                      crash(),      reverseCrash(), tom(),  impact(),    blip(),
                      noiseSweep(), grainBed(),     bass(), subBass(),   pad(),
                      lead(),       pluck(),        bell(), minorStab(), majorStab()};
    // Instrument n plays sample n: its level, what an overlapping note does to it, and how
    // it fades; sustained voices shape themselves with a volume envelope.
    auto add = [&](Instrument index, std::uint8_t volume, NewNoteAction action,
                   std::uint16_t fadeout = 0, ItEnvelope shape = {}) {
        ItInstrument& added = module.instruments.emplace_back(
            instrument(module.samples[index - 1u], index, volume, action, fadeout));
        added.volumeEnvelope = std::move(shape);
    };
    // A note that overlaps the channel's previous one releases it over a few ticks instead
    // of cutting it off mid-swing, which would click.
    constexpr std::uint16_t kQuickRelease = 256;
    add(iKick, 48, NewNoteAction::fade, kQuickRelease);
    add(iSnare, 64, NewNoteAction::fade, kQuickRelease);
    add(iClap, 64, NewNoteAction::fade, kQuickRelease);
    add(iHatClosed, 76, NewNoteAction::fade, kQuickRelease);
    add(iHatOpen, 60, NewNoteAction::fade, kQuickRelease);  // a closed hat chokes it quickly
    add(iCrash, 56, NewNoteAction::fade, 24);
    add(iReverseCrash, 60, NewNoteAction::fade, kQuickRelease);
    module.instruments.back().defaultPan = 40;  // the swell comes in from the right
    add(iTom, 80, NewNoteAction::fade, kQuickRelease);
    add(iImpact, 52, NewNoteAction::fade, 16);
    add(iBlip, 52, NewNoteAction::fade, kQuickRelease);
    add(iSweep, 56, NewNoteAction::fade, 192);
    add(iBed, 56, NewNoteAction::fade, 32);
    add(iBass, 54, NewNoteAction::noteOff, 0, envelope({{0, 64}, {6, 44}, {8, 0}}, 1));
    add(iSub, 26, NewNoteAction::noteOff, 0, envelope({{0, 0}, {2, 64}, {14, 0}}, 1));
    add(iPad, 36, NewNoteAction::noteOff, 0, envelope({{0, 0}, {36, 64}, {110, 0}}, 1));
    add(iLead, 72, NewNoteAction::noteOff, 0, envelope({{0, 0}, {1, 64}, {12, 48}, {34, 0}}, 2));
    add(iPluck, 96, NewNoteAction::fade, 40);
    add(iBell, 64, NewNoteAction::keepPlaying);
    add(iStabMinor, 44, NewNoteAction::fade, 40);
    add(iStabMajor, 44, NewNoteAction::fade, 40);
}

// ---- Movement inside scenes ------------------------------------------------------------------

// A scene with a swell opens each of its orders a few dB down and swells back, so its level
// moves instead of sitting flat: the depth in dB at an order's first row (0 for none) and the
// rows the swell takes. The loud tunnels, ring, dance and montage keep their level: the mix
// has no loudness to spare. Cymbals, impacts, stabs and the riser are left alone, so every
// cue still hits at full strength.
struct Swell {
    int depthDb;
    int rows;
};
constexpr std::array<Swell, core::kSceneCount> kSceneSwells = {{
    {0, 0}, {8, 32}, {8, 32}, {8, 32}, {6, 32}, {0, 0}, {0, 0}, {0, 0},  {4, 24}, {5, 24}, {3, 24},
    {0, 0}, {5, 32}, {8, 32}, {8, 24}, {5, 24}, {0, 0}, {0, 0}, {5, 32}, {8, 32}, {0, 0},
}};

bool swellSpares(int channel) {
    return channel == kCymbal || channel == kBoom || channel == kStab || channel == kSweep;
}

// Claps, toms and blips struck on a cue row are the picture's accents: a swell keeps them.
bool swellSparesCue(int channel) {
    return channel == kClap || channel == kPerc;
}

// The swell's gain (0..1) on a row of an order.
double swellGain(int order, int row) {
    int scene = 0;
    while (scene + 1 < core::kSceneCount && core::sceneStartOrder(scene + 1) <= order) {
        ++scene;
    }
    const Swell& swell = kSceneSwells[static_cast<std::size_t>(scene)];
    if (swell.depthDb == 0 || row >= swell.rows) {
        return 1.0;
    }
    const double db = -swell.depthDb * (1.0 - static_cast<double>(row) / swell.rows);
    return detExp(db * std::numbers::ln10 / 20.0);  // the same on every machine
}

// Writes the swells into the volume column: every note in a swell is struck softer, and on
// rows without a note the playing one is turned down (and back up once the swell is over).
void addSwells(ItModule& module) {
    std::array<int, kChannelCount> level{};  // each channel's note volume as written
    std::array<double, kChannelCount> applied{};
    level.fill(64);
    applied.fill(1.0);
    for (int order = 0; order < kSoundtrackOrders; ++order) {
        ItPattern& pattern = module.patterns[static_cast<std::size_t>(order)];
        const std::set<int> cues = cueSet(order);
        for (int row = 0; row < pattern.rows; ++row) {
            const double gain = swellGain(order, row);
            for (int channel = 0; channel < kChannelCount; ++channel) {
                if (swellSpares(channel)) {
                    continue;
                }
                ItCell& cell = pattern.at(row, channel);
                int& written = level[static_cast<std::size_t>(channel)];
                double& turned = applied[static_cast<std::size_t>(channel)];
                const bool struck = cell.note >= 0 && cell.note < 120 && cell.instrument > 0;
                if (struck) {
                    written = cell.volume == kNoVolume
                                  ? module.samples[cell.instrument - 1u].defaultVolume
                                  : cell.volume;
                    if (cues.count(row) > 0 && swellSparesCue(channel)) {
                        turned = 1.0;  // the rows after it turn its tail down again
                        continue;
                    }
                } else if (cell.volume >= 0 && cell.volume <= 64) {
                    written = cell.volume;
                } else if (gain == turned) {
                    continue;
                }
                if (struck || cell.volume != kNoVolume || gain != turned) {
                    cell.volume = static_cast<std::int16_t>(std::lround(written * gain));
                }
                turned = gain;
            }
        }
    }
}

// The credits players show beside the patterns; the file names its maker here since the
// header's creator field can only hold a number.
constexpr std::string_view kSoundtrackMessage =
    "Stormglass 2 - soundtrack\n"
    "\n"
    "Composed, synthesised and written by sg2-content,\n"
    "the Stormglass 2 content generator: every note and\n"
    "every sample here is computed by its code.\n"
    "\n"
    "(c) 2026 The Stormglass 2 project\n"
    "Released under the MIT licence.";

}  // namespace

const std::vector<int>& showSceneStarts() {
    static const std::vector<int> starts = [] {
        std::vector<int> orders;
        for (int scene = 0; scene < core::kSceneCount; ++scene) {
            orders.push_back(core::sceneStartOrder(scene));
        }
        return orders;
    }();
    return starts;
}

std::vector<int> showCueRows(int order) {
    const std::set<int> rows = cueSet(order);
    return {rows.begin(), rows.end()};
}

ItModule soundtrackModule() {
    ItModule module;
    module.title = "Stormglass 2";
    module.message = std::string(kSoundtrackMessage);
    module.initialSpeed = kSoundtrackSpeed;
    module.initialTempo = kSoundtrackTempo;
    module.globalVolume = 128;
    module.mixVolume = 119;
    // Full separation for players of the file; the show itself mixes to the centre unless
    // asked for stereo.
    module.stereoSeparation = 128;
    module.channels = kChannelCount;
    module.channelPan.assign(kChannelPan.begin(), kChannelPan.end());
    addInstruments(module);
    for (int order = 0; order < kSoundtrackOrders; ++order) {
        module.patterns.emplace_back(kSoundtrackRows, kChannelCount);
        Composer composer(module.patterns.back(), order);
        composeOrder(composer);
        module.orders.push_back(static_cast<std::uint8_t>(order));
    }
    addSwells(module);
    return module;
}

std::vector<std::uint8_t> buildSoundtrack() {
    return writeIt(soundtrackModule());
}

const std::vector<std::string>& soundtrackChannelNames() {
    static const std::vector<std::string> names(kChannelNames.begin(), kChannelNames.end());
    return names;
}

ItModule soundtrackModuleOnly(const std::vector<int>& channels) {
    ItModule module = soundtrackModule();
    for (ItPattern& pattern : module.patterns) {
        for (int row = 0; row < pattern.rows; ++row) {
            for (int channel = 0; channel < pattern.channels; ++channel) {
                ItCell& cell = pattern.at(row, channel);
                const bool kept =
                    std::find(channels.begin(), channels.end(), channel) != channels.end();
                if (!kept && cell.note >= 0 && cell.note < 120) {
                    cell.note = kNoNote;
                }
            }
        }
    }
    return module;
}

}  // namespace content
