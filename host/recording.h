#pragma once
// Recordings of a headless show: a contact sheet of one labelled frame from the middle of every
// scene, and the song places it and a video's progress are measured by.
#include <cstdint>
#include <optional>
#include <string>

#include "core/song.h"
#include "host/screen.h"

namespace host {

// The song position in the middle of scene `sceneNumber` (1-based).
core::SongPosition sceneMiddle(int sceneNumber);
// Where a run ends: the show's end, or an earlier quit.
core::SongPosition runEnd(const std::optional<core::SongPosition>& quitAt);
// How far `position` is toward `end`, 0..1, counting 64 rows to an order.
double songProgress(core::SongPosition position, core::SongPosition end);
// Keeps `screen` as scene `sceneNumber`'s tile, and writes the sheet of all tiles to `path`.
void keepContactTile(int sceneNumber, const RgbFrame& screen);
bool writeContactSheet(const std::string& path, std::string& error);

}  // namespace host
