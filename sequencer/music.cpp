#include "sequencer/music.h"

#include <cstdio>

#include "core/console.h"
#include "core/cues.h"
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

bool loadSong(const std::string& path) {
    std::string error = "no module player";
    if (player == nullptr || !player->load(path, error)) {
        core::errorLine(path + ": " + error);
        return false;
    }
    songLoaded = true;
    songPath = path;
    return true;
}

void startSong() {
    if (player != nullptr && songLoaded) {
        player->play(stereoMix);
    }
}

std::optional<core::SongPosition> readSongPosition() {
    if (player == nullptr || !songLoaded) {
        return core::SongPosition{};
    }
    const platform::SongPosition position = player->position();
    if (const std::string problem = player->takeProblem(); !problem.empty()) {
        core::errorLine(problem);
        return std::nullopt;
    }
    if (player->songEnded()) {
        // The show waits for orders that will never come: end the run instead of waiting.
        core::errorLine(songPath + ": the song ends after order " + std::to_string(furthest.order) +
                        ", row " + std::to_string(furthest.row) + ", before the show does (order " +
                        std::to_string(core::sceneStartOrder(kSceneCount - 1)) + ", row " +
                        std::to_string(kLastSceneEndRow) + ")");
        return std::nullopt;
    }
    if (core::reached(furthest, position)) {
        furthest = position;
    }
    return core::SongPosition{position.order, position.row & 0xFF};
}

bool stopAndFreeSong() {
    if (player == nullptr || !songLoaded) {
        return true;
    }
    if (!player->stop()) {
        platform::showMessage("StopSong", "");
    }
    const std::string problem = player->takeProblem();
    if (!player->free()) {
        platform::showMessage("FreeSong", "");
    }
    songLoaded = false;
    if (!problem.empty()) {
        core::errorLine(problem);
        return false;
    }
    return true;
}

void closeSoundOutput() {
    if (player != nullptr) {
        player->closeOutput();
    }
}

}  // namespace sequencer
