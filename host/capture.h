#pragma once
// Video captures of a headless run through the ffmpeg program, fed while the show is made.
// FILE.mkv is the lossless master: FFV1 with RGB pixels at the show's own 320x200, flagged to
// be shown at 4:3, and FLAC holding the run's very sound samples. FILE.mp4 is the upload copy:
// H.264 and AAC at a chosen size, by default 1600x1200 where every source pixel is a 5x6 block.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/screen.h"

namespace host {

enum class VideoKind { Master, Upload };
// The kind a file name asks for by its extension (.mkv or .mp4, in any case); none otherwise.
std::optional<VideoKind> videoKindFor(const std::string& path);

struct VideoSize {
    int width = 1600;
    int height = 1200;
};

struct VideoRequest {
    std::string path;
    VideoKind kind = VideoKind::Master;
    VideoSize size;  // the upload copy's picture size
};

// The encoder's command line for `request`, writing to `output`.
std::vector<std::string> encoderArguments(const VideoRequest& request, const std::string& output);

// Starts the encoder; false (with the reason in `error`) when it cannot.
bool startVideo(const VideoRequest& request, std::string& error);
// The screen changed to `screen` at `milliseconds` after the song started; every 60 Hz frame
// due before then shows the previous screen. `progress` is the part of the run done, 0..1.
void videoScreenChanged(const RgbFrame& screen, std::uint32_t milliseconds, double progress);
// The run's sound as it is made: 16-bit stereo at 44100 Hz from the song's start.
void videoSound(std::span<const std::int16_t> interleaved);
// False once the encoder has failed; the run should end.
bool videoFailed();
// Writes the frames due until `milliseconds`, ends the encoder and keeps the file; false
// with the reason in `error`, and nothing left behind.
bool finishVideo(std::uint32_t milliseconds, std::string& error);
// Stops the encoder and removes what it wrote (a failed or interrupted run).
void abandonVideo();

}  // namespace host
