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
#include "sequencer/scenes.h"
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

// The loudness meter's weighting: a +4 dB shelf above about 1.7 kHz and a high pass at 38 Hz.
std::vector<float> loudnessWeighted(std::vector<float> signal) {
    auto biquad = [&](std::array<double, 3> b, std::array<double, 3> a) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (float& value : signal) {
            const double y = (b[0] * value + b[1] * x1 + b[2] * x2 - a[1] * y1 - a[2] * y2) / a[0];
            x2 = x1;
            x1 = value;
            y2 = y1;
            y1 = y;
            value = static_cast<float>(y);
        }
    };
    const double rate = content_test::kMixRate;
    double k = std::tan(std::numbers::pi * 1681.974450955533 / rate);
    double q = 0.7071752369554196;
    const double vh = std::pow(10.0, 3.999843853973347 / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    biquad({vh + vb * k / q + k * k, 2.0 * (k * k - vh), vh - vb * k / q + k * k},
           {1.0 + k / q + k * k, 2.0 * (k * k - 1.0), 1.0 - k / q + k * k});
    k = std::tan(std::numbers::pi * 38.13547087602444 / rate);
    q = 0.5003270373238773;
    biquad({1.0, -2.0, 1.0}, {1.0 + k / q + k * k, 2.0 * (k * k - 1.0), 1.0 - k / q + k * k});
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

// Loudness in 3 s windows stepped 100 ms through each scene: the spread between the 10th and
// 95th percentile is the scene's movement.
TEST(SoundtrackBalance, MostScenesMoveTheirLevelByTwoDecibels) {
    std::set<int> all;
    for (int channel = 0; channel < module().channels; ++channel) {
        all.insert(channel);
    }
    const std::vector<float> heard = loudnessWeighted(renderOnly(all));
    const std::vector<int>& starts = content::showSceneStarts();
    const double orderSeconds = content::kSoundtrackRows * content::kSoundtrackRowSeconds;
    const auto window = static_cast<std::size_t>(3 * content_test::kMixRate);
    const auto step = static_cast<std::size_t>(content_test::kMixRate / 10);
    int moving = 0;
    std::string ranges;
    for (std::size_t scene = 0; scene < starts.size(); ++scene) {
        const double end = scene + 1 < starts.size()
                               ? starts[scene + 1] * orderSeconds
                               : (content::kSoundtrackOrders - 1) * orderSeconds +
                                     sequencer::kLastSceneEndRow * content::kSoundtrackRowSeconds;
        const auto first =
            static_cast<std::size_t>(starts[scene] * orderSeconds * content_test::kMixRate);
        const auto last =
            std::min(heard.size(), static_cast<std::size_t>(end * content_test::kMixRate));
        std::vector<double> levels;
        for (std::size_t at = first; at + window <= last; at += step) {
            double sum = 1e-12;
            for (std::size_t i = at; i < at + window; ++i) {
                sum += static_cast<double>(heard[i]) * heard[i];
            }
            levels.push_back(10.0 * std::log10(sum / static_cast<double>(window)));
        }
        std::sort(levels.begin(), levels.end());
        const double range = levels.at(levels.size() * 95 / 100) - levels.at(levels.size() / 10);
        moving += range >= 2.0 ? 1 : 0;
        ranges += " " + std::to_string(static_cast<int>(std::lround(range * 10)));
    }
    EXPECT_GE(moving, 14) << "ranges in tenths of a dB:" << ranges;
}

}  // namespace
