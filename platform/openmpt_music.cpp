// The module player behind platform::Music: libopenmpt renders the song; SDL audio plays it,
// or a clock paces the rendering when there is no device (or no real time, headless).
#include <SDL.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <libopenmpt/libopenmpt.hpp>
#include <memory>
#include <vector>

#include "core/console.h"
#include "core/input.h"
#include "core/output.h"
#include "core/process.h"
#include "platform/clock.h"
#include "platform/heard_position.h"
#include "platform/module_check.h"
#include "platform/music.h"

namespace platform {

namespace {

constexpr int kRate = 44100;
constexpr std::size_t kChunkFrames = 256;  // granularity of the position bookkeeping
constexpr std::uint64_t kLargestModule = 64u << 20;

// One loaded module; owns libopenmpt's object.
class ModuleFile {
  public:
    bool load(const std::string& path, std::string& error) {
        std::vector<std::uint8_t> bytes;
        core::InputProblem problem;
        if (!core::readRegularFile(path, kLargestModule, bytes, problem)) {
            error = problem.text;
            return false;
        }
        if (bytes.empty()) {
            error = "the soundtrack is empty";
            return false;
        }
        if (const std::string damage = findModuleDamage(bytes); !damage.empty()) {
            error = "is damaged: " + damage;
            return false;
        }
        try {
            module_ = std::make_unique<openmpt::module>(bytes);
        } catch (const std::exception& failure) {
            error = std::string("not a playable module (") + failure.what() + ")";
            module_.reset();
            return false;
        }
        // Played once: a song that ends (or would loop) before the show does is reported by
        // the show, instead of repeating under a show that waits for orders that never come.
        module_->set_repeat_count(0);
        return true;
    }

    // The player's dither of its 16-bit output draws on a random seed; off, the same song
    // renders to the same samples on every run.
    void ditherOff() { module_->ctl_set_integer("dither", 0); }

    void prepareToPlay(bool stereo) {
        module_->set_render_param(openmpt::module::RENDER_STEREOSEPARATION_PERCENT,
                                  stereo ? 100 : 0);
        module_->set_position_order_row(0, 0);
    }

    bool loaded() const { return module_ != nullptr; }
    void unload() { module_.reset(); }

    SongPosition position() const {
        return {module_->get_current_order(), module_->get_current_row()};
    }

    // Renders `frames` stereo frames; past the end of the song fills silence and returns false.
    bool render(std::int16_t* interleaved, std::size_t frames) {
        std::size_t done = 0;
        while (done < frames) {
            const std::size_t got =
                module_->read_interleaved_stereo(kRate, frames - done, interleaved + 2 * done);
            if (got == 0) {
                std::fill(interleaved + 2 * done, interleaved + 2 * frames, std::int16_t{0});
                return false;
            }
            done += got;
        }
        return true;
    }

  private:
    std::unique_ptr<openmpt::module> module_;
};

// A 16-bit stereo WAV file, complete or absent: the sizes are patched and the file renamed into
// place when it is closed. A write that fails ends the run with one line naming the file.
class WavWriter {
  public:
    void open(const std::string& path) {
        if (!file_.open(path) || !file_.write(std::array<std::uint8_t, 44>{})) {
            fail();
        }
        dataBytes_ = 0;
    }
    void write(const std::int16_t* interleaved, std::size_t frames) {
        if (!file_.isOpen()) {
            return;
        }
        if (!file_.write(interleaved, frames * 4)) {
            fail();
        }
        dataBytes_ += static_cast<std::uint32_t>(frames * 4);
    }
    void close() {
        if (!file_.isOpen()) {
            return;
        }
        auto put32 = [](std::uint8_t* at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i) {
                at[i] = static_cast<std::uint8_t>(v >> (8 * i));
            }
        };
        std::array<std::uint8_t, 44> header{'R', 'I', 'F', 'F', 0,   0,   0,   0, 'W', 'A', 'V',
                                            'E', 'f', 'm', 't', ' ', 16,  0,   0, 0,   1,   0,
                                            2,   0,   0,   0,   0,   0,   0,   0, 0,   0,   4,
                                            0,   16,  0,   'd', 'a', 't', 'a', 0, 0,   0,   0};
        put32(&header[4], 36 + dataBytes_);
        put32(&header[24], kRate);
        put32(&header[28], kRate * 4);
        put32(&header[40], dataBytes_);
        if (!file_.writeAt(0, header.data(), header.size()) || !file_.commit()) {
            fail();
        }
    }

  private:
    [[noreturn]] void fail() {
        core::errorLine(file_.path() + ": " + file_.error());
        core::exitProcess(1);
    }
    core::OutputFile file_;
    std::uint32_t dataBytes_ = 0;
};

// Renders the song lazily, exactly as far as a clock says has been played: 44100 samples per
// second of that clock's time. Used headless (virtual clock) and without a sound device.
class ClockedPlayer {
  public:
    void attach(Clock& clock, std::string wavPath, SoundSink sink) {
        clock_ = &clock;
        wavPath_ = std::move(wavPath);
        sink_ = sink;
    }
    ModuleFile& module() { return module_; }

    void play(bool stereo) {
        module_.prepareToPlay(stereo);
        startMs_ = clock_->milliseconds();
        rendered_ = 0;
        playing_ = true;
        ended_ = false;
        module_.ditherOff();
        if (!wavPath_.empty()) {
            wav_.open(wavPath_);
        }
    }

    SongPosition position() {
        if (!playing_) {
            return {};
        }
        const std::uint64_t elapsedMs = clock_->milliseconds() - startMs_;
        const std::uint64_t due = elapsedMs * kRate / 1000;
        while (rendered_ < due) {
            const std::size_t frames =
                static_cast<std::size_t>(std::min<std::uint64_t>(due - rendered_, kChunkFrames));
            ended_ = !module_.render(buffer_.data(), frames) || ended_;
            wav_.write(buffer_.data(), frames);
            if (sink_ != nullptr) {
                sink_({buffer_.data(), frames * 2});
            }
            rendered_ += frames;
        }
        return module_.position();
    }
    bool ended() const { return ended_; }

    void stop() {
        playing_ = false;
        wav_.close();
    }

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

class ClockedMusic final : public Music {
  public:
    void attach(Clock& clock, std::string wavPath, SoundSink sink) {
        player_.attach(clock, std::move(wavPath), sink);
    }
    bool startOutput(int) override { return true; }
    bool load(const std::string& path, std::string& error) override {
        return player_.module().load(path, error);
    }
    void play(bool stereo) override { player_.play(stereo); }
    SongPosition position() override { return player_.position(); }
    bool songEnded() override { return player_.ended(); }
    bool stop() override {
        player_.stop();
        return true;
    }
    bool free() override {
        player_.module().unload();
        return true;
    }
    void closeOutput() override {}

  private:
    ClockedPlayer player_;
};

// Plays through the SDL audio device. The callback renders in small chunks and records, per
// chunk, where it starts in the song; the main thread never touches libopenmpt while the
// device runs, it only looks up which chunk the listener hears now.
class DeviceMusic final : public Music {
  public:
    bool startOutput(int rate) override {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            return useSilence();
        }
        SDL_AudioSpec wanted{};
        wanted.freq = rate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
        wanted.samples = 1024;
        wanted.callback = &DeviceMusic::fill;
        wanted.userdata = this;
        SDL_AudioSpec obtained{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device_ == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return useSilence();
        }
        heard_.setBufferFrames(obtained.samples);
        return true;
    }

    bool load(const std::string& path, std::string& error) override {
        if (silent_) {
            return silence_.module().load(path, error);
        }
        return module_.load(path, error);
    }

    void play(bool stereo) override {
        if (silent_) {
            silence_.play(stereo);
            return;
        }
        SDL_LockAudioDevice(device_);
        module_.prepareToPlay(stereo);
        heard_.reset();
        ended_.store(false);
        devicePlaying_ = true;
        SDL_UnlockAudioDevice(device_);
        SDL_PauseAudioDevice(device_, 0);
    }

    SongPosition position() override {
        if (silent_) {
            return silence_.position();
        }
        return heard_.positionAt(nowMicroseconds());
    }

    bool songEnded() override {
        return silent_ ? silence_.ended() : ended_.load(std::memory_order_acquire);
    }

    bool stop() override {
        if (silent_) {
            silence_.stop();
            return true;
        }
        if (device_ != 0) {
            SDL_PauseAudioDevice(device_, 1);
            SDL_LockAudioDevice(device_);
            devicePlaying_ = false;
            SDL_UnlockAudioDevice(device_);
        }
        return true;
    }

    bool free() override {
        if (silent_) {
            silence_.module().unload();
            return true;
        }
        if (device_ != 0) {
            SDL_LockAudioDevice(device_);
            module_.unload();
            SDL_UnlockAudioDevice(device_);
        }
        return true;
    }

    void closeOutput() override {
        if (device_ != 0) {
            SDL_CloseAudioDevice(device_);
            device_ = 0;
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

  private:
    static std::int64_t nowMicroseconds() {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    bool useSilence() {
        silent_ = true;
        silence_.attach(realClock(), "", nullptr);
        return false;
    }

    static void fill(void* self, Uint8* stream, int length) {
        static_cast<DeviceMusic*>(self)->render(reinterpret_cast<std::int16_t*>(stream),
                                                static_cast<std::size_t>(length) / 4);
    }

    void render(std::int16_t* out, std::size_t frames) {
        if (!devicePlaying_ || !module_.loaded()) {
            std::fill(out, out + frames * 2, std::int16_t{0});
            return;
        }
        std::size_t done = 0;
        while (done < frames) {
            const std::size_t part = std::min(kChunkFrames, frames - done);
            heard_.chunkStarts(renderedFrames_, module_.position());
            if (!module_.render(out + done * 2, part)) {
                ended_.store(true, std::memory_order_release);
            }
            renderedFrames_ += part;
            done += part;
        }
        heard_.handed(renderedFrames_, nowMicroseconds());
    }

    SDL_AudioDeviceID device_ = 0;
    bool silent_ = false;
    ClockedPlayer silence_;
    ModuleFile module_;
    bool devicePlaying_ = false;
    std::uint64_t renderedFrames_ = 0;
    HeardPosition heard_;
    std::atomic<bool> ended_{false};
};

}  // namespace

Music& deviceMusic() {
    static DeviceMusic music;
    return music;
}

Music& clockedMusic(Clock& clock, const std::string& wavPath, SoundSink sink) {
    static ClockedMusic music;
    music.attach(clock, wavPath, sink);
    return music;
}

}  // namespace platform
