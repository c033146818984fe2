// The module player behind platform::Music: libopenmpt renders the song; SDL audio plays it,
// or a clock paces the rendering when there is no device (or no real time, headless).
#include <SDL.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <libopenmpt/libopenmpt.hpp>
#include <memory>
#include <vector>

#include "platform/clock.h"
#include "platform/music.h"

namespace platform {

namespace {

constexpr int kRate = 44100;
constexpr std::size_t kChunkFrames = 256;  // granularity of the position bookkeeping

// One loaded module; owns libopenmpt's object.
class ModuleFile {
  public:
    bool load(const std::string& path, std::string& error) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            error = "cannot open the soundtrack";
            return false;
        }
        std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        if (bytes.empty()) {
            error = "the soundtrack is empty";
            return false;
        }
        try {
            module_ = std::make_unique<openmpt::module>(bytes);
        } catch (const std::exception& failure) {
            error = std::string("not a playable module (") + failure.what() + ")";
            module_.reset();
            return false;
        }
        // The song keeps playing after its last order; the show stops it, not the player.
        module_->set_repeat_count(-1);
        return true;
    }

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

    // Renders `frames` stereo frames; past the end of the song fills silence.
    void render(std::int16_t* interleaved, std::size_t frames) {
        std::size_t done = 0;
        while (done < frames) {
            const std::size_t got =
                module_->read_interleaved_stereo(kRate, frames - done, interleaved + 2 * done);
            if (got == 0) {
                std::fill(interleaved + 2 * done, interleaved + 2 * frames, std::int16_t{0});
                return;
            }
            done += got;
        }
    }

  private:
    std::unique_ptr<openmpt::module> module_;
};

// A 16-bit stereo WAV writer; the sizes are patched when the file is closed.
class WavWriter {
  public:
    bool open(const std::string& path) {
        file_ = std::fopen(path.c_str(), "wb");
        if (file_ == nullptr) {
            return false;
        }
        std::array<std::uint8_t, 44> header{};
        std::fwrite(header.data(), 1, header.size(), file_);
        return true;
    }
    void write(const std::int16_t* interleaved, std::size_t frames) {
        if (file_ != nullptr) {
            std::fwrite(interleaved, sizeof(std::int16_t) * 2, frames, file_);
            dataBytes_ += static_cast<std::uint32_t>(frames * 4);
        }
    }
    void close() {
        if (file_ == nullptr) {
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
        std::fseek(file_, 0, SEEK_SET);
        std::fwrite(header.data(), 1, header.size(), file_);
        std::fclose(file_);
        file_ = nullptr;
    }

  private:
    std::FILE* file_ = nullptr;
    std::uint32_t dataBytes_ = 0;
};

// Renders the song lazily, exactly as far as a clock says has been played: 44100 samples per
// second of that clock's time. Used headless (virtual clock) and without a sound device.
class ClockedPlayer {
  public:
    void attach(Clock& clock, std::string wavPath) {
        clock_ = &clock;
        wavPath_ = std::move(wavPath);
    }
    ModuleFile& module() { return module_; }

    void play(bool stereo) {
        module_.prepareToPlay(stereo);
        startMs_ = clock_->milliseconds();
        rendered_ = 0;
        playing_ = true;
        if (!wavPath_.empty() && !wav_.open(wavPath_)) {
            std::fprintf(stderr, "%s: cannot write the sound file\n", wavPath_.c_str());
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
            module_.render(buffer_.data(), frames);
            wav_.write(buffer_.data(), frames);
            rendered_ += frames;
        }
        return module_.position();
    }

    void stop() {
        playing_ = false;
        wav_.close();
    }

  private:
    Clock* clock_ = nullptr;
    std::string wavPath_;
    ModuleFile module_;
    WavWriter wav_;
    std::array<std::int16_t, kChunkFrames * 2> buffer_{};
    std::uint32_t startMs_ = 0;
    std::uint64_t rendered_ = 0;
    bool playing_ = false;
};

class ClockedMusic final : public Music {
  public:
    void attach(Clock& clock, std::string wavPath) { player_.attach(clock, std::move(wavPath)); }
    bool startOutput(int) override { return true; }
    bool load(const std::string& path, std::string& error) override {
        return player_.module().load(path, error);
    }
    void play(bool stereo) override { player_.play(stereo); }
    SongPosition position() override { return player_.position(); }
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
        latencyFrames_ = obtained.samples;
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
        published_.store(0);
        devicePlaying_ = true;
        SDL_UnlockAudioDevice(device_);
        SDL_PauseAudioDevice(device_, 0);
    }

    SongPosition position() override {
        if (silent_) {
            return silence_.position();
        }
        const std::uint64_t count = published_.load(std::memory_order_acquire);
        if (count == 0) {
            return {};
        }
        // The frame being heard: what the device was handed at the last callback, plus the
        // time since, less what waits in the device's buffer.
        const std::uint64_t handed = handedFrames_.load(std::memory_order_acquire);
        const auto since =
            std::chrono::steady_clock::now() -
            std::chrono::steady_clock::time_point(
                std::chrono::steady_clock::duration(handedAt_.load(std::memory_order_acquire)));
        const std::int64_t sinceFrames =
            std::chrono::duration_cast<std::chrono::microseconds>(since).count() * kRate / 1000000;
        std::int64_t heard = static_cast<std::int64_t>(handed) -
                             static_cast<std::int64_t>(latencyFrames_) * 2 +
                             std::min<std::int64_t>(sinceFrames, latencyFrames_);
        if (heard < 0) {
            heard = 0;
        }
        // Walk back from the newest chunk to the one that holds the heard frame.
        std::uint64_t index = count - 1;
        const std::uint64_t oldest = count > kHistory ? count - kHistory : 0;
        while (index > oldest &&
               history_[index % kHistory].firstFrame.load(std::memory_order_relaxed) >
                   static_cast<std::uint64_t>(heard)) {
            --index;
        }
        const Chunk& chunk = history_[index % kHistory];
        return {chunk.order.load(std::memory_order_relaxed),
                chunk.row.load(std::memory_order_relaxed)};
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
    static constexpr std::size_t kHistory = 4096;  // ~24 s of chunks
    struct Chunk {
        std::atomic<std::uint64_t> firstFrame{0};
        std::atomic<std::int32_t> order{0};
        std::atomic<std::int32_t> row{0};
    };

    bool useSilence() {
        silent_ = true;
        silence_.attach(realClock(), "");
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
            const std::uint64_t index = published_.load(std::memory_order_relaxed);
            const SongPosition at = module_.position();
            Chunk& chunk = history_[index % kHistory];
            chunk.firstFrame.store(renderedFrames_, std::memory_order_relaxed);
            chunk.order.store(at.order, std::memory_order_relaxed);
            chunk.row.store(at.row, std::memory_order_relaxed);
            published_.store(index + 1, std::memory_order_release);
            module_.render(out + done * 2, part);
            renderedFrames_ += part;
            done += part;
        }
        handedAt_.store(std::chrono::steady_clock::now().time_since_epoch().count(),
                        std::memory_order_release);
        handedFrames_.store(renderedFrames_, std::memory_order_release);
    }

    SDL_AudioDeviceID device_ = 0;
    bool silent_ = false;
    ClockedPlayer silence_;
    ModuleFile module_;
    bool devicePlaying_ = false;
    std::uint32_t latencyFrames_ = 1024;
    std::uint64_t renderedFrames_ = 0;
    std::array<Chunk, kHistory> history_{};
    std::atomic<std::uint64_t> published_{0};
    std::atomic<std::uint64_t> handedFrames_{0};
    std::atomic<std::int64_t> handedAt_{0};
};

}  // namespace

Music& deviceMusic() {
    static DeviceMusic music;
    return music;
}

Music& clockedMusic(Clock& clock, const std::string& wavPath) {
    static ClockedMusic music;
    music.attach(clock, wavPath);
    return music;
}

}  // namespace platform
