#pragma once
// Writes Impulse Tracker modules (.it): song header, order list, optional instruments with
// volume envelopes, uncompressed signed 8- or 16-bit samples and packed patterns. Used to
// build the soundtrack and by tests that need small modules with known timing.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace content {

// Note column values. Notes 0..119 run from C-0 to B-9; C-5 (60) plays a sample at its
// C5 speed.
inline constexpr std::int16_t kNoNote = -1;
inline constexpr std::int16_t kNoteFade = 246;
inline constexpr std::int16_t kNoteCut = 254;
inline constexpr std::int16_t kNoteOff = 255;
inline constexpr std::int16_t kNoVolume = -1;

// Semitone 0..11 (C = 0) in `octave` 0..9.
constexpr std::int16_t itNote(int semitone, int octave) {
    return static_cast<std::int16_t>(octave * 12 + semitone);
}
// Effect column letter 'A'..'Z' as stored (A = 1); 0 is "no effect".
constexpr std::uint8_t itEffect(char letter) {
    return static_cast<std::uint8_t>(letter - 'A' + 1);
}

struct ItCell {
    std::int16_t note = kNoNote;      // kNoNote, 0..119, kNoteFade, kNoteCut or kNoteOff
    std::uint8_t instrument = 0;      // 1-based instrument (or sample in sample mode); 0 = none
    std::int16_t volume = kNoVolume;  // volume column byte: 0..64 volume, 128..192 panning, ...
    std::uint8_t effect = 0;          // itEffect('A'..'Z'), 0 = none
    std::uint8_t param = 0;

    bool empty() const {
        return note == kNoNote && instrument == 0 && volume == kNoVolume && effect == 0;
    }
};

struct ItPattern {
    int rows = 64;
    int channels = 0;
    std::vector<ItCell> cells;  // rows × channels, row after row

    ItPattern() = default;
    ItPattern(int rowCount, int channelCount)
        : rows(rowCount),
          channels(channelCount),
          cells(static_cast<std::size_t>(rowCount * channelCount)) {}
    ItCell& at(int row, int channel) {
        return cells.at(static_cast<std::size_t>(row * channels + channel));
    }
    const ItCell& at(int row, int channel) const {
        return cells.at(static_cast<std::size_t>(row * channels + channel));
    }
};

struct ItSample {
    std::string name;                // up to 25 characters are kept
    std::vector<std::int16_t> data;  // mono PCM; 8-bit samples store the high byte
    bool sixteenBit = true;
    std::uint32_t c5Speed = 44100;    // playback rate at note C-5
    std::uint8_t defaultVolume = 64;  // 0..64
    std::uint8_t globalVolume = 64;   // 0..64
    int defaultPan = -1;              // 0..64, or -1 for none
    bool loop = false;
    bool pingPong = false;
    std::uint32_t loopBegin = 0;
    std::uint32_t loopEnd = 0;  // one past the last looped sample
    // Automatic vibrato applied by the player to every note of this sample.
    std::uint8_t vibratoSpeed = 0;  // 0..64
    std::uint8_t vibratoDepth = 0;  // 0..64
    std::uint8_t vibratoSweep = 0;  // ticks-to-full-depth rate, 0..255
    std::uint8_t vibratoWave = 0;   // 0 sine, 1 ramp down, 2 square, 3 random
};

struct ItEnvelopePoint {
    std::uint16_t tick = 0;
    std::int8_t value = 0;  // 0..64 for volume
};

struct ItEnvelope {
    bool enabled = false;
    std::vector<ItEnvelopePoint> points;  // at most 25, ticks rising
    int loopBegin = -1;                   // node indices, -1 = no loop
    int loopEnd = -1;
    int sustainBegin = -1;  // -1 = no sustain loop
    int sustainEnd = -1;
};

enum class NewNoteAction : std::uint8_t { cut = 0, keepPlaying = 1, noteOff = 2, fade = 3 };

struct ItInstrument {
    std::string name;
    std::uint8_t sample = 1;          // 1-based sample played by every note
    std::int8_t transpose = 0;        // semitones added to the note before it reaches the sample
    std::uint8_t globalVolume = 128;  // 0..128
    std::uint16_t fadeout = 0;        // 0..256: volume lost per tick after note-off
    NewNoteAction newNoteAction = NewNoteAction::cut;
    int defaultPan = -1;  // 0..64, or -1 for none
    // Pan that follows pitch: each semitone away from `pitchPanCentre` moves the pan by
    // pitchPanSeparation / 8 (-32..32; 0 leaves the pan alone).
    std::int8_t pitchPanSeparation = 0;
    std::uint8_t pitchPanCentre = 60;
    ItEnvelope volumeEnvelope;
};

struct ItModule {
    std::string title;                // up to 25 characters are kept
    std::string message;              // song message, lines split by '\n'; empty = none
    std::uint8_t initialSpeed = 6;    // ticks per row
    std::uint8_t initialTempo = 125;  // BPM: a tick lasts 2.5 / tempo seconds
    std::uint8_t globalVolume = 128;  // 0..128
    std::uint8_t mixVolume = 48;      // 0..128
    std::uint8_t stereoSeparation = 128;
    bool linearSlides = true;
    int channels = 0;                       // 1..64; every pattern has this many
    std::vector<std::uint8_t> channelPan;   // initial pan per channel, 0..64; missing = 32
    std::vector<std::uint8_t> orders;       // pattern numbers, 254 = skip, 255 = end
    std::vector<ItPattern> patterns;        // at most 200, 1..200 rows each
    std::vector<ItSample> samples;          // at most 99
    std::vector<ItInstrument> instruments;  // empty: cells name samples directly
};

// The complete .it file. Throws std::invalid_argument when the module cannot be expressed
// (sizes out of range, a cell referring to a missing pattern, sample or instrument, a packed
// pattern over 64 KiB).
std::vector<std::uint8_t> writeIt(const ItModule& module);

// The song's duration to `order`, `row` at 2.5 / tempo seconds per tick, following speed
// (A) and tempo (T, absolute values) changes only; used to plan music against time.
double itSecondsTo(const ItModule& module, int order, int row);

}  // namespace content
