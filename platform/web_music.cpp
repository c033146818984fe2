// The song through the page's Web Audio context (made by the page on the "Run Demo" click, as
// browsers require, with the song worklet's module added). The program renders ahead on the
// page's thread and posts buffers to an AudioWorklet, which plays them on the audio thread:
// a busy page only runs the queue down. Nothing is rendered before the show starts the song,
// so the music is heard from its first sample. The worklet says which song frame left when;
// with the chunk starts recorded while rendering, position() reports what is heard now.
// Without a running context the song is rendered silently at real-time pace, as on the desktop.
#include <emscripten.h>

#include <array>
#include <cstdint>

#include "platform/clock.h"
#include "platform/module_player.h"

namespace platform {

namespace {

constexpr int kPostFrames = 1024;  // one buffer posted to the worklet, about 23 ms
// Rendered ahead of the ear: enough to ride out a main thread busy for half a second.
constexpr std::int64_t kAheadFrames = 24 * kPostFrames;
// How far the heard position runs on from the worklet's latest report.
constexpr std::uint32_t kExtrapolateFrames = 4 * kPostFrames;

EM_JS(int, connectAudio, (int rate), {
    const context = Module.sg2Audio;
    if (!context || context.sampleRate != rate || context.state != "running") {
        return 0;
    }
    let node;
    try {
        node = new AudioWorkletNode(context, "sg2-song",
                                    {numberOfInputs : 0, outputChannelCount : [2]});
    } catch (failure) {
        console.error("no sound: " + failure);
        return 0;
    }
    Module.sg2Spare = [];
    Module.sg2AudioBuffers = 0;
    node.port.onmessage = function(event) {
        const report = event.data;
        for (const buffer of report.spent) {
            Module.sg2Spare.push(buffer);
        }
        Module.sg2AudioBuffers += report.spent.length;
        Module.sg2AudioGapFrames = report.gapFrames;
        if (report.firstWindow) {
            Module.sg2FirstWindow = report.firstWindow;
        }
        Module._sg2_audio_heard(report.played, report.at / context.sampleRate);
    };
    node.connect(context.destination);
    Module.sg2AudioNode = node;
    return 1;
});

EM_JS(void, postSamples, (const float* planar, int frames), {
    let buffer = Module.sg2Spare.pop();
    if (!buffer || buffer.length != 2 * frames) {
        buffer = new Float32Array(2 * frames);
    }
    buffer.set(HEAPF32.subarray(planar >> 2, (planar >> 2) + 2 * frames));
    Module.sg2AudioNode.port.postMessage({samples : buffer}, [buffer.buffer]);
});

EM_JS(void, postToWorklet, (int stop), {
    if (Module.sg2AudioNode) {
        Module.sg2AudioNode.port.postMessage(stop ? {stop : true} : {last : true});
    }
});

EM_JS(void, disconnectAudio, (), {
    if (Module.sg2AudioNode) {
        Module.sg2AudioNode.port.onmessage = null;
        Module.sg2AudioNode.port.postMessage({stop : true});
        Module.sg2AudioNode.disconnect();
        Module.sg2AudioNode = null;
    }
});

// The context's time of the sample leaving the speakers now.
EM_JS(double, heardTime, (), {
    const context = Module.sg2Audio;
    return context.currentTime - (context.outputLatency || context.baseLatency || 0);
});

std::int64_t microseconds(double seconds) {
    return static_cast<std::int64_t>(seconds * 1e6);
}

class WebMusic final : public Music {
  public:
    bool startOutput(int rate) override {
        player_.heard().setBufferFrames(kExtrapolateFrames);
        if (connectAudio(rate) == 0) {
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
        // The same samples as the desktop's recordings, so the page's can be compared.
        player_.module().ditherOff();
        posted_ = 0;
        endFrame_ = -1;
        playing_ = true;
        feed();
    }

    SongPosition position() override {
        if (silent_) {
            return silence_.position();
        }
        feed();
        return player_.heard().positionAt(microseconds(heardTime()));
    }

    // The render runs ahead of the ear: the song has ended once its last frame is heard.
    bool songEnded() override {
        if (silent_) {
            return silence_.ended();
        }
        return endFrame_ >= 0 && player_.heard().heardFrame(microseconds(heardTime())) >= endFrame_;
    }

    bool stop() override {
        if (silent_) {
            silence_.stop();
        } else if (playing_) {
            postToWorklet(1);
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

    // The worklet's report: song frame `played` left at context time `atSeconds`.
    void heard(double played, double atSeconds) {
        // The heard position is the newest handed frame less two buffers, running on for up
        // to one buffer of time. The report is restated one post earlier, so the ear, which
        // lags the report by the output latency, is still inside that run.
        const auto frame = static_cast<std::int64_t>(played);
        const std::int64_t back = frame < kPostFrames ? frame : kPostFrames;
        player_.heard().handed(
            static_cast<std::uint64_t>(frame - back + 2 * std::int64_t{kExtrapolateFrames}),
            microseconds(atSeconds - static_cast<double>(back) / kSongRate));
        feed();
    }

  private:
    // Renders and posts buffers until the worklet holds enough ahead of the ear.
    void feed() {
        if (!playing_ || endFrame_ >= 0) {
            return;
        }
        const std::int64_t heard = player_.heard().heardFrame(microseconds(heardTime()));
        while (posted_ - heard < kAheadFrames) {
            player_.render(samples_.data(), kPostFrames);
            for (std::size_t i = 0; i < kPostFrames; ++i) {
                planar_[i] = samples_[2 * i] / 32768.0f;
                planar_[kPostFrames + i] = samples_[2 * i + 1] / 32768.0f;
            }
            postSamples(planar_.data(), kPostFrames);
            posted_ += kPostFrames;
            if (player_.ended()) {
                endFrame_ = posted_;
                postToWorklet(0);
                return;
            }
        }
    }

    bool silent_ = false;
    bool connected_ = false;
    bool playing_ = false;
    std::int64_t posted_ = 0;
    std::int64_t endFrame_ = -1;  // the frame after the song's last, once rendered
    ClockedPlayer silence_;
    DevicePlayer player_;
    std::array<std::int16_t, kPostFrames * 2> samples_{};
    std::array<float, kPostFrames * 2> planar_{};
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

extern "C" EMSCRIPTEN_KEEPALIVE void sg2_audio_heard(double played, double atSeconds) {
    platform::instance().heard(played, atSeconds);
}
