#include "content/synth.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>

namespace content::synth {

namespace {

constexpr std::int64_t kOne30 = std::int64_t{1} << 30;  // 1.0 in Q30 (envelopes)
constexpr std::int64_t kHalfPiQ30 = 1686629713;         // π/2 · 2^30
constexpr std::int32_t kMiddleCMilliHz = 261626;
constexpr int kTableBits = 12;   // sine table: 4096 steps per turn
constexpr int kWaveSize = 2048;  // single-cycle wavetables

// 2^(s/12) for s = 0..11 in Q16.
constexpr std::array<std::int64_t, 12> kSemitoneQ16 = {
    65536, 69433, 73562, 77936, 82570, 87480, 92682, 98193, 104032, 110218, 116772, 123715};

std::array<std::int32_t, (1 << kTableBits) + 1> buildSineTable() {
    // A quarter wave from the Taylor series in Q30, mirrored into a full turn.
    constexpr int kQuarter = 1 << (kTableBits - 2);
    std::array<std::int32_t, kQuarter + 1> quarter{};
    for (int j = 0; j <= kQuarter; ++j) {
        const std::int64_t x = kHalfPiQ30 * j / kQuarter;
        const std::int64_t x2 = (x * x) >> 30;
        std::int64_t term = x;
        std::int64_t sum = x;
        for (int n = 1; n <= 8; ++n) {
            term = -((term * x2) >> 30) / ((2 * n) * (2 * n + 1));
            sum += term;
        }
        quarter[static_cast<std::size_t>(j)] =
            static_cast<std::int32_t>(std::min<std::int64_t>((sum + (1 << 14)) >> 15, 32767));
    }
    std::array<std::int32_t, (1 << kTableBits) + 1> table{};
    for (int i = 0; i <= (1 << kTableBits); ++i) {
        const int quadrant = (i / kQuarter) & 3;
        const int j = i % kQuarter;
        const std::int32_t rising = quarter[static_cast<std::size_t>(j)];
        const std::int32_t falling = quarter[static_cast<std::size_t>(kQuarter - j)];
        const std::int32_t value = quadrant == 0   ? rising
                                   : quadrant == 1 ? falling
                                   : quadrant == 2 ? -rising
                                                   : -falling;
        table[static_cast<std::size_t>(i)] = value;
    }
    return table;
}

std::int32_t clamp16(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, -32767, 32767));
}

std::uint32_t incrementForMilliHz(std::int64_t milliHz, int rate) {
    return static_cast<std::uint32_t>((milliHz << 32) / (std::int64_t{rate} * 1000));
}

// Phase increment of a pitched waveform of `period` samples, raised by `semitones`.
std::uint32_t pitchedIncrement(int period, int semitones) {
    const std::int64_t base = (std::int64_t{1} << 32) / period;
    const int octave = semitones >= 0 ? semitones / 12 : -((11 - semitones) / 12);
    const int step = semitones - 12 * octave;
    std::int64_t value = (base * kSemitoneQ16[static_cast<std::size_t>(step)]) >> 16;
    value = octave >= 0 ? value << octave : value >> -octave;
    return static_cast<std::uint32_t>(value);
}

std::uint32_t pitchedC5Speed(int period) {
    return static_cast<std::uint32_t>((std::int64_t{kMiddleCMilliHz} * period + 500) / 1000);
}

// Exponential decay in Q30 with a time constant of `samples`.
class Decay {
  public:
    explicit Decay(std::int64_t samples, std::int64_t start = kOne30)
        : level(start), factor(kOne30 - kOne30 / std::max<std::int64_t>(samples, 1)) {}
    std::int64_t next() {
        const std::int64_t current = level;
        level = (level * factor) >> 30;
        return current;
    }
    void restart() { level = kOne30; }

  private:
    std::int64_t level;
    std::int64_t factor;
};

std::int64_t applyQ30(std::int64_t value, std::int64_t gainQ30) {
    return (value * gainQ30) >> 30;
}

// One-pole low-pass; coefficient a = w / (1 + w), w = 2π fc / rate, in Q16.
class OnePole {
  public:
    OnePole(std::int64_t cutoffHz, int rate) {
        const std::int64_t w = 411775 * cutoffHz / rate;
        coefficient = (w << 16) / (65536 + w);
    }
    std::int32_t lowPass(std::int32_t x) {
        state += ((x - state) * coefficient) >> 16;
        return static_cast<std::int32_t>(state);
    }
    std::int32_t highPass(std::int32_t x) { return x - lowPass(x); }

  private:
    std::int64_t state = 0;
    std::int64_t coefficient = 0;
};

// Chamberlin state-variable filter; stable for cut-offs below about a fifth of the rate.
class StateVariable {
  public:
    StateVariable(int rate, std::int32_t dampingQ16) : sampleRate(rate), damping(dampingQ16) {}
    void setCutoff(std::int64_t cutoffHz) {
        cutoffHz = std::clamp<std::int64_t>(cutoffHz, 10, sampleRate / 5);
        frequency = 4 * sine(static_cast<std::uint32_t>((cutoffHz << 31) / sampleRate));
    }
    void step(std::int32_t x) {
        low += (frequency * band) >> 16;
        high = x - low - ((damping * band) >> 16);
        band += (frequency * high) >> 16;
    }
    std::int32_t lowOut() const { return clamp16(low); }
    std::int32_t bandOut() const { return clamp16(band); }
    std::int32_t highOut() const { return clamp16(high); }

  private:
    int sampleRate;
    std::int64_t damping;
    std::int64_t frequency = 0;
    std::int64_t low = 0;
    std::int64_t band = 0;
    std::int64_t high = 0;
};

// A single cycle of kWaveSize samples: Σ amplitude(h) · sin(h θ), amplitudes in Q16.
using Wave = std::array<std::int32_t, kWaveSize + 1>;
Wave buildWave(int harmonics, const std::function<std::int64_t(int)>& amplitudeQ16) {
    std::vector<std::int64_t> sum(kWaveSize, 0);
    for (int h = 1; h <= harmonics; ++h) {
        const std::int64_t amplitude = amplitudeQ16(h);
        if (amplitude == 0) {
            continue;
        }
        const std::uint32_t step = static_cast<std::uint32_t>(h) << (32 - 11);
        std::uint32_t phase = 0;
        for (int i = 0; i < kWaveSize; ++i) {
            sum[static_cast<std::size_t>(i)] += sine(phase) * amplitude;
            phase += step;
        }
    }
    const std::int64_t peak = std::max<std::int64_t>(
        1, std::abs(*std::max_element(sum.begin(), sum.end(), [](std::int64_t a, std::int64_t b) {
            return std::abs(a) < std::abs(b);
        })));
    Wave wave{};
    for (int i = 0; i < kWaveSize; ++i) {
        wave[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>(sum[static_cast<std::size_t>(i)] * 32000 / peak);
    }
    wave[kWaveSize] = wave[0];
    return wave;
}

std::int32_t readWave(const Wave& wave, std::uint32_t phase) {
    const std::uint32_t index = phase >> 21;
    const std::int64_t fraction = (phase >> 5) & 0xFFFF;
    const std::int64_t a = wave[index];
    const std::int64_t b = wave[index + 1];
    return static_cast<std::int32_t>(a + (((b - a) * fraction) >> 16));
}

// Rolled-off saw (1/h) and square (odd h) spectra; `corner` is the harmonic where the
// roll-off halves the amplitude.
std::int64_t sawAmplitude(int h, int corner) {
    return 65536LL * corner * corner / (std::int64_t{h} * (corner * corner + h * h));
}
std::int64_t squareAmplitude(int h, int corner) {
    return (h & 1) ? sawAmplitude(h, corner) : 0;
}

// Soft saturation that never flattens: 2x / (1 + |x|) in units of 32767, so loud peaks
// round off instead of sitting at full scale (flat tops sound harsh and waste headroom).
std::int32_t saturate(std::int64_t x) {
    constexpr std::int64_t kFull = 32767;
    return static_cast<std::int32_t>(2 * kFull * x / (kFull + (x < 0 ? -x : x)));
}

// How hard the noisy drums are driven into the soft clip.
constexpr std::int64_t kNoiseDrive = 4;

// Scales the signal so its peak reaches `drivePercent` of full scale, through the soft clip:
// the few highest peaks are rounded off, which lowers the sound's crest.
void softenPeaks(Signal& signal, std::int64_t drivePercent) {
    std::int64_t peak = 1;
    for (std::int32_t value : signal) {
        peak = std::max<std::int64_t>(peak, std::abs(std::int64_t{value}));
    }
    for (std::int32_t& value : signal) {
        value = saturate(std::int64_t{value} * 32767 * drivePercent / 100 / peak);
    }
}

// Linear fade to zero over the last `samples` so one-shots end in silence.
void fadeTail(Signal& signal, std::size_t samples) {
    samples = std::min(samples, signal.size());
    const std::size_t start = signal.size() - samples;
    for (std::size_t i = start; i < signal.size(); ++i) {
        signal[i] = static_cast<std::int32_t>(std::int64_t{signal[i]} *
                                              static_cast<std::int64_t>(signal.size() - i) /
                                              static_cast<std::int64_t>(samples));
    }
}

// Room a loop over "the whole sample" leaves at its start for the ramp from silence: one
// period of the pitched waves.
constexpr std::size_t kRampedHead = 256;

// `rampIn`: a millisecond's ramp from silence, since a note that starts on a step clicks.
ItSample makeSample(const char* name, const Signal& signal, std::uint32_t c5Speed,
                    std::int32_t peak = 30000, bool rampIn = true) {
    ItSample sample;
    sample.name = name;
    sample.data = normalise(signal, peak);
    const std::size_t ramp = rampIn ? std::min<std::size_t>(c5Speed / 1000, kRampedHead) : 0;
    for (std::size_t i = 0; i < ramp; ++i) {
        sample.data[i] = static_cast<std::int16_t>(sample.data[i] * static_cast<int>(i) /
                                                   static_cast<int>(ramp));
    }
    sample.c5Speed = c5Speed;
    return sample;
}

// Loops the last `loopLength` samples.
void loopTail(ItSample& sample, std::size_t loopLength) {
    sample.loop = true;
    sample.loopEnd = static_cast<std::uint32_t>(sample.data.size());
    sample.loopBegin = static_cast<std::uint32_t>(sample.data.size() - loopLength);
}

std::size_t seconds(int milliseconds, int rate = kRate) {
    return static_cast<std::size_t>(std::int64_t{milliseconds} * rate / 1000);
}

// Six detuned square waves: the metallic body of hats and cymbals.
class Metal {
  public:
    explicit Metal(std::int64_t scalePercent) {
        constexpr std::array<std::int64_t, 6> kMilliHz = {205300, 304400, 369600,
                                                          522700, 540000, 800000};
        for (std::size_t i = 0; i < kMilliHz.size(); ++i) {
            increments[i] = incrementForMilliHz(kMilliHz[i] * scalePercent / 100, kRate);
        }
    }
    std::int32_t next() {
        std::int32_t sum = 0;
        for (std::size_t i = 0; i < phases.size(); ++i) {
            phases[i] += increments[i];
            sum += (phases[i] & 0x80000000u) ? 5000 : -5000;
        }
        return sum;
    }

  private:
    std::array<std::uint32_t, 6> phases{0,          0x2000000u, 0x5000000u,
                                        0x9000000u, 0x3000000u, 0x7000000u};
    std::array<std::uint32_t, 6> increments{};
};

Signal hatSignal(int lengthMs, int decayMs, std::uint32_t seed) {
    Signal out(seconds(lengthMs));
    Noise noise(seed);
    Metal metal(300);
    OnePole firstHighPass(3500, kRate);
    OnePole secondHighPass(3500, kRate);
    OnePole air(14000, kRate);
    Decay envelope(static_cast<std::int64_t>(seconds(decayMs)));
    for (std::int32_t& value : out) {
        const std::int32_t source = noise.next() / 2 + metal.next() / 2;
        const std::int32_t bright = secondHighPass.highPass(firstHighPass.highPass(source));
        // Driven into the soft clip: noise keeps its colour but loses the stray spikes that
        // would set the mix's peak, so hats can sit louder under the same ceiling.
        value = saturate(applyQ30(air.lowPass(bright), envelope.next()) * kNoiseDrive / 2);
    }
    fadeTail(out, seconds(10));
    return out;
}

Signal crashSignal() {
    Signal out(seconds(1920));
    Noise noise(0xC4A5);
    Metal metal(410);
    OnePole highPass(3800, kRate);
    OnePole soften(11000, kRate);
    Decay body(static_cast<std::int64_t>(seconds(520)));
    Decay attack(static_cast<std::int64_t>(seconds(40)));
    for (std::int32_t& value : out) {
        const std::int32_t source = noise.next() * 3 / 4 + metal.next() / 2;
        const std::int64_t gain = body.next() * 6 / 10 + attack.next() * 4 / 10;
        value =
            static_cast<std::int32_t>(applyQ30(soften.lowPass(highPass.highPass(source)), gain));
    }
    fadeTail(out, seconds(300));
    return out;
}

// Detuned voices over one wavetable, looped over `loopLength` samples: every voice's
// increment is a whole number of cycles per loop so the loop joins without a seam.
struct Voice {
    std::uint32_t increment;
    std::int32_t weight;  // per mille
    std::uint32_t startPhase;
};
Signal voices(const Wave& wave, const std::vector<Voice>& list, std::size_t length) {
    Signal out(length, 0);
    for (const Voice& voice : list) {
        std::uint32_t phase = voice.startPhase;
        for (std::int32_t& value : out) {
            value += readWave(wave, phase) * voice.weight / 1000;
            phase += voice.increment;
        }
    }
    return out;
}

Signal stabSignal(int third) {
    constexpr int kPeriod = 256;
    const Wave wave = buildWave(80, [](int h) { return sawAmplitude(h, 14); });
    const std::array<int, 5> semitones = {-12, 0, 7, 12, 12 + third};
    const std::array<std::int32_t, 5> weights = {520, 620, 480, 420, 380};
    std::vector<Voice> list;
    std::uint32_t seedPhase = 0x13572468u;
    for (std::size_t i = 0; i < semitones.size(); ++i) {
        const std::uint32_t centre = pitchedIncrement(kPeriod, semitones[i]);
        for (int detune : {-1, 0, 1}) {
            seedPhase = seedPhase * 1664525u + 1013904223u;
            const std::uint32_t spread = centre / 220;  // about eight cents
            list.push_back(Voice{centre + static_cast<std::uint32_t>(detune) * spread,
                                 weights[i] * (detune == 0 ? 10 : 7) / 10, seedPhase});
        }
    }
    Signal raw = voices(wave, list, seconds(640));
    StateVariable filter(kRate, 52000);
    Decay sweep(static_cast<std::int64_t>(seconds(90)));
    Decay amplitude(static_cast<std::int64_t>(seconds(230)));
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (i % 32 == 0) {
            filter.setCutoff(1900 + applyQ30(6500, sweep.next()));
        } else {
            sweep.next();
        }
        filter.step(raw[i] / 3);
        raw[i] = static_cast<std::int32_t>(applyQ30(filter.lowOut(), amplitude.next()));
    }
    softenPeaks(raw, 250);
    fadeTail(raw, seconds(40));
    return raw;
}

}  // namespace

std::int32_t sine(std::uint32_t phase) {
    static const auto table = buildSineTable();
    const std::uint32_t index = phase >> (32 - kTableBits);
    const std::int64_t fraction = (phase >> (32 - kTableBits - 16)) & 0xFFFF;
    const std::int64_t a = table[index];
    const std::int64_t b = table[index + 1];
    return static_cast<std::int32_t>(a + (((b - a) * fraction) >> 16));
}

std::vector<std::int16_t> normalise(const Signal& signal, std::int32_t peak) {
    std::int64_t largest = 1;
    for (std::int32_t value : signal) {
        largest = std::max<std::int64_t>(largest, std::abs(std::int64_t{value}));
    }
    std::vector<std::int16_t> out(signal.size());
    for (std::size_t i = 0; i < signal.size(); ++i) {
        out[i] = static_cast<std::int16_t>(std::int64_t{signal[i]} * peak / largest);
    }
    return out;
}

ItSample kick() {
    // Short: 20 dB down within 200 ms, so the kick leaves room for the bass between beats.
    Signal out(seconds(320));
    Decay pitch(static_cast<std::int64_t>(seconds(32)));
    Decay body(static_cast<std::int64_t>(seconds(55)));
    Decay click(static_cast<std::int64_t>(seconds(3)));
    Noise noise(0x4B1C);
    OnePole clickTone(4000, kRate);
    std::uint32_t phase = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::int64_t milliHz = 46000 + applyQ30(150000, pitch.next());
        phase += incrementForMilliHz(milliHz, kRate);
        const std::int64_t gain = i < seconds(10) ? kOne30 : body.next();
        const std::int64_t tone = applyQ30(sine(phase), gain);
        const std::int64_t snap = applyQ30(clickTone.lowPass(noise.next()), click.next());
        out[i] = saturate(tone + snap);
    }
    fadeTail(out, seconds(40));
    return makeSample("kick", out, kRate);
}

ItSample snare() {
    Signal out(seconds(340));
    Noise noise(0x5A4E);
    Decay tone(static_cast<std::int64_t>(seconds(45)));
    Decay rattle(static_cast<std::int64_t>(seconds(95)));
    Decay bend(static_cast<std::int64_t>(seconds(20)));
    StateVariable band(kRate, 70000);
    band.setCutoff(3400);
    OnePole highPass(900, kRate);
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    for (std::int32_t& value : out) {
        const std::int64_t lift = applyQ30(40000, bend.next());
        low += incrementForMilliHz(182000 + lift, kRate);
        high += incrementForMilliHz(331000 + lift, kRate);
        const std::int64_t body = applyQ30(sine(low) * 6 / 10 + sine(high) * 3 / 10, tone.next());
        const std::int32_t n = highPass.highPass(noise.next());
        band.step(n);
        const std::int64_t hiss = applyQ30(n / 2 + band.bandOut() / 2, rattle.next());
        value = saturate((body + hiss) * kNoiseDrive / 2);
    }
    fadeTail(out, seconds(30));
    return makeSample("snare", out, kRate);
}

ItSample clap() {
    Signal out(seconds(460));
    Noise noise(0xC1A9);
    StateVariable band(kRate, 45000);
    band.setCutoff(2200);
    OnePole air(5000, kRate);
    const std::array<std::size_t, 4> bursts = {0, seconds(9), seconds(18), seconds(29)};
    Decay burst(static_cast<std::int64_t>(seconds(5)));
    Decay tail(static_cast<std::int64_t>(seconds(150)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (std::find(bursts.begin(), bursts.end(), i) != bursts.end()) {
            burst.restart();
        }
        const std::int32_t n = noise.next();
        band.step(n);
        // Three quick slaps, then a room tail nearly as loud as they are.
        const std::int64_t slap = burst.next() * 7 / 10;
        const std::int64_t gain = i < bursts.back() ? slap : std::max(slap, tail.next() * 9 / 10);
        const std::int64_t sound = band.bandOut() + (n - air.lowPass(n)) / 4;
        out[i] = saturate(applyQ30(sound, gain) * kNoiseDrive);
    }
    fadeTail(out, seconds(40));
    return makeSample("clap", out, kRate);
}

ItSample closedHat() {
    return makeSample("hat closed", hatSignal(110, 24, 0x4A71), kRate);
}
ItSample openHat() {
    return makeSample("hat open", hatSignal(520, 170, 0x0BE7), kRate);
}

ItSample crash() {
    return makeSample("crash", crashSignal(), kRate);
}

ItSample reverseCrash() {
    Signal out = crashSignal();
    std::reverse(out.begin(), out.end());
    // Ends near full strength, so the swell lands on the beat where its sample ends; the
    // last few milliseconds close it without a click.
    fadeTail(out, seconds(12));
    return makeSample("crash reversed", out, kRate);
}

ItSample tom() {
    Signal out(seconds(420));
    Decay pitch(static_cast<std::int64_t>(seconds(70)));
    Decay body(static_cast<std::int64_t>(seconds(140)));
    Decay click(static_cast<std::int64_t>(seconds(3)));
    Noise noise(0x7011);
    std::uint32_t phase = 0;
    for (std::int32_t& value : out) {
        phase += incrementForMilliHz(96000 + applyQ30(70000, pitch.next()), kRate);
        const std::int64_t tone = applyQ30(sine(phase), body.next());
        value = saturate(tone + applyQ30(noise.next(), click.next()) / 3);
    }
    fadeTail(out, seconds(40));
    return makeSample("tom", out, kRate);
}

ItSample impact() {
    constexpr int kImpactRate = 22050;
    Signal out(seconds(2400, kImpactRate));
    Decay pitch(static_cast<std::int64_t>(seconds(280, kImpactRate)));
    Decay body(static_cast<std::int64_t>(seconds(700, kImpactRate)));
    Decay rumble(static_cast<std::int64_t>(seconds(260, kImpactRate)));
    Decay crack(static_cast<std::int64_t>(seconds(30, kImpactRate)));
    Noise noise(0x1A9C);
    OnePole dark(380, kImpactRate);
    OnePole airy(2500, kImpactRate);
    std::uint32_t phase = 0;
    for (std::int32_t& value : out) {
        phase += incrementForMilliHz(29000 + applyQ30(62000, pitch.next()), kImpactRate);
        const std::int32_t n = noise.next();
        const std::int64_t sub = applyQ30(sine(phase), body.next());
        const std::int64_t thud = applyQ30(dark.lowPass(n) * 2, rumble.next());
        const std::int64_t hit = applyQ30(airy.highPass(n), crack.next()) / 2;
        value = saturate((sub + thud + hit) * 12 / 10);
    }
    fadeTail(out, seconds(400, kImpactRate));
    return makeSample("impact", out, kImpactRate);
}

ItSample blip() {
    Signal out(seconds(140));
    Decay pitch(static_cast<std::int64_t>(seconds(22)));
    Decay body(static_cast<std::int64_t>(seconds(45)));
    std::uint32_t phase = 0;
    for (std::int32_t& value : out) {
        phase += incrementForMilliHz(1150000 + applyQ30(1500000, pitch.next()), kRate);
        const std::int64_t tone = sine(phase) * 7 / 10 + sine(phase * 2) * 2 / 10;
        value = static_cast<std::int32_t>(applyQ30(tone, body.next()));
    }
    fadeTail(out, seconds(20));
    return makeSample("blip", out, kRate);
}

ItSample noiseSweep() {
    Signal out(seconds(1000));
    Noise noise(0x5EE9);
    StateVariable band(kRate, 30000);
    band.setCutoff(1700);
    OnePole air(9000, kRate);
    for (std::int32_t& value : out) {
        const std::int32_t n = noise.next();
        band.step(n / 2);
        value = band.bandOut() + air.lowPass(n) / 5;
    }
    ItSample sample = makeSample("noise sweep", out, kRate, 24000);
    loopTail(sample, sample.data.size() - kRampedHead);
    return sample;
}

ItSample grainBed() {
    constexpr int kBedRate = 22050;
    Signal out(seconds(2000, kBedRate));
    Noise noise(0x6A1B);
    OnePole hiss(2600, kBedRate);
    OnePole rumble(180, kBedRate);
    std::int64_t crackle = 0;
    for (std::int32_t& value : out) {
        const std::int32_t n = noise.next();
        if (noise.below(700) == 0) {
            crackle = static_cast<std::int64_t>(noise.below(24000)) + 6000;
            crackle = noise.below(2) ? crackle : -crackle;
        }
        crackle = crackle * 82 / 100;
        value = static_cast<std::int32_t>(hiss.lowPass(n) / 3 + rumble.lowPass(n) + crackle);
    }
    ItSample sample = makeSample("grain bed", out, kBedRate, 26000);
    loopTail(sample, sample.data.size() - kRampedHead);
    return sample;
}

ItSample bass() {
    constexpr int kPeriod = 1024;  // low notes still play near the output rate
    const Wave wave = buildWave(300, [](int h) {
        return sawAmplitude(h, 200) * 7 / 10 + squareAmplitude(h, 200) * 3 / 10;
    });
    const std::uint32_t increment = pitchedIncrement(kPeriod, 0);
    Signal out = voices(wave, {{increment, 1000, 0}}, 65536);
    StateVariable filter(kRate, 36000);
    Decay sweep(static_cast<std::int64_t>(seconds(110)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::int64_t envelope = sweep.next();
        if (i % 16 == 0) {
            filter.setCutoff(520 + applyQ30(3600, envelope));
        }
        filter.step(out[i] / 2);
        out[i] = saturate(std::int64_t{filter.lowOut()} * 2);
    }
    ItSample sample = makeSample("bass", out, pitchedC5Speed(kPeriod));
    loopTail(sample, 16384);
    return sample;
}

ItSample subBass() {
    constexpr int kPeriod = 256;
    const Wave wave = buildWave(3, [](int h) { return h == 1 ? 65536 : h == 2 ? 9000 : 3000; });
    ItSample sample =
        makeSample("sub", voices(wave, {{pitchedIncrement(kPeriod, 0), 1000, 0}}, 8192),
                   pitchedC5Speed(kPeriod));
    loopTail(sample, sample.data.size() - kRampedHead);
    return sample;
}

ItSample pad() {
    constexpr int kPeriod = 512;
    constexpr std::size_t kLoop = 65536;  // 128 cycles; detuned voices add whole cycles
    const Wave wave = buildWave(90, [](int h) { return sawAmplitude(h, 26); });
    const std::uint32_t centre = pitchedIncrement(kPeriod, 0);
    const std::uint32_t cycle = static_cast<std::uint32_t>((std::int64_t{1} << 32) / kLoop);
    const std::vector<Voice> list = {
        {centre - 2 * cycle, 500, 0x11111111u},
        {centre - cycle, 800, 0x6C8E9CF5u},
        {centre, 1000, 0x30000000u},
        {centre + cycle, 800, 0xB504F333u},
        {centre + 2 * cycle, 500, 0xE1000000u},
    };
    Signal out = voices(wave, list, kLoop);
    const Wave under = buildWave(1, [](int) { return 65536; });
    const Signal octaveDown = voices(under, {{centre / 2, 450, 0}}, kLoop);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] += octaveDown[i];
    }
    // The detuned voices only meet again at the end, so the loop is the whole sample; the
    // volume envelope fades each note in.
    ItSample sample = makeSample("pad", out, pitchedC5Speed(kPeriod), 30000, false);
    loopTail(sample, sample.data.size());
    return sample;
}

ItSample lead() {
    constexpr int kPeriod = 256;
    constexpr std::size_t kLoop = 32768;
    const Wave saw = buildWave(100, [](int h) { return sawAmplitude(h, 24); });
    const Wave square = buildWave(100, [](int h) { return squareAmplitude(h, 18); });
    const std::uint32_t centre = pitchedIncrement(kPeriod, 0);
    const std::uint32_t cycle = static_cast<std::uint32_t>((std::int64_t{1} << 32) / kLoop);
    Signal out = voices(saw, {{centre - cycle, 650, 0}, {centre + cycle, 650, 0x40000000u}}, kLoop);
    const Signal hollow = voices(square, {{centre, 700, 0x20000000u}}, kLoop);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] += hollow[i];
    }
    ItSample sample = makeSample("lead", out, pitchedC5Speed(kPeriod));
    loopTail(sample, sample.data.size() - kRampedHead);
    sample.vibratoSpeed = 7;
    sample.vibratoDepth = 6;
    sample.vibratoSweep = 24;
    return sample;
}

ItSample pluck() {
    constexpr int kPeriod = 256;
    constexpr int kHarmonics = 28;
    Signal out(seconds(650), 0);
    for (int h = 1; h <= kHarmonics; ++h) {
        const std::uint32_t increment =
            pitchedIncrement(kPeriod, 0) * static_cast<std::uint32_t>(h);
        Decay decay(static_cast<std::int64_t>(seconds(260)) * 3 / (2 + h));
        const std::int64_t amplitude = sawAmplitude(h, 30);
        std::uint32_t phase = static_cast<std::uint32_t>(h) * 0x9E3779B9u;
        for (std::int32_t& value : out) {
            value +=
                static_cast<std::int32_t>(applyQ30((sine(phase) * amplitude) >> 16, decay.next()));
            phase += increment;
        }
    }
    fadeTail(out, seconds(60));
    return makeSample("pluck", out, pitchedC5Speed(kPeriod));
}

ItSample bell() {
    constexpr int kPeriod = 256;
    struct Partial {
        std::int64_t ratioQ16;
        std::int32_t weight;
        int decayMs;
    };
    // Partials of a struck bar: strong fundamental and octave, bright inharmonic overtones
    // that die away first.
    constexpr std::array<Partial, 5> kPartials = {{{65536, 1000, 900},
                                                   {131072, 500, 620},
                                                   {180879, 380, 320},
                                                   {353894, 220, 160},
                                                   {585236, 140, 80}}};
    Signal out(seconds(1500), 0);
    const std::int64_t base = pitchedIncrement(kPeriod, 0);
    for (const Partial& partial : kPartials) {
        const auto increment = static_cast<std::uint32_t>((base * partial.ratioQ16) >> 16);
        Decay decay(static_cast<std::int64_t>(seconds(partial.decayMs)));
        std::uint32_t phase = 0;
        for (std::int32_t& value : out) {
            value += static_cast<std::int32_t>(
                applyQ30(sine(phase) * partial.weight / 1000, decay.next()));
            phase += increment;
        }
    }
    fadeTail(out, seconds(200));
    return makeSample("bell", out, pitchedC5Speed(kPeriod));
}

ItSample minorStab() {
    return makeSample("stab minor", stabSignal(3), pitchedC5Speed(256));
}
ItSample majorStab() {
    return makeSample("stab major", stabSignal(4), pitchedC5Speed(256));
}

}  // namespace content::synth
