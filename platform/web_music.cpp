// The song through the page's Web Audio context (made by the page on the "Run Demo" click,
// as browsers require): a script processor asks for each buffer shortly before it plays, on
// the page's one thread, whenever the program yields. Each 256-frame chunk records where it
// starts in the song; the context says when each buffer will be heard, so position() reports
// what is heard now.
// Without a context the song is rendered silently at real-time pace, as on the desktop.
#include <emscripten.h>

#include <array>

#include "platform/clock.h"
#include "platform/module_player.h"

namespace platform {

namespace {

constexpr int kBufferFrames = 2048;  // about 46 ms a buffer at 44.1 kHz

EM_JS(int, connectAudio, (int rate, int bufferFrames), {
    const context = Module.sg2Audio;
    if (!context || context.sampleRate != rate) {
        return 0;
    }
    const node = context.createScriptProcessor(bufferFrames, 0, 2);
    node.onaudioprocess = function(event) {
        const out = event.outputBuffer;
        const frames = out.length;
        const at = Module._sg2_render_audio(frames, event.playbackTime) >> 2;
        out.getChannelData(0).set(HEAPF32.subarray(at, at + frames));
        out.getChannelData(1).set(HEAPF32.subarray(at + frames, at + 2 * frames));
        Module.sg2AudioBuffers = (Module.sg2AudioBuffers || 0) + 1;
    };
    node.connect(context.destination);
    Module.sg2AudioNode = node;
    return 1;
});

EM_JS(void, disconnectAudio, (), {
    if (Module.sg2AudioNode) {
        Module.sg2AudioNode.onaudioprocess = null;
        Module.sg2AudioNode.disconnect();
        Module.sg2AudioNode = null;
    }
});

// The context's time of the sample leaving the speakers now.
EM_JS(double, heardTime, (), {
    const context = Module.sg2Audio;
    return context.currentTime - (context.outputLatency || context.baseLatency || 0);
});

class WebMusic final : public Music {
  public:
    bool startOutput(int rate) override {
        player_.heard().setBufferFrames(kBufferFrames);
        if (connectAudio(rate, kBufferFrames) == 0) {
            silent_ = true;
            silence_.attach(realClock(), "", nullptr);
            return false;
        }
        connected_ = true;
        return true;
    }

    bool load(const std::string& path, std::string& error) override {
        return (silent_ ? silence_.module() : player_.module()).load(path, error);
    }

    void play(bool stereo) override {
        if (silent_) {
            silence_.play(stereo);
            return;
        }
        player_.play(stereo);
        playing_ = true;
    }

    SongPosition position() override {
        if (silent_) {
            return silence_.position();
        }
        return player_.heard().positionAt(microseconds(heardTime()));
    }

    bool songEnded() override { return silent_ ? silence_.ended() : player_.ended(); }

    bool stop() override {
        if (silent_) {
            silence_.stop();
        }
        playing_ = false;
        return true;
    }

    bool free() override {
        (silent_ ? silence_.module() : player_.module()).unload();
        return true;
    }

    void closeOutput() override {
        if (connected_) {
            disconnectAudio();
            connected_ = false;
        }
    }

    // Fills the next buffer, left channel then right, starting to play at `startsAt`.
    const float* render(int frames, double startsAt) {
        const std::size_t count =
            static_cast<std::size_t>(frames < kBufferFrames ? frames : kBufferFrames);
        if (!playing_ || !player_.module().loaded()) {
            planar_.fill(0.0f);
            return planar_.data();
        }
        player_.render(samples_.data(), count);
        for (std::size_t i = 0; i < count; ++i) {
            planar_[i] = samples_[2 * i] / 32768.0f;
            planar_[count + i] = samples_[2 * i + 1] / 32768.0f;
        }
        // Stated so that the buffer's first frame is heard at `startsAt`: the newest handed
        // frame counts as heard one buffer after the moment given.
        player_.handed(microseconds(startsAt - double{kBufferFrames} / kSongRate));
        return planar_.data();
    }

  private:
    static std::int64_t microseconds(double seconds) {
        return static_cast<std::int64_t>(seconds * 1e6);
    }

    bool silent_ = false;
    bool connected_ = false;
    bool playing_ = false;
    ClockedPlayer silence_;
    DevicePlayer player_;
    std::array<std::int16_t, kBufferFrames * 2> samples_{};
    std::array<float, kBufferFrames * 2> planar_{};
};

WebMusic& instance() {
    static WebMusic music;
    return music;
}

}  // namespace

Music& deviceMusic() {
    return instance();
}

}  // namespace platform

extern "C" EMSCRIPTEN_KEEPALIVE const float* sg2_render_audio(int frames, double startsAt) {
    return platform::instance().render(frames, startsAt);
}
