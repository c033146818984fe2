#include "sequencer/music.h"

#include <cstdio>

#include "core/process.h"
#include "platform/messages.h"
#include "platform/music.h"
#include "sequencer/state.h"

namespace sequencer {

namespace {
platform::Music* player = nullptr;
bool songLoaded = false;
bool stereoMix = false;
}  // namespace

void useMusicPlayer(platform::Music& chosen) {
    player = &chosen;
}

void useStereoMix(bool stereo) {
    stereoMix = stereo;
}

void startSoundOutput() {
    if (player != nullptr) {
        player->startOutput(44100);
    }
}

void loadSong(const std::string& path) {
    std::string error = "no module player";
    if (player == nullptr || !player->load(path, error)) {
        std::printf("%s: %s\n", path.c_str(), error.c_str());
        core::exitProcess(1);
    }
    songLoaded = true;
}

void startSong() {
    if (player != nullptr && songLoaded) {
        player->play(stereoMix);
    }
}

void readMusicPosition() {
    if (player == nullptr || !songLoaded) {
        return;
    }
    const platform::SongPosition position = player->position();
    musicOrder = position.order;
    musicRow = position.row & 0xFF;
}

void stopAndFreeSong() {
    if (player == nullptr || !songLoaded) {
        return;
    }
    if (!player->stop()) {
        platform::showMessage("StopSong", "");
    }
    if (!player->free()) {
        platform::showMessage("FreeSong", "");
    }
    songLoaded = false;
}

void closeSoundOutput() {
    if (player != nullptr) {
        player->closeOutput();
    }
}

}  // namespace sequencer
