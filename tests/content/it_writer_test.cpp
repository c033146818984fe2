#include "content/it_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "platform/module_info.h"
#include "tests/content/clocked_playback.h"

namespace {

using content::ItCell;
using content::itEffect;
using content::ItModule;
using content::itNote;

std::uint16_t u16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}
std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return u16At(bytes, at) | static_cast<std::uint32_t>(u16At(bytes, at + 2)) << 16;
}

// A square wave: loud enough to hear, looped so a note sounds until cut.
content::ItSample squareSample(bool sixteenBit) {
    content::ItSample sample;
    sample.name = sixteenBit ? "square16" : "square8";
    sample.sixteenBit = sixteenBit;
    for (int i = 0; i < 100; ++i) {
        sample.data.push_back(static_cast<std::int16_t>(i < 50 ? 12000 : -12000));
    }
    sample.c5Speed = 22050;
    sample.loop = true;
    sample.loopBegin = 0;
    sample.loopEnd = 100;
    return sample;
}

// Two orders: pattern 0 (64 rows) at the initial speed 6 / tempo 125, then pattern 1
// (32 rows) which switches to speed 3 / tempo 96 on its first row, on two channels.
ItModule twoTempoModule() {
    ItModule module;
    module.title = "timing probe";
    module.channels = 3;
    module.samples = {squareSample(false), squareSample(true)};
    content::ItPattern first(64, 3);
    first.at(0, 1) = ItCell{itNote(0, 5), 1, 48, 0, 0};
    first.at(40, 2) = ItCell{itNote(7, 4), 2, content::kNoVolume, 0, 0};
    content::ItPattern second(32, 3);
    second.at(0, 0).effect = itEffect('A');
    second.at(0, 0).param = 3;
    second.at(0, 2).effect = itEffect('T');
    second.at(0, 2).param = 96;
    second.at(5, 1).note = content::kNoteCut;
    module.patterns = {first, second};
    module.orders = {0, 1};
    return module;
}

TEST(ItWriter, HeaderOrderListAndPackedPatternBytes) {
    const ItModule module = twoTempoModule();
    const std::vector<std::uint8_t> bytes = content::writeIt(module);
    ASSERT_GT(bytes.size(), 0xC0u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "IMPM");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[4])), "timing probe");
    EXPECT_EQ(u16At(bytes, 0x20), 3);  // two orders and the end marker
    EXPECT_EQ(u16At(bytes, 0x22), 0);  // sample mode
    EXPECT_EQ(u16At(bytes, 0x24), 2);
    EXPECT_EQ(u16At(bytes, 0x26), 2);
    EXPECT_EQ(u16At(bytes, 0x2C) & 4, 0);  // instruments off
    EXPECT_EQ(bytes[0x32], 6);
    EXPECT_EQ(bytes[0x33], 125);
    EXPECT_EQ(bytes[0x40 + 2], 32);        // channel 3 centred and on
    EXPECT_EQ(bytes[0x40 + 3], 32 | 128);  // channel 4 unused: disabled
    EXPECT_EQ(bytes[0xC0], 0);
    EXPECT_EQ(bytes[0xC1], 1);
    EXPECT_EQ(bytes[0xC2], 255);

    // Offsets follow the orders: two samples, then two patterns.
    const std::uint32_t pattern0 = u32At(bytes, 0xC3 + 8);
    const std::size_t rows = u16At(bytes, pattern0 + 2);
    EXPECT_EQ(rows, 64u);
    // Row 0: channel 2 with note, sample and volume; rows 1..39 empty; row 40: channel 3
    // with note and sample; rows 41..63 empty.
    std::vector<std::uint8_t> expected = {0x82, 0x07, 60, 1, 48, 0};
    expected.insert(expected.end(), 39, 0);
    const std::vector<std::uint8_t> row40 = {0x83, 0x03, 55, 2, 0};
    expected.insert(expected.end(), row40.begin(), row40.end());
    expected.insert(expected.end(), 23, 0);
    ASSERT_EQ(u16At(bytes, pattern0), expected.size());
    const std::vector<std::uint8_t> packed(bytes.begin() + pattern0 + 8,
                                           bytes.begin() + pattern0 + 8 + expected.size());
    EXPECT_EQ(packed, expected);
}

TEST(ItWriter, SampleDataIsSignedPcmOfTheRequestedWidth) {
    ItModule module;
    module.channels = 1;
    module.patterns = {content::ItPattern(64, 1)};
    module.orders = {0};
    content::ItSample narrow;
    narrow.sixteenBit = false;
    narrow.data = {0x1234, -0x1234, 0x7F00};
    content::ItSample wide;
    wide.data = {0x1234, -2};
    module.samples = {narrow, wide};
    const std::vector<std::uint8_t> bytes = content::writeIt(module);
    const std::uint32_t narrowHeader = u32At(bytes, 0xC0 + 2);
    const std::uint32_t wideHeader = u32At(bytes, 0xC0 + 2 + 4);
    EXPECT_EQ(bytes[narrowHeader + 18] & 2, 0);
    EXPECT_EQ(bytes[wideHeader + 18] & 2, 2);
    EXPECT_EQ(bytes[narrowHeader + 46], 1);  // signed
    EXPECT_EQ(u32At(bytes, narrowHeader + 48), 3u);
    const std::uint32_t narrowData = u32At(bytes, narrowHeader + 72);
    EXPECT_EQ(bytes[narrowData], 0x12);
    EXPECT_EQ(bytes[narrowData + 1], 0xED);  // high byte of -0x1234
    EXPECT_EQ(bytes[narrowData + 2], 0x7F);
    const std::uint32_t wideData = u32At(bytes, wideHeader + 72);
    EXPECT_EQ(u16At(bytes, wideData), 0x1234);
    EXPECT_EQ(u16At(bytes, wideData + 2), 0xFFFE);
    EXPECT_EQ(wideData + 4, bytes.size());
}

TEST(ItWriter, RejectsModulesItCannotExpress) {
    auto expectRejected = [](auto&& damage) {
        ItModule module = twoTempoModule();
        damage(module);
        EXPECT_THROW(content::writeIt(module), std::invalid_argument);
    };
    expectRejected([](ItModule& m) { m.orders = {0, 2}; });
    expectRejected([](ItModule& m) { m.patterns[1].at(3, 1).instrument = 3; });
    expectRejected([](ItModule& m) { m.samples[0].loopEnd = 101; });
    expectRejected([](ItModule& m) { m.patterns[0].cells.pop_back(); });
    expectRejected([](ItModule& m) { m.patterns[0] = content::ItPattern(201, 3); });
    expectRejected([](ItModule& m) { m.channels = 65; });
    expectRejected([](ItModule& m) { m.patterns[0].at(1, 1).volume = 213; });
    expectRejected([](ItModule& m) {
        content::ItInstrument instrument;
        instrument.sample = 3;
        m.instruments = {instrument, instrument};
    });
    expectRejected([](ItModule& m) {
        content::ItInstrument instrument;
        instrument.volumeEnvelope.enabled = true;
        instrument.volumeEnvelope.points = {{10, 64}, {5, 0}};
        m.instruments = {instrument, instrument};
    });
    ItModule fine = twoTempoModule();
    EXPECT_NO_THROW(content::writeIt(fine));
}

TEST(ItWriterPlayback, PlayerReadsCellsAndFollowsSpeedAndTempoChanges) {
    const ItModule module = twoTempoModule();
    const std::vector<std::uint8_t> bytes = content::writeIt(module);
    platform::ModuleInfo info;
    std::string error;
    ASSERT_TRUE(platform::readModuleInfo(bytes, info, error)) << error;
    EXPECT_EQ(info.title, "timing probe");
    EXPECT_EQ(info.orderPatterns, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(info.patternRows, (std::vector<std::int32_t>{64, 32}));
    ASSERT_EQ(info.sampleNames.size(), 2u);
    EXPECT_EQ(info.sampleNames.at(1), "square16");

    const platform::ModuleCellText noteOnRow0 = platform::readModuleCell(bytes, 0, 0, 1);
    EXPECT_EQ(noteOnRow0.note, "C-5");
    EXPECT_EQ(noteOnRow0.instrument, "01");
    EXPECT_EQ(platform::readModuleCell(bytes, 0, 40, 2).note, "G-4");
    const platform::ModuleCellText speed = platform::readModuleCell(bytes, 1, 0, 0);
    EXPECT_EQ(speed.effect, "A");
    EXPECT_EQ(speed.parameter, "03");
    const platform::ModuleCellText tempo = platform::readModuleCell(bytes, 1, 0, 2);
    EXPECT_EQ(tempo.effect, "T");
    EXPECT_EQ(tempo.parameter, "60");

    // 64 rows of 6 ticks at 20 ms, then 32 rows of 3 ticks at 2.5/96 s.
    const double expectedSeconds = 64 * 6 * 0.02 + 32 * 3 * 2.5 / 96;
    EXPECT_NEAR(info.durationSeconds, expectedSeconds, 1e-3);
    EXPECT_NEAR(content::itSecondsTo(module, 1, 0), 7.68, 1e-9);
    EXPECT_NEAR(content::itSecondsTo(module, 1, 4), 7.68 + 4 * 3 * 2.5 / 96, 1e-9);

    // Millisecond steps of the clock: the reported position at a few moments inside rows.
    // The player starts over after the last row; the first step back marks the song's end.
    content_test::ClockedPlayback playback;
    ASSERT_NO_FATAL_FAILURE(playback.start(bytes));
    std::vector<content_test::Position> positions;
    for (int ms = 1; ms <= 11000; ++ms) {
        positions.push_back(playback.advance(1));
    }
    std::size_t songMs = positions.size();
    for (std::size_t i = 1; i < positions.size(); ++i) {
        if (positions[i] < positions[i - 1]) {
            songMs = i;
            break;
        }
    }
    EXPECT_NEAR(static_cast<double>(songMs) / 1000.0, expectedSeconds, 0.002);
    auto positionAt = [&](double seconds) {
        return positions.at(static_cast<std::size_t>(seconds * 1000.0) - 1);
    };
    EXPECT_EQ(positionAt(0.05), std::make_pair(0, 0));
    EXPECT_EQ(positionAt(3.06), std::make_pair(0, 25));
    EXPECT_EQ(positionAt(7.62), std::make_pair(0, 63));
    EXPECT_EQ(positionAt(8.04), std::make_pair(1, 4));
    EXPECT_EQ(positionAt(10.12), std::make_pair(1, 31));
    // Never backwards: order 0's rows, then order 1's.
    for (std::size_t i = 1; i < songMs; ++i) {
        ASSERT_LE(positions[i - 1], positions[i]) << "step " << i;
    }
}

// The RMS of `mix` over [fromSeconds, toSeconds).
double rmsBetween(const std::vector<float>& mix, double fromSeconds, double toSeconds) {
    const auto first = static_cast<std::size_t>(fromSeconds * content_test::kMixRate);
    const auto last = static_cast<std::size_t>(toSeconds * content_test::kMixRate);
    EXPECT_LE(last, mix.size());
    double sum = 0.0;
    for (std::size_t i = first; i < last && i < mix.size(); ++i) {
        sum += static_cast<double>(mix[i]) * mix[i];
    }
    return last <= first ? 0.0 : std::sqrt(sum / static_cast<double>(last - first));
}

TEST(ItWriterPlayback, InstrumentsPlayTheirSampleAndReleaseThroughTheEnvelope) {
    ItModule module;
    module.title = "envelope probe";
    module.channels = 2;
    module.samples = {squareSample(true)};
    content::ItInstrument pluck;
    pluck.name = "pluck";
    pluck.sample = 1;
    pluck.fadeout = 0;
    pluck.volumeEnvelope.enabled = true;
    // Holds at full volume on the sustain node, then falls to silence in 12 ticks.
    pluck.volumeEnvelope.points = {{0, 64}, {2, 64}, {14, 0}};
    pluck.volumeEnvelope.sustainBegin = 1;
    pluck.volumeEnvelope.sustainEnd = 1;
    content::ItInstrument silent = pluck;
    silent.name = "silent";
    silent.globalVolume = 0;
    module.instruments = {silent, pluck};
    content::ItPattern pattern(64, 2);
    pattern.at(0, 1) = ItCell{itNote(0, 5), 2, 64, 0, 0};
    pattern.at(0, 0) = ItCell{itNote(0, 5), 1, 64, 0, 0};
    pattern.at(16, 1).note = content::kNoteOff;
    module.patterns = {pattern};
    module.orders = {0};

    const std::vector<std::uint8_t> bytes = content::writeIt(module);
    EXPECT_EQ(u16At(bytes, 0x2C) & 4, 4);
    platform::ModuleInfo info;
    std::string error;
    ASSERT_TRUE(platform::readModuleInfo(bytes, info, error)) << error;
    ASSERT_EQ(info.instrumentNames.size(), 2u);
    EXPECT_EQ(info.instrumentNames.at(1), "pluck");

    content_test::ClockedPlayback playback;
    ASSERT_NO_FATAL_FAILURE(playback.start(bytes));
    playback.advance(3400);
    const std::vector<float> mix = playback.stopAndReadMix();
    // Sounds while held (rows 0..15 = 1.92 s), silent a few ticks after the note-off.
    EXPECT_GT(rmsBetween(mix, 0.0, 1.8), 0.05);
    EXPECT_LT(rmsBetween(mix, 2.32, 3.32), 1e-4);
}

TEST(ItWriterPlayback, ChannelAndPitchPansReachTheStereoMixOnly) {
    // Channel 1 sits hard left; channel 2 is centred but plays an instrument whose pan
    // follows pitch, two octaves above its centre note: hard right.
    ItModule module;
    module.channels = 2;
    module.channelPan = {0, 32};
    module.samples = {squareSample(true)};
    content::ItInstrument plain;
    plain.sample = 1;
    content::ItInstrument rising = plain;
    rising.pitchPanSeparation = 32;
    rising.pitchPanCentre = itNote(0, 5);
    module.instruments = {plain, rising};
    content::ItPattern pattern(64, 2);
    pattern.at(0, 0) = ItCell{itNote(0, 5), 1, 64, 0, 0};
    pattern.at(16, 0).note = content::kNoteCut;
    pattern.at(24, 1) = ItCell{itNote(0, 7), 2, 64, 0, 0};
    module.patterns = {pattern};
    module.orders = {0};
    const std::vector<std::uint8_t> bytes = content::writeIt(module);
    EXPECT_EQ(bytes[0x40], 0);
    EXPECT_EQ(bytes[0x41], 32);

    auto sides = [&](bool stereo) {
        content_test::ClockedPlayback playback;
        playback.start(bytes, stereo);
        playback.advance(4000);
        return playback.stopAndReadSides();
    };
    const auto [left, right] = sides(true);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_GT(rmsBetween(left, 0.1, 1.8), 0.05);
    EXPECT_LT(rmsBetween(right, 0.1, 1.8), 0.001);
    EXPECT_LT(rmsBetween(left, 3.0, 3.9), 0.001);
    EXPECT_GT(rmsBetween(right, 3.0, 3.9), 0.05);
    // The show's default mix puts both in the middle (the sides differ by dither only).
    const auto [centreLeft, centreRight] = sides(false);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(centreLeft.size(), centreRight.size());
    float widest = 0.0f;
    for (std::size_t i = 0; i < centreLeft.size(); ++i) {
        widest = std::max(widest, std::fabs(centreLeft[i] - centreRight[i]));
    }
    EXPECT_LT(widest, 0.001f);
    EXPECT_GT(rmsBetween(centreLeft, 0.1, 1.8), 0.02);
    EXPECT_GT(rmsBetween(centreRight, 3.0, 3.9), 0.02);
}

}  // namespace
