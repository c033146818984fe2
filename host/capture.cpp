#include "host/capture.h"

#include <unistd.h>

#include <strings.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>

#include "core/console.h"
#include "core/output.h"
#include "host/encoder.h"

namespace host {

namespace {

constexpr std::uint32_t kVideoRate = 60;
constexpr int kSoundRate = 44100;
// Room for a quarter second of pictures and four seconds of sound between the run and the
// encoder: more than either input can run ahead of the other inside the encoder.
constexpr std::size_t kBufferedFrames = 16;
constexpr std::size_t kBufferedSoundBytes = 4 * kSoundRate * 4;

using WallClock = std::chrono::steady_clock;

struct Video {
    core::OutputFile file;
    EncoderPipes encoder;
    bool active = false;
    std::uint64_t framesWritten = 0;
    RgbFrame screen{};
    double progress = 0;
    bool toTerminal = false;
    WallClock::time_point started;
    WallClock::time_point lastReport;
};
Video video;

std::string minutesAndSeconds(double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

double secondsSinceStart() {
    return std::chrono::duration<double>(WallClock::now() - video.started).count();
}

// Percent done, frames per second and the time left, over itself on a terminal.
void reportProgress() {
    const auto now = WallClock::now();
    if (!video.toTerminal || now - video.lastReport < std::chrono::milliseconds(250)) {
        return;
    }
    video.lastReport = now;
    const double elapsed = secondsSinceStart();
    const double fps = elapsed > 0 ? static_cast<double>(video.framesWritten) / elapsed : 0;
    const double fraction = std::clamp(video.progress, 0.0, 1.0);
    const double left = fraction > 0 ? elapsed * (1 - fraction) / fraction : 0;
    char text[96];
    std::snprintf(text, sizeof text, ": %3.0f %%, %.0f fps, %s left   ", fraction * 100, fps,
                  minutesAndSeconds(left).c_str());
    // Through the console, so that a diagnostic written next starts a line of its own.
    core::showProgress(video.file.path() + text);
}

void reportFinished() {
    const double elapsed = secondsSinceStart();
    const double fps = elapsed > 0 ? static_cast<double>(video.framesWritten) / elapsed : 0;
    char text[128];
    std::snprintf(text, sizeof text, ": %llu frames (%s of video) made in %s, %.0f fps",
                  static_cast<unsigned long long>(video.framesWritten),
                  minutesAndSeconds(static_cast<double>(video.framesWritten) / kVideoRate).c_str(),
                  minutesAndSeconds(elapsed).c_str(), fps);
    const std::string line = video.file.path() + text;
    if (video.toTerminal) {
        core::showProgress("\033[K" + line + "\n");  // over the last progress text
    } else {
        core::errorLine(line);  // on a line of its own, after any progress dots
    }
}

// Writes the current screen for every video frame due before `milliseconds`.
void writeFramesUntil(std::uint32_t milliseconds) {
    while (video.framesWritten * 1000 < std::uint64_t{milliseconds} * kVideoRate) {
        if (!video.encoder.pushFrame(video.screen.data())) {
            return;
        }
        ++video.framesWritten;
    }
}

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t length = std::char_traits<char>::length(suffix);
    return text.size() >= length && ::strcasecmp(text.c_str() + text.size() - length, suffix) == 0;
}

}  // namespace

std::optional<VideoKind> videoKindFor(const std::string& path) {
    if (endsWith(path, ".mkv")) {
        return VideoKind::Master;
    }
    if (endsWith(path, ".mp4")) {
        return VideoKind::Upload;
    }
    return std::nullopt;
}

std::vector<std::string> encoderArguments(const VideoRequest& request, const std::string& output) {
    std::vector<std::string> arguments;
    auto add = [&](const std::string& text) {
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find(' ', start), text.size());
            arguments.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    };
    const std::string rate = std::to_string(kVideoRate);
    add("ffmpeg -hide_banner -nostats -loglevel error -y");
    // Pictures on standard input, sound on descriptor 3, both as they are made. Their formats
    // are given, so nothing is read ahead to probe them: probing the sound would wait for half
    // a second of it while the pictures' pipe stays full.
    add("-nofind_stream_info");
    add("-f rawvideo -pixel_format rgb24 -video_size 320x200 -framerate " + rate +
        " -thread_queue_size 64 -i pipe:0");
    add("-f s16le -ar " + std::to_string(kSoundRate) + " -ac 2 -thread_queue_size 64 -i pipe:3");
    add("-map 0:v -map 1:a -r " + rate);
    // The same bytes for the same run: no encoder versions or random identifiers.
    add("-fflags +bitexact -flags:v +bitexact -flags:a +bitexact");
    if (request.kind == VideoKind::Master) {
        // 320x200 shown at 4:3 has pixels 5 wide by 6 tall. FFV1 version 3 with every frame
        // a key frame and checksummed slices, as archives keep it; RGB stays RGB.
        add("-vf setsar=5/6 -c:v ffv1 -level 3 -g 1 -slices 4 -slicecrc 1 -coder 1 -context 0 "
            "-pix_fmt bgr0");
        add("-c:a flac -sample_fmt s16 -f matroska");
    } else {
        // Nearest-neighbour scaling keeps each source pixel one solid block; the sample
        // aspect ratio makes any size show at 4:3 (square pixels at 1600x1200). The colours
        // are converted after scaling, averaging chroma over the blocks.
        const int width = request.size.width;
        const int height = request.size.height;
        const int divisor = std::gcd(4 * height, 3 * width);
        add("-vf scale=" + std::to_string(width) + ":" + std::to_string(height) +
            ":flags=neighbor,setsar=" + std::to_string(4 * height / divisor) + "/" +
            std::to_string(3 * width / divisor) +
            ",scale=out_color_matrix=bt709:out_range=tv:flags=area+accurate_rnd+full_chroma_int"
            ",format=yuv420p");
        // The rate cap keeps the grainiest scenes from tripling the file's size.
        add("-c:v libx264 -preset veryfast -tune animation -crf 18 -maxrate 40M -bufsize 80M");
        add("-colorspace bt709 -color_primaries bt709 -color_trc bt709 -color_range tv");
        add("-c:a aac -b:a 256k -movflags +faststart -f mp4");
    }
    arguments.push_back(output);
    return arguments;
}

bool startVideo(const VideoRequest& request, std::string& error) {
    if (!video.file.open(request.path)) {
        error = video.file.error();
        return false;
    }
    video.file.setWriterStop([] { video.encoder.stop(); });
    if (!video.encoder.start(encoderArguments(request, video.file.temporaryPath()),
                             video.screen.size(), kBufferedFrames, kBufferedSoundBytes, error)) {
        video.file.discard();
        return false;
    }
    video.active = true;
    video.framesWritten = 0;
    video.screen.fill(0);
    video.toTerminal = ::isatty(STDERR_FILENO) == 1;
    video.started = WallClock::now();
    video.lastReport = video.started;
    return true;
}

void videoScreenChanged(const RgbFrame& screen, std::uint32_t milliseconds, double progress) {
    if (!video.active) {
        return;
    }
    writeFramesUntil(milliseconds);
    video.screen = screen;
    video.progress = progress;
    reportProgress();
}

void videoSound(std::span<const std::int16_t> interleaved) {
    if (video.active) {
        video.encoder.pushSound(
            {reinterpret_cast<const std::uint8_t*>(interleaved.data()), interleaved.size_bytes()});
    }
}

bool videoFailed() {
    return video.active && video.encoder.failed();
}

bool finishVideo(std::uint32_t milliseconds, std::string& error) {
    if (!video.active) {
        return true;
    }
    video.active = false;
    // The frame on screen at the end is shown for one frame more.
    writeFramesUntil(milliseconds + 1000 / kVideoRate);
    std::string failure;
    if (!video.encoder.finish(failure)) {
        video.file.discard();
        error = video.file.path() + ": the encoder failed (" + failure + ")";
        return false;
    }
    if (!video.file.commit()) {
        error = video.file.path() + ": " + video.file.error();
        return false;
    }
    video.progress = 1;
    reportFinished();
    return true;
}

void abandonVideo() {
    if (video.active) {
        video.active = false;
        video.encoder.stop();
        video.file.discard();
    }
}

}  // namespace host
