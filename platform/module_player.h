#pragma once
// The module player's parts shared by the sound backends: one loaded song, the WAV writer, the
// renderer a sound device pulls from, and a renderer paced by a clock instead of a sound device
// (headless, or when no device opens).
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "core/output.h"
#include "platform/heard_position.h"
#include "platform/music.h"

namespace openmpt {
class module;
}

namespace platform {

class Clock;

inline constexpr int kSongRate = 44100;
inline constexpr std::size_t kChunkFrames = 256;  // granularity of the position bookkeeping

// One loaded module; owns libopenmpt's object.
class ModuleFile {
  public:
    ModuleFile();
    ~ModuleFile();
    bool load(const std::string& path, std::string& error);
    // The player's dither of its 16-bit output draws on a random seed; off, the same song
    // renders to the same samples on every run.
    void ditherOff();
    void prepareToPlay(bool stereo);
    bool loaded() const { return module_ != nullptr; }
    void unload();
    SongPosition position() const;
    // Renders `frames` stereo frames; past the end of the song fills silence and returns false.
    bool render(std::int16_t* interleaved, std::size_t frames);

  private:
    std::unique_ptr<openmpt::module> module_;
};

// A 16-bit stereo WAV file, complete or absent: the sizes are patched and the file renamed into
// place when it is closed. A write that fails stops the writing and is kept as one line naming
// the file, for takeProblem.
class WavWriter {
  public:
    void open(const std::string& path);
    void write(const std::int16_t* interleaved, std::size_t frames);
    void close();
    std::string takeProblem() { return std::exchange(problem_, {}); }

  private:
    void fail();
    core::OutputFile file_;
    std::uint32_t dataBytes_ = 0;
    std::string problem_;
};

// The song as a sound device pulls it: rendered in chunks whose starts in the song are recorded,
// so the main thread looks up what is heard without touching the module while the device runs.
class DevicePlayer {
  public:
    ModuleFile& module() { return module_; }
    HeardPosition& heard() { return heard_; }
    void play(bool stereo);
    // The device's turn: `frames` stereo frames into `interleaved`.
    void render(std::int16_t* interleaved, std::size_t frames);
    // All rendered so far has been handed to the device at `atMicroseconds`.
    void handed(std::int64_t atMicroseconds) { heard_.handed(renderedFrames_, atMicroseconds); }
    bool ended() const { return ended_.load(std::memory_order_acquire); }

  private:
    ModuleFile module_;
    HeardPosition heard_;
    std::uint64_t renderedFrames_ = 0;
    std::atomic<bool> ended_{false};
};

// Renders the song lazily, exactly as far as a clock says has been played: kSongRate samples
// per second of that clock's time. Used headless (virtual clock) and without a sound device.
class ClockedPlayer {
  public:
    void attach(Clock& clock, std::string wavPath, SoundSink sink);
    ModuleFile& module() { return module_; }
    void play(bool stereo);
    SongPosition position();
    bool ended() const { return ended_; }
    void stop();
    std::string takeProblem() { return wav_.takeProblem(); }

  private:
    Clock* clock_ = nullptr;
    std::string wavPath_;
    SoundSink sink_ = nullptr;
    ModuleFile module_;
    WavWriter wav_;
    std::array<std::int16_t, kChunkFrames * 2> buffer_{};
    std::uint32_t startMs_ = 0;
    std::uint64_t rendered_ = 0;
    bool playing_ = false;
    bool ended_ = false;
};

}  // namespace platform
