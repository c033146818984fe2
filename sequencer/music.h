#pragma once
// The music layer: the thin layer between the sequencer and the module player. The song's
// position (order and row) is the sequencer's clock for scene changes and cues.
#include <optional>
#include <string>

#include "core/song.h"

namespace platform {
class Music;
}

namespace sequencer {

// Chooses the player used by every call below (device playback or clocked rendering).
void useMusicPlayer(platform::Music& player);

// Starts sound output at 44100 Hz; a missing device only means silence.
void startSoundOutput();
// Loads the soundtrack; false when a missing or unreadable module, after one line naming the
// file and the reason (the caller ends the run with status 1).
[[nodiscard]] bool loadSong(const std::string& path);
// With `stereo` the song keeps the module's own panning; otherwise (the default) every
// channel is centred, a mono mix.
void useStereoMix(bool stereo);
// Plays from order 0, row 0, in the mix chosen above.
void startSong();
// The song's position now: the order, then the row (taken modulo 256), for the show's next
// step (which stores them into musicOrder and musicRow). Nothing, after one line, when the
// song has ended before the show does, or the sound's recording (--wav) failed: the caller
// ends the run with status 1. Before a song plays: order 0, row 0.
std::optional<core::SongPosition> readSongPosition();
// Stops, then frees the song; a failure of either shows its message box and goes on. False
// when the sound's recording could not be finished (after one line naming the file).
bool stopAndFreeSong();
void closeSoundOutput();

}  // namespace sequencer
