#include "sequencer/show.h"

#include "core/buffers.h"
#include "core/console.h"
#include "display/palette.h"
#include "display/present.h"
#include "display/state.h"
#include "sequencer/music.h"
#include "sequencer/pacing.h"
#include "sequencer/preparation.h"
#include "sequencer/scenes.h"
#include "sequencer/state.h"

namespace sequencer {

bool sceneEnds(int sceneIndex, std::int32_t startOrder, std::int32_t order, std::int32_t row) {
    if (sceneIndex == kSceneCount - 1) {
        return row >= kLastSceneEndRow;
    }
    return order == startOrder + core::kSceneLengths[static_cast<std::size_t>(sceneIndex)];
}

bool Show::prepare(const core::LaunchSettings& settings) {
    preparedSteps_ = 0;
    Preparing state = Preparing::More;
    while (state == Preparing::More) {
        state = prepareStep(settings);
    }
    return state == Preparing::Done;
}

Preparing Show::prepareStep(const core::LaunchSettings& settings) {
    const std::size_t step = preparedSteps_++;
    const std::size_t loads = archiveLoadCount();
    const auto& builders = oneTimeBuilders();
    if (step == 0) {
        sceneState.dance = settings.dance;
        return prepareWorkBuffers() ? Preparing::More : Preparing::Failed;
    }
    const bool done = step <= loads ? loadArchiveEntry(step - 1) : builders[step - 1 - loads]();
    if (!done) {
        return Preparing::Failed;
    }
    core::writeProgressDot();
    if (step < loads + builders.size()) {
        return Preparing::More;
    }
    if (hooks_.preparationDone != nullptr) {
        hooks_.preparationDone();
    }
    return Preparing::Done;
}

void Show::startPlay(const core::LaunchSettings& settings) {
    sceneState.musicOrder = 0;
    startSong();
    display::setPalette(core::buffers.paletteA);
    startTimer();
    resetPlayState();
    motion.sceneTime.store(0.0f);
    motion.sway = 0.0f;
    display::state.trailLevel = settings.trailLevel;
    resetPacer();  // the first frame never waits
    sceneIndex_ = -1;
    sceneOver_ = true;
    afterPresent_ = false;
    ended_ = false;
}

FrameStep Show::step(core::SongPosition position) {
    const auto& scenes = sceneList();
    // The previous frame has been presented: its scene's work after presentation, then the
    // next scene when that frame ended its own.
    if (afterPresent_) {
        scenes[static_cast<std::size_t>(sceneIndex_)].afterPace();
    }
    FrameStep result;
    if (sceneOver_) {
        ++sceneIndex_;
        sceneState.sceneOrder =
            core::sceneStartOrder(sceneIndex_);  // from the plan, never from the song
        if (hooks_.sceneBegan != nullptr) {
            hooks_.sceneBegan(sceneIndex_ + 1);
        }
        scenes[static_cast<std::size_t>(sceneIndex_)].setUp();
        result.sceneBegan = true;
    }
    const Scene& scene = scenes[static_cast<std::size_t>(sceneIndex_)];
    sceneState.musicOrder = position.order;
    sceneState.musicRow = position.row;
    if (hooks_.frameBegan != nullptr) {
        hooks_.frameBegan();
    }
    scene.frame();
    afterPresent_ = scene.afterPace != nullptr;
    sceneOver_ =
        sceneEnds(sceneIndex_, sceneState.sceneOrder, sceneState.musicOrder, sceneState.musicRow);
    ended_ = sceneOver_ && sceneIndex_ == kSceneCount - 1;
    result.scene = sceneIndex_ + 1;
    result.sceneEnds = sceneOver_;
    result.showEnds = ended_;
    return result;
}

}  // namespace sequencer
