// The song through libopenmpt, the WAV writer, and the clock-paced renderer behind
// platform::clockedMusic.
#include "platform/module_player.h"

#include <algorithm>
#include <libopenmpt/libopenmpt.hpp>
#include <vector>

#include "core/bytes.h"
#include "core/input.h"
#include "platform/clock.h"
#include "platform/module_check.h"

namespace platform {

namespace {
constexpr std::uint64_t kLargestModule = 64u << 20;
}  // namespace

ModuleFile::ModuleFile() = default;
ModuleFile::~ModuleFile() = default;

bool ModuleFile::load(const std::string& path, std::string& error) {
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

void ModuleFile::ditherOff() {
    module_->ctl_set_integer("dither", 0);
}

void ModuleFile::prepareToPlay(bool stereo) {
    module_->set_render_param(openmpt::module::RENDER_STEREOSEPARATION_PERCENT, stereo ? 100 : 0);
    module_->set_position_order_row(0, 0);
}

void ModuleFile::unload() {
    module_.reset();
}

SongPosition ModuleFile::position() const {
    return {module_->get_current_order(), module_->get_current_row()};
}

bool ModuleFile::render(std::int16_t* interleaved, std::size_t frames) {
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t got =
            module_->read_interleaved_stereo(kSongRate, frames - done, interleaved + 2 * done);
        if (got == 0) {
            std::fill(interleaved + 2 * done, interleaved + 2 * frames, std::int16_t{0});
            return false;
        }
        done += got;
    }
    return true;
}

void WavWriter::open(const std::string& path) {
    if (!file_.open(path) || !file_.write(std::array<std::uint8_t, 44>{})) {
        fail();
    }
    dataBytes_ = 0;
}

void WavWriter::write(const std::int16_t* interleaved, std::size_t frames) {
    if (!file_.isOpen()) {
        return;
    }
    if (!file_.write(interleaved, frames * 4)) {
        fail();
    }
    dataBytes_ += static_cast<std::uint32_t>(frames * 4);
}

void WavWriter::close() {
    if (!file_.isOpen()) {
        return;
    }
    std::array<std::uint8_t, 44> header{'R', 'I', 'F', 'F', 0,   0,   0,   0, 'W', 'A', 'V',
                                        'E', 'f', 'm', 't', ' ', 16,  0,   0, 0,   1,   0,
                                        2,   0,   0,   0,   0,   0,   0,   0, 0,   0,   4,
                                        0,   16,  0,   'd', 'a', 't', 'a', 0, 0,   0,   0};
    core::writeLittle32(&header[4], 36 + dataBytes_);
    core::writeLittle32(&header[24], kSongRate);
    core::writeLittle32(&header[28], kSongRate * 4);
    core::writeLittle32(&header[40], dataBytes_);
    if (!file_.writeAt(0, header.data(), header.size()) || !file_.commit()) {
        fail();
    }
}

void WavWriter::fail() {
    if (problem_.empty()) {
        problem_ = file_.path() + ": " + file_.error();
    }
    file_.discard();
}

void DevicePlayer::play(bool stereo) {
    module_.prepareToPlay(stereo);
    heard_.reset();
    renderedFrames_ = 0;
    ended_.store(false, std::memory_order_release);
}

void DevicePlayer::render(std::int16_t* interleaved, std::size_t frames) {
    for (std::size_t done = 0; done < frames; done += kChunkFrames) {
        const std::size_t part = std::min(kChunkFrames, frames - done);
        heard_.chunkStarts(renderedFrames_, module_.position());
        if (!module_.render(interleaved + done * 2, part)) {
            ended_.store(true, std::memory_order_release);
        }
        renderedFrames_ += part;
    }
}

void ClockedPlayer::attach(Clock& clock, std::string wavPath, SoundSink sink) {
    clock_ = &clock;
    wavPath_ = std::move(wavPath);
    sink_ = sink;
}

void ClockedPlayer::play(bool stereo) {
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

SongPosition ClockedPlayer::position() {
    if (!playing_) {
        return {};
    }
    const std::uint64_t elapsedMs = clock_->milliseconds() - startMs_;
    const std::uint64_t due = elapsedMs * kSongRate / 1000;
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

void ClockedPlayer::stop() {
    playing_ = false;
    wav_.close();
}

namespace {

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
    std::string takeProblem() override { return player_.takeProblem(); }
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

}  // namespace

Music& clockedMusic(Clock& clock, const std::string& wavPath, SoundSink sink) {
    static ClockedMusic music;
    music.attach(clock, wavPath, sink);
    return music;
}

}  // namespace platform
