#pragma once
// The music layer: the thin layer between the sequencer and the module player. The song's
// position (order and row) is the sequencer's clock for scene changes and cues.
#include <string>

namespace platform {
class Music;
}

namespace sequencer {

// Chooses the player used by every call below (device playback or clocked rendering).
void useMusicPlayer(platform::Music& player);

// Starts sound output at 44100 Hz; a missing device only means silence.
void startSoundOutput();
// Loads the soundtrack; a missing or unreadable module prints one line naming the file and
// the reason and ends the process with status 1.
void loadSong(const std::string& path);
// With `stereo` the song keeps the module's own panning; otherwise (the default) every
// channel is centred, a mono mix.
void useStereoMix(bool stereo);
// Plays from order 0, row 0, in the mix chosen above.
void startSong();
// Stores the order, then the row (taken modulo 256), into musicOrder and musicRow.
void readMusicPosition();
// Stops, then frees the song; a failure of either shows its message box and goes on.
void stopAndFreeSong();
void closeSoundOutput();

}  // namespace sequencer
