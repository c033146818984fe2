#include "content/soundtrack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "content/synth.h"
#include "core/cues.h"
#include "platform/module_info.h"
#include "sequencer/scenes.h"
#include "tests/content/clocked_playback.h"

namespace {

using content::ItModule;

const ItModule& module() {
    static const ItModule built = content::soundtrackModule();
    return built;
}

TEST(Soundtrack, OrdersPlayEveryPatternOnceAtOneSpeedWithNoJumps) {
    const ItModule& song = module();
    ASSERT_EQ(song.orders.size(), static_cast<std::size_t>(content::kSoundtrackOrders));
    // Orders 0..31, the last one ending with the show.
    ASSERT_EQ(content::kSoundtrackOrders, core::sceneStartOrder(core::kSceneCount - 1) + 1);
    for (int order = 0; order < content::kSoundtrackOrders; ++order) {
        EXPECT_EQ(song.orders[static_cast<std::size_t>(order)], order);
    }
    EXPECT_EQ(song.initialSpeed, 6);
    EXPECT_EQ(song.initialTempo, 125);
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        EXPECT_EQ(song.patterns[p].rows, 64) << "pattern " << p;
        for (std::size_t at = 0; at < song.patterns[p].cells.size(); ++at) {
            const content::ItCell& cell = song.patterns[p].cells[at];
            // The one break allowed ends the song once the show is over.
            const int row = static_cast<int>(at) / song.patterns[p].channels;
            if (p + 1 == song.patterns.size() && row > sequencer::kLastSceneEndRow &&
                cell.effect == content::itEffect('C')) {
                continue;
            }
            // Speed, tempo, jumps, breaks, loops and delays would all move the show's clock.
            for (char letter : {'A', 'T', 'B', 'C'}) {
                ASSERT_NE(cell.effect, content::itEffect(letter)) << "pattern " << p;
            }
            ASSERT_FALSE(cell.effect == content::itEffect('S') &&
                         ((cell.param >> 4) == 0xB || (cell.param >> 4) == 0xE))
                << "pattern " << p;
        }
    }
    // 31 whole orders and 36 rows of the last scene: about four minutes.
    EXPECT_NEAR(content::itSecondsTo(song, 31, 36), 31 * 7.68 + 36 * 0.12, 1e-9);
}

TEST(Soundtrack, BuildsTheSameBytesEveryTime) {
    const std::vector<std::uint8_t> first = content::buildSoundtrack();
    const std::vector<std::uint8_t> second = content::buildSoundtrack();
    ASSERT_EQ(first.size(), second.size());
    EXPECT_TRUE(first == second);
    EXPECT_EQ(std::string(first.begin(), first.begin() + 4), "IMPM");
    EXPECT_EQ(first[0x34], 128);  // full separation for players of the file
    ASSERT_EQ(module().channelPan.size(), static_cast<std::size_t>(module().channels));
    for (int channel = 0; channel < module().channels; ++channel) {
        const auto at = static_cast<std::size_t>(channel);
        EXPECT_EQ(first[0x40 + at], module().channelPan[at]) << channel;
    }
}

// The instruments each channel plays, by name.
std::vector<std::set<std::string>> instrumentsByChannel() {
    const ItModule& song = module();
    std::vector<std::set<std::string>> names(static_cast<std::size_t>(song.channels));
    for (const content::ItPattern& pattern : song.patterns) {
        for (int row = 0; row < pattern.rows; ++row) {
            for (int channel = 0; channel < pattern.channels; ++channel) {
                const content::ItCell& cell = pattern.at(row, channel);
                if (cell.instrument > 0) {
                    names[static_cast<std::size_t>(channel)].insert(
                        song.instruments.at(cell.instrument - 1u).name);
                }
            }
        }
    }
    return names;
}

TEST(Soundtrack, StereoArrangementKeepsTheLowEndCentredAndSpreadsTheRest) {
    const ItModule& song = module();
    const auto names = instrumentsByChannel();
    ASSERT_EQ(song.channelPan.size(), names.size());
    std::vector<int> padPans;
    std::vector<int> leadPans;
    for (std::size_t channel = 0; channel < names.size(); ++channel) {
        const int pan = song.channelPan[channel];
        for (const char* centred : {"kick", "bass", "sub", "impact"}) {
            if (names[channel].count(centred) > 0) {
                EXPECT_EQ(pan, 32) << centred << " on channel " << channel;
            }
        }
        if (names[channel].count("pad") > 0) {
            padPans.push_back(pan);
        }
        if (names[channel].count("lead") > 0) {
            leadPans.push_back(pan);
        }
    }
    // The pad chord spreads wide; the lead and its echo sit on opposite sides.
    ASSERT_EQ(padPans.size(), 3u);
    EXPECT_LE(*std::min_element(padPans.begin(), padPans.end()), 12);
    EXPECT_GE(*std::max_element(padPans.begin(), padPans.end()), 52);
    ASSERT_EQ(leadPans.size(), 2u);
    EXPECT_LT((leadPans[0] - 32) * (leadPans[1] - 32), 0);
    // Notes move between the speakers (pan and panbrello effects), the builds swing.
    int panMoves = 0;
    for (const content::ItPattern& pattern : song.patterns) {
        for (const content::ItCell& cell : pattern.cells) {
            panMoves += cell.effect == content::itEffect('X') ? 1 : 0;
        }
    }
    EXPECT_GT(panMoves, 500);
    for (int build : {3, 4, 23}) {
        const auto& cells = song.patterns.at(static_cast<std::size_t>(build)).cells;
        EXPECT_TRUE(std::any_of(
            cells.begin(), cells.end(),
            [](const content::ItCell& cell) { return cell.effect == content::itEffect('Y'); }))
            << "order " << build;
    }
}

// How long a voice of `instrument` takes to fall silent once released (note off or fade):
// the volume envelope's run from its sustain node to a final 0, or the fade-out.
double releaseSeconds(const content::ItInstrument& instrument) {
    constexpr double kTickSeconds = 0.02;
    const content::ItEnvelope& envelope = instrument.volumeEnvelope;
    if (envelope.enabled && envelope.sustainBegin >= 0 && envelope.points.back().value == 0) {
        const auto& sustain = envelope.points.at(static_cast<std::size_t>(envelope.sustainBegin));
        return (envelope.points.back().tick - sustain.tick) * kTickSeconds;
    }
    if (instrument.fadeout > 0) {
        return 2048.0 / instrument.fadeout * kTickSeconds;
    }
    return 1e9;  // rings on until its sample ends
}

TEST(Soundtrack, EveryVoiceEndsThroughAReleaseNotACut) {
    // A voice stopped dead mid-swing clicks. Walk every channel through the song: a note
    // cut must find the channel silent (sample over, or released long enough before), and
    // an instrument that cuts the voice it replaces must only be struck on a silent one.
    const ItModule& song = module();
    constexpr double kRowSeconds = 0.12;
    for (int channel = 0; channel < song.channels; ++channel) {
        bool sounding = false;
        const content::ItInstrument* instrument = nullptr;
        int pitch = 0;
        double started = 0.0;
        double released = -1.0;
        auto stillSounding = [&](double now) {
            if (!sounding) {
                return false;
            }
            const content::ItSample& sample = song.samples.at(instrument->sample - 1u);
            const double rate = sample.c5Speed * std::pow(2.0, (pitch - 60) / 12.0);
            if (!sample.loop && now - started >= static_cast<double>(sample.data.size()) / rate) {
                return false;
            }
            return released < 0.0 || now - released < releaseSeconds(*instrument);
        };
        for (int order = 0; order < content::kSoundtrackOrders; ++order) {
            const content::ItPattern& pattern = song.patterns.at(static_cast<std::size_t>(order));
            for (int row = 0; row < pattern.rows; ++row) {
                const double now = (order * 64 + row) * kRowSeconds;
                const content::ItCell& cell = pattern.at(row, channel);
                if (cell.note == content::kNoteCut) {
                    EXPECT_FALSE(stillSounding(now)) << "cut on a sounding voice: channel "
                                                     << channel << ", " << order << ":" << row;
                    sounding = false;
                } else if (cell.note == content::kNoteOff || cell.note == content::kNoteFade) {
                    if (sounding && released < 0.0) {
                        released = now;
                    }
                } else if (cell.note >= 0 && cell.note < 120 && cell.instrument > 0) {
                    if (stillSounding(now)) {
                        EXPECT_NE(instrument->newNoteAction, content::NewNoteAction::cut)
                            << instrument->name << " cut by the next note: channel " << channel
                            << ", " << order << ":" << row;
                    }
                    instrument = &song.instruments.at(cell.instrument - 1u);
                    pitch = cell.note;
                    started = now;
                    released = -1.0;
                    sounding = true;
                }
            }
        }
    }
}

// The notes of `order` at `row`, by the name of their instrument.
std::set<std::string> instrumentsAt(int order, int row) {
    const ItModule& song = module();
    const content::ItPattern& pattern = song.patterns.at(static_cast<std::size_t>(order));
    std::set<std::string> names;
    for (int channel = 0; channel < pattern.channels; ++channel) {
        const content::ItCell& cell = pattern.at(row, channel);
        if (cell.note >= 0 && cell.note < 120 && cell.instrument > 0) {
            names.insert(song.instruments.at(cell.instrument - 1u).name);
        }
    }
    return names;
}

TEST(Soundtrack, EveryCueRowOfTheShowCarriesAnAccent) {
    const std::set<std::string> accents = {"stab minor", "stab major", "clap",  "snare",
                                           "tom",        "blip",       "crash", "impact"};
    int cues = 0;
    for (int order = 0; order < content::kSoundtrackOrders; ++order) {
        for (int row : content::showCueRows(order)) {
            ++cues;
            const std::set<std::string> names = instrumentsAt(order, row);
            bool accented = false;
            for (const std::string& name : names) {
                accented = accented || accents.count(name) > 0;
            }
            EXPECT_TRUE(accented) << "order " << order << " row " << row;
        }
    }
    EXPECT_GT(cues, 250);
    // The flash rows of the tunnel and the cut rows of the montage are among them.
    EXPECT_EQ(content::showCueRows(5).front(), 3);
    EXPECT_EQ(content::showCueRows(24).back(), 63);
    EXPECT_TRUE(content::showCueRows(22).empty());
}

TEST(Soundtrack, SectionsChangeWhereTheScenesChange) {
    auto instrumentsOf = [](int order) {
        std::set<std::string> all;
        for (int row = 0; row < content::kSoundtrackRows; ++row) {
            const std::set<std::string> names = instrumentsAt(order, row);
            all.insert(names.begin(), names.end());
        }
        return all;
    };
    const std::vector<int>& starts = content::showSceneStarts();
    ASSERT_EQ(starts.size(), 21u);
    for (std::size_t i = 1; i < starts.size(); ++i) {
        EXPECT_NE(instrumentsOf(starts[i]), instrumentsOf(starts[i] - 1))
            << "scene starting at order " << starts[i];
    }
    // The drops land with a crash and an impact.
    for (int order : {5, 24}) {
        const std::set<std::string> downbeat = instrumentsAt(order, 0);
        EXPECT_TRUE(downbeat.count("crash") && downbeat.count("impact")) << order;
    }
}

// The chords under each order, as the bass roots at the start of its four bars.
TEST(Soundtrack, HarmonyVariesAndTheClimaxLiftsItsKey) {
    const ItModule& song = module();
    const std::set<std::string> tuned = {"bass", "sub",   "pad",        "lead",
                                         "pluck", "bell", "stab minor", "stab major"};
    std::set<std::vector<int>> progressions;
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        const content::ItPattern& pattern = song.patterns[p];
        std::vector<int> roots;
        std::set<int> pitchClasses;
        for (int row = 0; row < pattern.rows; ++row) {
            for (int channel = 0; channel < pattern.channels; ++channel) {
                const content::ItCell& cell = pattern.at(row, channel);
                if (cell.note < 0 || cell.note >= 120 || cell.instrument == 0) {
                    continue;
                }
                const std::string& name = song.instruments.at(cell.instrument - 1u).name;
                if (tuned.count(name) > 0) {
                    pitchClasses.insert(cell.note % 12);
                }
                if (name == "sub" && row % 16 == 0) {
                    roots.push_back(cell.note % 12);
                }
            }
        }
        if (roots.size() == 4) {
            progressions.insert(roots);
        }
        // B minor at the climax: no C or F natural (A minor's own notes) in any tuned part.
        const bool climax = p >= static_cast<std::size_t>(core::sceneStartOrder(16)) &&
                            p < static_cast<std::size_t>(core::sceneStartOrder(18));
        const bool inAMinor = pitchClasses.count(0) > 0 || pitchClasses.count(5) > 0;
        EXPECT_EQ(inAMinor, !climax) << "order " << p;
    }
    EXPECT_GE(progressions.size(), 4u);
}

TEST(SoundtrackPlayback, PlaysOrdersInSequenceWithoutClippingAtASaneLevel) {
    const std::vector<std::uint8_t> bytes = content::buildSoundtrack();
    platform::ModuleInfo info;
    std::string error;
    ASSERT_TRUE(platform::readModuleInfo(bytes, info, error)) << error;
    ASSERT_EQ(info.orderPatterns.size(), static_cast<std::size_t>(content::kSoundtrackOrders));
    // Players stop within a second of the show's end (order 31, row 36, at 242.4 s).
    constexpr double kShowEnd = 31 * 7.68 + sequencer::kLastSceneEndRow * 0.12;
    EXPECT_GT(info.durationSeconds, kShowEnd);
    EXPECT_LE(info.durationSeconds, kShowEnd + 1.0);

    // Ten-millisecond steps of the clock to the song's end: positions, then the peak and
    // RMS of the mix the player wrote meanwhile.
    content_test::ClockedPlayback playback;
    ASSERT_NO_FATAL_FAILURE(playback.start(bytes));
    constexpr std::uint32_t kStepMs = 10;
    std::vector<content_test::Position> positions;
    while (!playback.ended()) {
        ASSERT_LT(positions.size(), 30000u) << "the song never ended";
        const content_test::Position at = playback.advance(kStepMs);
        if (!positions.empty() && at < positions.back()) {
            break;  // over: the player rests at the start
        }
        positions.push_back(at);
    }
    EXPECT_GT(static_cast<double>(positions.size()) * 0.01, kShowEnd);
    EXPECT_LE(static_cast<double>(positions.size()) * 0.01, kShowEnd + 1.0);
    // Orders arrive one by one, rows never go back.
    std::int32_t expectedOrder = 0;
    for (std::size_t i = 1; i < positions.size(); ++i) {
        ASSERT_LE(positions[i - 1], positions[i]) << "step " << i;
        if (positions[i].first != positions[i - 1].first) {
            ASSERT_EQ(positions[i].first, ++expectedOrder);
            EXPECT_LE(positions[i].second, 1);
        }
    }
    EXPECT_EQ(expectedOrder, content::kSoundtrackOrders - 1);
    // Row 36 of order 31 comes at 31 × 7.68 + 36 × 0.12 s.
    const auto row36 = std::find_if(positions.begin(), positions.end(), [](const auto& p) {
        return p >= std::make_pair(std::int32_t{31}, std::int32_t{36});
    });
    ASSERT_NE(row36, positions.end());
    EXPECT_NEAR(static_cast<double>(row36 - positions.begin() + 1) * 0.01, 242.4, 0.02);

    const std::vector<float> mix = playback.stopAndReadMix();
    double peak = 0.0;
    double sumSquares = 0.0;
    for (float sample : mix) {
        peak = std::max(peak, static_cast<double>(std::fabs(sample)));
        sumSquares += static_cast<double>(sample) * sample;
    }
    const double rmsDb = 10.0 * std::log10(sumSquares / static_cast<double>(mix.size()));
    EXPECT_LT(peak, 0.9);  // under -0.9 dBFS
    EXPECT_GT(peak, 0.3);
    EXPECT_GT(rmsDb, -22.0);
    EXPECT_LT(rmsDb, -14.0);
}

TEST(Synth, IntegerSineHitsItsQuarterPointsAndIsOddWithinRounding) {
    using content::synth::sine;
    EXPECT_EQ(sine(0), 0);
    EXPECT_EQ(sine(0x40000000u), 32767);
    EXPECT_EQ(sine(0x80000000u), 0);
    EXPECT_EQ(sine(0xC0000000u), -32767);
    // sin(π/6) = 0.5
    EXPECT_NEAR(sine(0x15555555u), 16384, 2);
    for (std::uint32_t phase = 12345; phase < 0x80000000u; phase += 0x01234567u) {
        // The table is exactly odd; interpolation rounds down on both sides.
        ASSERT_NEAR(sine(phase), -sine(0u - phase), 1) << phase;
    }
}

TEST(Synth, PitchedSamplesAreInTuneAndLoopWithinTheirData) {
    const ItModule& song = module();
    for (const content::ItSample& sample : song.samples) {
        ASSERT_FALSE(sample.data.empty()) << sample.name;
        std::int32_t largest = 0;
        for (std::int16_t value : sample.data) {
            largest = std::max<std::int32_t>(largest, std::abs(value));
        }
        EXPECT_LE(largest, 30000) << sample.name;  // headroom inside each sample
        EXPECT_GT(largest, 20000) << sample.name;
        if (sample.loop) {
            EXPECT_LT(sample.loopBegin, sample.loopEnd) << sample.name;
            EXPECT_LE(sample.loopEnd, sample.data.size()) << sample.name;
        }
    }
    // The lead's loop holds a whole number of 256-sample periods at 261.63 Hz per C-5.
    const content::ItSample lead = content::synth::lead();
    EXPECT_EQ((lead.loopEnd - lead.loopBegin) % 256, 0u);
    EXPECT_EQ(lead.c5Speed, content::synth::kPitchedC5Speed);
    EXPECT_EQ(content::synth::kPitchedC5Speed, 66976u);
}

TEST(Synth, LoopsJoinWithoutAJumpAndOneShotsEndInSilence) {
    for (const content::ItSample& sample : module().samples) {
        const std::vector<std::int16_t>& d = sample.data;
        if (!sample.loop) {
            // Every one-shot, the reversed cymbal too, starts and ends without a step.
            EXPECT_LE(std::abs(d.front()), 64) << sample.name;
            EXPECT_LE(std::abs(d.back()), 64) << sample.name;
            continue;
        }
        int largestStep = 0;
        for (std::size_t i = sample.loopBegin + 1; i < sample.loopEnd; ++i) {
            largestStep = std::max(largestStep, std::abs(d[i] - d[i - 1]));
        }
        const int seam = std::abs(d[sample.loopBegin] - d[sample.loopEnd - 1]);
        EXPECT_LE(seam, largestStep) << sample.name;
    }
}

TEST(Synth, NormaliseScalesToThePeakTowardZero) {
    const std::vector<std::int16_t> out = content::synth::normalise({-40000, 20000, 3, 0}, 30000);
    EXPECT_EQ(out, (std::vector<std::int16_t>{-30000, 15000, 2, 0}));
    EXPECT_EQ(content::synth::normalise({0, 0}, 30000), (std::vector<std::int16_t>{0, 0}));
}

}  // namespace
