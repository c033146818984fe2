// The song through the SDL audio device; without a device, rendered silently at real-time pace.
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "core/console.h"
#include "platform/clock.h"
#include "platform/module_player.h"

namespace platform {

namespace {

// The sound library writes its own lines to standard error while it looks for a device (eight
// of them where there is none); they are kept off it, and the show says it in one line instead.
class QuietStandardError {
  public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) {
            dup2(null, STDERR_FILENO);
        }
        if (null >= 0) {
            close(null);
        }
    }
    ~QuietStandardError() {
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

  private:
    int saved_ = -1;
};

// Plays through the SDL audio device, whose callback pulls the song on the device's thread.
class DeviceMusic final : public Music {
  public:
    bool startOutput(int rate) override {
        bool opened = false;
        {
            const QuietStandardError quiet;
            opened = openDevice(rate);
        }
        return opened || useSilence();
    }

    bool load(const std::string& path, std::string& error) override {
        if (silent_) {
            return silence_.module().load(path, error);
        }
        return player_.module().load(path, error);
    }

    void play(bool stereo) override {
        if (silent_) {
            silence_.play(stereo);
            return;
        }
        SDL_LockAudioDevice(device_);
        player_.play(stereo);
        devicePlaying_ = true;
        SDL_UnlockAudioDevice(device_);
        SDL_PauseAudioDevice(device_, 0);
    }

    SongPosition position() override {
        if (silent_) {
            return silence_.position();
        }
        return player_.heard().positionAt(nowMicroseconds());
    }

    bool songEnded() override { return silent_ ? silence_.ended() : player_.ended(); }

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
            player_.module().unload();
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
    bool openDevice(int rate) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            return false;
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
            return false;
        }
        player_.heard().setBufferFrames(obtained.samples);
        return true;
    }

    static std::int64_t nowMicroseconds() {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    bool useSilence() {
        core::errorLine(std::string("stormglass2: no sound device (") + SDL_GetError() +
                        "); the show plays silently");
        silent_ = true;
        silence_.attach(realClock(), "", nullptr);
        return false;
    }

    static void fill(void* self, Uint8* stream, int length) {
        static_cast<DeviceMusic*>(self)->render(reinterpret_cast<std::int16_t*>(stream),
                                                static_cast<std::size_t>(length) / 4);
    }

    void render(std::int16_t* out, std::size_t frames) {
        if (!devicePlaying_ || !player_.module().loaded()) {
            std::fill(out, out + frames * 2, std::int16_t{0});
            return;
        }
        player_.render(out, frames);
        player_.handed(nowMicroseconds());
    }

    SDL_AudioDeviceID device_ = 0;
    bool silent_ = false;
    ClockedPlayer silence_;
    DevicePlayer player_;
    bool devicePlaying_ = false;
};

}  // namespace

Music& deviceMusic() {
    static DeviceMusic music;
    return music;
}

}  // namespace platform
