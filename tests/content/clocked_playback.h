#pragma once
// Plays module bytes through the platform's clocked player on a fresh virtual clock, for the
// content tests: where the song is as the clock moves on, and the mix the player wrote.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/music.h"
#include "tests/support/modules.h"
#include "tests/support/run_program.h"

namespace content_test {

inline constexpr std::int32_t kMixRate = 44100;  // the clocked player's samples per second
inline constexpr std::size_t kWavHeaderBytes = 44;

using Position = std::pair<std::int32_t, std::int32_t>;  // (order, row), ordered by song time

class ClockedPlayback {
  public:
    ~ClockedPlayback() {
        if (music_ != nullptr) {
            music_->stop();
            music_->free();
        }
    }

    // Writes the bytes to a file, loads and plays them (centred, or with `stereo` as the
    // module pans); use inside ASSERT_NO_FATAL_FAILURE.
    void start(const std::vector<std::uint8_t>& bytes, bool stereo = false) {
        const std::string directory = testsupport::makeTempDirectory("content-playback");
        wavPath_ = directory + "/mix.wav";
        testsupport::writeFile(directory + "/song.it", bytes);
        music_ = &platform::clockedMusic(*clock_, wavPath_);
        std::string error;
        ASSERT_TRUE(music_->load(directory + "/song.it", error)) << error;
        music_->play(stereo);
    }

    // Moves the clock on by `milliseconds` and says where the song is then.
    Position advance(std::uint32_t milliseconds) {
        clock_->waitUntil(clock_->milliseconds() + milliseconds);
        const platform::SongPosition at = music_->position();
        return {at.order, at.row};
    }

    // Whether the player has played the song to its end.
    bool ended() { return music_->songEnded(); }

    // Stops the song and reads back its mix: one value per frame, the mean of the two sides,
    // scaled so that full scale is 1.
    std::vector<float> stopAndReadMix() {
        const auto [left, right] = stopAndReadSides();
        std::vector<float> mono(left.size());
        for (std::size_t i = 0; i < mono.size(); ++i) {
            mono[i] = (left[i] + right[i]) / 2.0f;
        }
        return mono;
    }

    // The left and right sides of the mix, full scale being 1.
    std::pair<std::vector<float>, std::vector<float>> stopAndReadSides() {
        music_->stop();
        std::ifstream file(wavPath_, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
        std::vector<float> left;
        std::vector<float> right;
        for (std::size_t at = kWavHeaderBytes; at + 4 <= bytes.size(); at += 4) {
            auto sample = [&](std::size_t offset) {
                const auto low = static_cast<std::uint8_t>(bytes[offset]);
                const auto high = static_cast<std::uint8_t>(bytes[offset + 1]);
                return static_cast<float>(static_cast<std::int16_t>(low | high << 8)) / 32768.0f;
            };
            left.push_back(sample(at));
            right.push_back(sample(at + 2));
        }
        return {left, right};
    }

  private:
    std::unique_ptr<platform::Clock> clock_ = platform::makeVirtualClock();
    platform::Music* music_ = nullptr;
    std::string wavPath_;
};

}  // namespace content_test
