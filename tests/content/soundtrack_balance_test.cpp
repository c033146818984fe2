// The soundtrack's balance as a listener meets it: clean samples, a kick that gets out of the
// way, drums that are heard over the low end and some presence, from renders of copies of
// the module that keep only some of its channels.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <set>
#include <string>

#include "content/soundtrack.h"
#include "tests/content/clocked_playback.h"

namespace {

const content::ItModule& module() {
    static const content::ItModule built = content::soundtrackModule();
    return built;
}

// The channel whose cells play the named instrument (the first one that does).
int channelOf(const std::string& instrumentName) {
    const content::ItModule& song = module();
    for (const content::ItPattern& pattern : song.patterns) {
        for (int row = 0; row < pattern.rows; ++row) {
            for (int channel = 0; channel < pattern.channels; ++channel) {
                const content::ItCell& cell = pattern.at(row, channel);
                if (cell.instrument > 0 &&
                    song.instruments.at(cell.instrument - 1u).name == instrumentName) {
                    return channel;
                }
            }
        }
    }
    ADD_FAILURE() << "no channel plays " << instrumentName;
    return -1;
}

// The centred mix of the song with only `channels` left playing, to the song's end.
std::vector<float> renderOnly(const std::set<int>& channels) {
    content_test::ClockedPlayback playback;
    playback.start(content::writeIt(
        content::soundtrackModuleOnly(std::vector<int>(channels.begin(), channels.end()))));
    while (!playback.ended()) {
        playback.advance(100);
    }
    return playback.stopAndReadMix();
}

double power(const std::vector<float>& signal) {
    double sum = 0.0;
    for (float value : signal) {
        sum += static_cast<double>(value) * value;
    }
    return sum;
}

// Fourth-order Butterworth band pass (two high-pass and two low-pass biquads).
std::vector<float> bandPass(std::vector<float> signal, double lowHz, double highHz) {
    auto biquad = [&](double hz, bool highPass) {
        const double w = 2.0 * std::numbers::pi * hz / content_test::kMixRate;
        const double alpha = std::sin(w) / std::sqrt(2.0);
        const double c = std::cos(w);
        const double a0 = 1.0 + alpha;
        const double b1 = (highPass ? -(1.0 + c) : 1.0 - c) / a0;
        const double b0 = (highPass ? (1.0 + c) / 2.0 : (1.0 - c) / 2.0) / a0;
        const double a1 = -2.0 * c / a0;
        const double a2 = (1.0 - alpha) / a0;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (float& value : signal) {
            const double y = b0 * value + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = value;
            y2 = y1;
            y1 = y;
            value = static_cast<float>(y);
        }
    };
    for (int pass = 0; pass < 2; ++pass) {
        biquad(lowHz, true);
        biquad(highHz, false);
    }
    return signal;
}

TEST(SoundtrackBalance, NoSampleIsClippedAndTheKickDecaysQuickly) {
    for (const content::ItSample& sample : module().samples) {
        int peak = 0;
        for (std::int16_t value : sample.data) {
            peak = std::max(peak, std::abs(int{value}));
        }
        int run = 0;
        int longest = 0;
        for (std::int16_t value : sample.data) {
            run = std::abs(int{value}) == peak ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        EXPECT_LE(longest, 2) << sample.name << " is flat at its peak";
    }
    // The kick's level in 5 ms windows: 20 dB under its loudest window by 200 ms.
    const auto& kick = *std::find_if(module().samples.begin(), module().samples.end(),
                                     [](const auto& sample) { return sample.name == "kick"; });
    const std::size_t window = kick.c5Speed / 200;
    std::vector<double> levels;
    for (std::size_t at = 0; at + window <= kick.data.size(); at += window) {
        double sum = 0.0;
        for (std::size_t i = at; i < at + window; ++i) {
            sum += static_cast<double>(kick.data[i]) * kick.data[i];
        }
        levels.push_back(sum);
    }
    const double loudest = *std::max_element(levels.begin(), levels.end());
    const auto quiet = std::find_if(levels.begin(), levels.end(),
                                    [&](double level) { return level < loudest / 100.0; });
    EXPECT_LE(static_cast<double>(quiet - levels.begin()) * 5.0, 200.0) << "ms to -20 dB";
}

TEST(SoundtrackBalance, DrumsCutThroughTheLowEndAndThePresenceBandIsHeard) {
    const std::set<int> low = {channelOf("kick"), channelOf("bass"), channelOf("sub")};
    const std::set<int> beat = {channelOf("snare"), channelOf("clap"), channelOf("hat closed")};
    std::set<int> rest;
    for (int channel = 0; channel < module().channels; ++channel) {
        if (low.count(channel) == 0 && beat.count(channel) == 0) {
            rest.insert(channel);
        }
    }
    const std::vector<float> lowMix = renderOnly(low);
    const std::vector<float> beatMix = renderOnly(beat);
    const std::vector<float> restMix = renderOnly(rest);
    const double total = power(lowMix) + power(beatMix) + power(restMix);
    EXPECT_LE(power(lowMix) / total, 0.5) << "kick, bass and sub";
    EXPECT_GE(power(beatMix) / total, 0.08) << "snare, clap and hats";

    std::vector<float> whole(lowMix.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
        whole[i] = lowMix[i] + beatMix[i] + restMix[i];
    }
    const double presence = power(bandPass(whole, 2000.0, 6000.0)) / power(whole);
    EXPECT_GE(10.0 * std::log10(presence), -14.0) << "2-6 kHz share";
}

}  // namespace
