#pragma once
// Recordings of a headless show: a video at 60 frames per second with its soundtrack through
// the ffmpeg program, and a contact sheet of one labelled frame from the middle of every scene.
#include <cstdint>
#include <string>

#include "core/song.h"
#include "host/screen.h"

namespace host {

// Starts ffmpeg for `path`; false (with the reason in `error`) when it cannot.
bool startVideo(const std::string& path, const std::string& wavPath, std::string& error);
// The screen changed to `screen` at `milliseconds` into the show; every 60 Hz video frame due
// before then shows the previous screen.
void videoScreenChanged(const RgbFrame& screen, std::uint32_t milliseconds);
// Writes the last frames, closes the encoder and joins picture and sound; false on failure.
bool finishVideo(std::uint32_t milliseconds, std::string& error);
// Stops the encoder and removes what it wrote: the run failed or was stopped.
void abandonVideo();

// The song position in the middle of scene `sceneNumber` (1-based).
core::SongPosition sceneMiddle(int sceneNumber);
// Keeps `screen` as scene `sceneNumber`'s tile, and writes the sheet of all tiles to `path`.
void keepContactTile(int sceneNumber, const RgbFrame& screen);
bool writeContactSheet(const std::string& path, std::string& error);

}  // namespace host
