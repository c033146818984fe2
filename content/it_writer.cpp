#include "content/it_writer.h"

#include <algorithm>
#include <stdexcept>

#include "core/bytes.h"
#include "core/it_layout.h"

namespace content {

namespace {

constexpr std::size_t kInstrumentSize = core::kItInstrumentBytes;
// "Created with": a value no tracker claims, so players do not name an old tracker for a
// file this program wrote; "compatible with" stays Impulse Tracker 2.14, whose rules we follow.
constexpr std::uint16_t kCreatedWith = 0x2000;
constexpr std::uint16_t kCompatibleWith = 0x0214;
constexpr std::size_t kMaxMessageBytes = 8000;
constexpr int kMaxEnvelopePoints = 25;

void fail(const std::string& why) {
    throw std::invalid_argument("writeIt: " + why);
}

class ByteWriter {
  public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : bytes(out) {}
    void u8(unsigned value) { bytes.push_back(static_cast<std::uint8_t>(value)); }
    void u16(unsigned value) { core::appendLittle16(bytes, static_cast<std::uint16_t>(value)); }
    void u32(std::uint32_t value) { core::appendLittle32(bytes, value); }
    void zeros(std::size_t count) { bytes.insert(bytes.end(), count, 0); }
    // A fixed-size text field, zero-padded; at most size-1 characters so it stays terminated.
    void text(const std::string& value, std::size_t size) {
        const std::size_t kept = std::min(value.size(), size - 1);
        bytes.insert(bytes.end(), value.begin(), value.begin() + static_cast<std::ptrdiff_t>(kept));
        zeros(size - kept);
    }
    void patch32(std::size_t at, std::uint32_t value) {
        core::writeLittle32(bytes.data() + at, value);
    }
    void magic(const char (&tag)[5]) {
        for (int i = 0; i < 4; ++i) {
            u8(static_cast<unsigned char>(tag[i]));
        }
    }
    void append(const std::vector<std::uint8_t>& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
    }
    std::size_t size() const { return bytes.size(); }

  private:
    std::vector<std::uint8_t>& bytes;
};

// The header's counts and levels.
void checkHeader(const ItModule& module) {
    if (module.channels < 1 || module.channels > 64) {
        fail("channel count must be 1..64");
    }
    if (module.patterns.empty() || module.patterns.size() > 200) {
        fail("pattern count must be 1..200");
    }
    if (module.samples.size() > 99 || module.instruments.size() > 99) {
        fail("at most 99 samples and 99 instruments");
    }
    if (module.orders.empty() || module.orders.size() > 255) {
        fail("order list must hold 1..255 entries");
    }
    if (module.message.size() >= kMaxMessageBytes) {
        fail("song message too long");
    }
    if (module.initialSpeed == 0 || module.initialTempo < 32) {
        fail("speed must be at least 1 and tempo at least 32");
    }
    if (module.channelPan.size() > static_cast<std::size_t>(module.channels) ||
        std::any_of(module.channelPan.begin(), module.channelPan.end(),
                    [](std::uint8_t pan) { return pan > 64; })) {
        fail("channel pans are 0..64, one per channel at most");
    }
    if (module.globalVolume > 128 || module.mixVolume > 128 || module.stereoSeparation > 128) {
        fail("global volume, mix volume and separation are 0..128");
    }
}

// Every order names a pattern and every pattern has the module's shape and valid cells.
void checkPatterns(const ItModule& module) {
    for (std::uint8_t order : module.orders) {
        if (order < 254 && order >= module.patterns.size()) {
            fail("order refers to a missing pattern");
        }
    }
    const std::size_t namedLimit =
        module.instruments.empty() ? module.samples.size() : module.instruments.size();
    for (const ItPattern& pattern : module.patterns) {
        if (pattern.rows < 1 || pattern.rows > 200 || pattern.channels != module.channels ||
            pattern.cells.size() != static_cast<std::size_t>(pattern.rows * pattern.channels)) {
            fail("patterns need 1..200 rows of the module's channel count");
        }
        for (const ItCell& cell : pattern.cells) {
            if (cell.instrument > namedLimit) {
                fail("cell refers to a missing instrument or sample");
            }
            const bool noteValid = cell.note == kNoNote || (cell.note >= 0 && cell.note <= 119) ||
                                   (cell.note >= 120 && cell.note <= 255);
            if (!noteValid || cell.volume < kNoVolume || cell.volume > 212 || cell.effect > 26) {
                fail("cell value out of range");
            }
        }
    }
}

void checkSample(const ItSample& sample) {
    if (sample.defaultVolume > 64 || sample.globalVolume > 64 || sample.defaultPan > 64) {
        fail("sample volumes and pan are 0..64");
    }
    if (sample.vibratoSpeed > 64 || sample.vibratoDepth > 64 || sample.vibratoWave > 3) {
        fail("sample vibrato out of range");
    }
    if (sample.loop &&
        (sample.loopBegin >= sample.loopEnd || sample.loopEnd > sample.data.size())) {
        fail("sample loop outside the sample");
    }
}

void checkInstrument(const ItInstrument& instrument, std::size_t sampleCount) {
    if (instrument.sample < 1 || instrument.sample > sampleCount) {
        fail("instrument refers to a missing sample");
    }
    if (instrument.globalVolume > 128 || instrument.fadeout > 256 || instrument.defaultPan > 64 ||
        instrument.pitchPanSeparation < -32 || instrument.pitchPanSeparation > 32 ||
        instrument.pitchPanCentre > 119) {
        fail("instrument volume, fadeout or pan out of range");
    }
    const ItEnvelope& envelope = instrument.volumeEnvelope;
    const int points = static_cast<int>(envelope.points.size());
    if (points > kMaxEnvelopePoints || (envelope.enabled && points < 1)) {
        fail("volume envelopes hold 1..25 points");
    }
    for (int i = 0; i < points; ++i) {
        const ItEnvelopePoint& point = envelope.points[static_cast<std::size_t>(i)];
        if (point.value < 0 || point.value > 64 ||
            (i > 0 && point.tick <= envelope.points[static_cast<std::size_t>(i - 1)].tick)) {
            fail("volume envelope values are 0..64 at rising ticks");
        }
    }
    auto badPair = [points](int begin, int end) {
        return (begin < 0) != (end < 0) || (begin >= 0 && (begin > end || end >= points));
    };
    if (badPair(envelope.loopBegin, envelope.loopEnd) ||
        badPair(envelope.sustainBegin, envelope.sustainEnd)) {
        fail("envelope loop nodes out of range");
    }
}

// Refuses, naming the first problem, what a player would misread or a tracker reject.
void checkModule(const ItModule& module) {
    checkHeader(module);
    checkPatterns(module);
    for (const ItSample& sample : module.samples) {
        checkSample(sample);
    }
    for (const ItInstrument& instrument : module.instruments) {
        checkInstrument(instrument, module.samples.size());
    }
}

void writeEnvelope(ByteWriter& out, const ItEnvelope* envelope, std::int8_t restingValue) {
    if (envelope == nullptr || envelope->points.empty()) {
        // Disabled, with the two resting nodes trackers write by default.
        out.u8(0);
        out.u8(2);
        out.zeros(4);
        out.u8(static_cast<std::uint8_t>(restingValue));
        out.u16(0);
        out.u8(static_cast<std::uint8_t>(restingValue));
        out.u16(100);
        out.zeros(3 * (kMaxEnvelopePoints - 2) + 1);
        return;
    }
    const bool loop = envelope->loopBegin >= 0;
    const bool sustain = envelope->sustainBegin >= 0;
    out.u8((envelope->enabled ? 1 : 0) | (loop ? 2 : 0) | (sustain ? 4 : 0));
    out.u8(static_cast<unsigned>(envelope->points.size()));
    out.u8(loop ? static_cast<unsigned>(envelope->loopBegin) : 0);
    out.u8(loop ? static_cast<unsigned>(envelope->loopEnd) : 0);
    out.u8(sustain ? static_cast<unsigned>(envelope->sustainBegin) : 0);
    out.u8(sustain ? static_cast<unsigned>(envelope->sustainEnd) : 0);
    for (const ItEnvelopePoint& point : envelope->points) {
        out.u8(static_cast<std::uint8_t>(point.value));
        out.u16(point.tick);
    }
    out.zeros(3 * (kMaxEnvelopePoints - envelope->points.size()) + 1);
}

void writeInstrument(ByteWriter& out, const ItInstrument& instrument) {
    const std::size_t start = out.size();
    out.magic("IMPI");
    out.zeros(12);  // DOS file name
    out.u8(0);
    out.u8(static_cast<unsigned>(instrument.newNoteAction));
    out.u8(0);  // duplicate check type: off
    out.u8(0);  // duplicate check action
    out.u16(instrument.fadeout);
    out.u8(static_cast<std::uint8_t>(instrument.pitchPanSeparation));
    out.u8(instrument.pitchPanCentre);
    out.u8(instrument.globalVolume);
    out.u8(instrument.defaultPan >= 0 ? static_cast<unsigned>(instrument.defaultPan) : 32 | 128);
    out.u8(0);  // random volume variation
    out.u8(0);  // random pan variation
    out.u16(kCompatibleWith);
    out.u8(1);  // sample count (informative)
    out.u8(0);
    out.text(instrument.name, 26);
    out.u8(0);        // filter cutoff: off
    out.u8(0);        // filter resonance: off
    out.u8(0);        // MIDI channel
    out.u8(0xFF);     // MIDI program: none
    out.u16(0xFFFF);  // MIDI bank: none
    for (int note = 0; note < 120; ++note) {
        out.u8(static_cast<unsigned>(std::clamp(note + instrument.transpose, 0, 119)));
        out.u8(instrument.sample);
    }
    writeEnvelope(out, &instrument.volumeEnvelope, 64);
    writeEnvelope(out, nullptr, 0);  // panning
    writeEnvelope(out, nullptr, 0);  // pitch
    out.zeros(kInstrumentSize - (out.size() - start));
}

// Writes the header; the sample data offset is patched in once known. Returns where it is.
std::size_t writeSampleHeader(ByteWriter& out, const ItSample& sample) {
    out.magic("IMPS");
    out.zeros(12);
    out.u8(0);
    out.u8(sample.globalVolume);
    const bool hasData = !sample.data.empty();
    out.u8((hasData ? 1 : 0) | (sample.sixteenBit ? 2 : 0) | (sample.loop ? 16 : 0) |
           (sample.loop && sample.pingPong ? 64 : 0));
    out.u8(sample.defaultVolume);
    out.text(sample.name, 26);
    out.u8(1);  // signed PCM
    out.u8(sample.defaultPan >= 0 ? static_cast<unsigned>(sample.defaultPan) | 128 : 32);
    out.u32(static_cast<std::uint32_t>(sample.data.size()));
    out.u32(sample.loop ? sample.loopBegin : 0);
    out.u32(sample.loop ? sample.loopEnd : 0);
    out.u32(sample.c5Speed);
    out.u32(0);  // sustain loop begin
    out.u32(0);  // sustain loop end
    const std::size_t dataOffsetAt = out.size();
    out.u32(0);
    out.u8(sample.vibratoSpeed);
    out.u8(sample.vibratoDepth);
    out.u8(sample.vibratoSweep);
    out.u8(sample.vibratoWave);
    return dataOffsetAt;
}

// Packs one pattern: each non-empty cell as channel marker with mask, then the fields the
// mask names; a zero byte ends each row.
void writePattern(ByteWriter& out, const ItPattern& pattern) {
    std::vector<std::uint8_t> packed;
    ByteWriter body(packed);
    for (int row = 0; row < pattern.rows; ++row) {
        for (int channel = 0; channel < pattern.channels; ++channel) {
            const ItCell& cell = pattern.at(row, channel);
            if (cell.empty()) {
                continue;
            }
            const unsigned mask = (cell.note != kNoNote ? 1 : 0) | (cell.instrument != 0 ? 2 : 0) |
                                  (cell.volume != kNoVolume ? 4 : 0) | (cell.effect != 0 ? 8 : 0);
            body.u8(static_cast<unsigned>(channel + 1) | 128);
            body.u8(mask);
            if (mask & 1) {
                body.u8(static_cast<unsigned>(cell.note));
            }
            if (mask & 2) {
                body.u8(cell.instrument);
            }
            if (mask & 4) {
                body.u8(static_cast<unsigned>(cell.volume));
            }
            if (mask & 8) {
                body.u8(cell.effect);
                body.u8(cell.param);
            }
        }
        body.u8(0);
    }
    if (packed.size() > 0xFFFF) {
        fail("packed pattern over 64 KiB");
    }
    out.u16(static_cast<unsigned>(packed.size()));
    out.u16(static_cast<unsigned>(pattern.rows));
    out.zeros(4);
    out.append(packed);
}

// The file's header up to and with the order list; returns where the message's length and
// offset go.
std::size_t writeHeader(ByteWriter& out, const ItModule& module,
                        const std::vector<std::uint8_t>& orders) {
    const bool useInstruments = !module.instruments.empty();
    out.magic("IMPM");
    out.text(module.title, 26);
    out.u8(4);   // row highlight: beat
    out.u8(16);  // row highlight: bar
    out.u16(static_cast<unsigned>(orders.size()));
    out.u16(static_cast<unsigned>(module.instruments.size()));
    out.u16(static_cast<unsigned>(module.samples.size()));
    out.u16(static_cast<unsigned>(module.patterns.size()));
    out.u16(kCreatedWith);
    out.u16(kCompatibleWith);
    out.u16(1 | (useInstruments ? 4 : 0) | (module.linearSlides ? 8 : 0));  // stereo mixer
    out.u16(module.message.empty() ? 0 : 1);  // a message, no edit history
    out.u8(module.globalVolume);
    out.u8(module.mixVolume);
    out.u8(module.initialSpeed);
    out.u8(module.initialTempo);
    out.u8(module.stereoSeparation);
    out.u8(0);  // pitch wheel depth
    // The message is NUL-terminated text with CR line breaks, placed after the samples.
    const std::size_t messageField = out.size();
    out.u16(module.message.empty() ? 0 : static_cast<unsigned>(module.message.size() + 1));
    out.u32(0);
    out.u32(0);
    for (int channel = 0; channel < 64; ++channel) {
        const std::size_t at = static_cast<std::size_t>(channel);
        const unsigned pan = at < module.channelPan.size() ? module.channelPan[at] : 32;
        out.u8(channel < module.channels ? pan : 32 | 128);  // unused channels disabled
    }
    for (int channel = 0; channel < 64; ++channel) {
        out.u8(64);
    }
    out.append(orders);
    return messageField;
}

// The offset table, then the instruments, the sample headers and the patterns it points to;
// returns where each sample's data offset goes.
std::vector<std::size_t> writeParts(ByteWriter& out, const ItModule& module) {
    const std::size_t offsetTable = out.size();
    out.zeros(4 * (module.instruments.size() + module.samples.size() + module.patterns.size()));
    std::size_t slot = offsetTable;
    for (const ItInstrument& instrument : module.instruments) {
        out.patch32(slot, static_cast<std::uint32_t>(out.size()));
        slot += 4;
        writeInstrument(out, instrument);
    }
    std::vector<std::size_t> dataOffsetFields;
    for (const ItSample& sample : module.samples) {
        out.patch32(slot, static_cast<std::uint32_t>(out.size()));
        slot += 4;
        dataOffsetFields.push_back(writeSampleHeader(out, sample));
    }
    for (const ItPattern& pattern : module.patterns) {
        out.patch32(slot, static_cast<std::uint32_t>(out.size()));
        slot += 4;
        writePattern(out, pattern);
    }
    return dataOffsetFields;
}

void writeSampleData(ByteWriter& out, const ItModule& module,
                     const std::vector<std::size_t>& dataOffsetFields) {
    for (std::size_t i = 0; i < module.samples.size(); ++i) {
        const ItSample& sample = module.samples[i];
        out.patch32(dataOffsetFields[i], static_cast<std::uint32_t>(out.size()));
        for (std::int16_t value : sample.data) {
            if (sample.sixteenBit) {
                out.u16(static_cast<std::uint16_t>(value));
            } else {
                out.u8(static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8));
            }
        }
    }
}

void writeMessage(ByteWriter& out, const ItModule& module, std::size_t messageField) {
    if (module.message.empty()) {
        return;
    }
    out.patch32(messageField + 2, static_cast<std::uint32_t>(out.size()));
    for (char c : module.message) {
        out.u8(c == '\n' ? '\r' : static_cast<unsigned char>(c));
    }
    out.u8(0);
}

}  // namespace

std::vector<std::uint8_t> writeIt(const ItModule& module) {
    checkModule(module);
    std::vector<std::uint8_t> orders = module.orders;
    if (orders.empty() || orders.back() != 255) {
        if (orders.size() == 255) {
            fail("order list has no room for its end marker");
        }
        orders.push_back(255);
    }
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    const std::size_t messageField = writeHeader(out, module, orders);
    const std::vector<std::size_t> dataOffsetFields = writeParts(out, module);
    writeSampleData(out, module, dataOffsetFields);
    writeMessage(out, module, messageField);
    return bytes;
}

double itSecondsTo(const ItModule& module, int order, int row) {
    int speed = module.initialSpeed;
    int tempo = module.initialTempo;
    double seconds = 0.0;
    for (int at = 0; at < static_cast<int>(module.orders.size()); ++at) {
        const std::uint8_t patternIndex = module.orders[static_cast<std::size_t>(at)];
        if (patternIndex == 255) {
            break;
        }
        if (patternIndex == 254 || patternIndex >= module.patterns.size()) {
            continue;
        }
        const ItPattern& pattern = module.patterns[patternIndex];
        for (int r = 0; r < pattern.rows; ++r) {
            if (at == order && r == row) {
                return seconds;
            }
            for (int channel = 0; channel < pattern.channels; ++channel) {
                const ItCell& cell = pattern.at(r, channel);
                if (cell.effect == itEffect('A') && cell.param > 0) {
                    speed = cell.param;
                } else if (cell.effect == itEffect('T') && cell.param >= 32) {
                    tempo = cell.param;
                }
            }
            seconds += speed * 2.5 / tempo;
        }
        if (at == order) {
            return seconds;  // row past the pattern's end: its end
        }
    }
    return seconds;
}

}  // namespace content
