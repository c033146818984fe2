#include "sequencer/music.h"

#include <cstdio>

#include "core/console.h"
#include "core/cues.h"
#include "core/process.h"
#include "core/song.h"
#include "platform/messages.h"
#include "platform/music.h"
#include "sequencer/scenes.h"
#include "sequencer/state.h"

namespace sequencer {

namespace {
platform::Music* player = nullptr;
bool songLoaded = false;
bool stereoMix = false;
std::string songPath;
platform::SongPosition furthest;  // the latest place the song was heard at, for its end line

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
        core::errorLine(path + ": " + error);
        core::exitProcess(1);
    }
    songLoaded = true;
    songPath = path;
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
    if (player->songEnded()) {
        // The show waits for orders that will never come: end the run instead of waiting.
        core::errorLine(songPath + ": the song ends after order " + std::to_string(furthest.order) +
                        ", row " + std::to_string(furthest.row) + ", before the show does (order " +
                        std::to_string(core::sceneStartOrder(kSceneCount - 1)) + ", row " +
                        std::to_string(kLastSceneEndRow) + ")");
        core::exitProcess(1);
    }
    if (core::reached(furthest, position)) {
        furthest = position;
    }
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
