#pragma once
// Sample synthesis for the soundtrack. Everything is integer arithmetic (fixed-point phases,
// envelopes and filters, a sine table built from an integer series, an xorshift noise), so
// the samples come out bit-identical on every machine and compiler.
//
// Pitched samples are built so that note C-5 sounds middle C (261.63 Hz): their waveform has
// a period of 256 samples and the sample plays at kPitchedC5Speed.
#include <cstdint>
#include <vector>

#include "content/it_writer.h"

namespace content::synth {

inline constexpr int kRate = 44100;                      // rate of the unpitched sounds
inline constexpr std::uint32_t kPitchedC5Speed = 66976;  // 261.63 Hz × 256-sample period

using Signal = std::vector<std::int32_t>;  // working samples, nominally ±32767

// sin(2π · phase / 2^32) scaled to ±32767.
std::int32_t sine(std::uint32_t phase);

// xorshift32 white noise, ±32767, from a fixed seed.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state(seed == 0 ? 0x9E3779B9u : seed) {}
    std::int32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<std::int32_t>(state >> 16) - 32768;
    }
    // 0 .. range-1
    std::uint32_t below(std::uint32_t range) {
        next();
        return state % range;
    }

  private:
    std::uint32_t state;
};

// Scales to the given peak (rounding toward zero) and stores as 16-bit PCM.
std::vector<std::int16_t> normalise(const Signal& signal, std::int32_t peak);

// The instruments of the soundtrack. Each returns a finished sample: name, PCM, C5 speed and
// loop. Pitched ones play their written note; drums and effects sound best at C-5.
ItSample kick();
ItSample snare();
ItSample clap();
ItSample closedHat();
ItSample openHat();
ItSample crash();
ItSample reverseCrash();
ItSample tom();
ItSample impact();
ItSample blip();
ItSample noiseSweep();  // looped; rises when slid upward
ItSample grainBed();    // looped soft hiss with crackle
ItSample bass();        // filter-plucked saw, sustains on a loop
ItSample subBass();     // looped sine with a touch of second harmonic
ItSample pad();         // looped detuned saw ensemble
ItSample lead();        // looped detuned square/saw
ItSample pluck();       // bright decaying tone for arpeggios
ItSample bell();        // inharmonic bell for the quiet sections
ItSample minorStab();   // minor chord (root, fifth, octave, minor tenth), short
ItSample majorStab();   // major chord voiced the same way

}  // namespace content::synth
