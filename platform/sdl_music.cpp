// The song through the SDL audio device; without a device, rendered silently at real-time pace.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "platform/clock.h"
#include "platform/heard_position.h"
#include "platform/module_player.h"

namespace platform {

namespace {

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

}  // namespace platform
