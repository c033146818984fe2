#include "sequencer/timeline.h"

#include "core/buffers.h"
#include "core/console.h"
#include "display/engine.h"
#include "display/palette.h"
#include "display/present.h"
#include "sequencer/music.h"
#include "sequencer/pacing.h"
#include "sequencer/preparation.h"
#include "sequencer/scenes.h"
#include "sequencer/state.h"

namespace sequencer {

namespace {
TimelineHooks timelineHooks;
}

void setTimelineHooks(const TimelineHooks& hooks) {
    timelineHooks = hooks;
}

bool sceneEnds(int sceneIndex, std::int32_t startOrder, std::int32_t order, std::int32_t row) {
    if (sceneIndex == kSceneCount - 1) {
        return row >= kLastSceneEndRow;
    }
    return order == startOrder + core::kSceneLengths[static_cast<std::size_t>(sceneIndex)];
}

void runTimeline(const core::LaunchSettings& settings) {
    // Preparation.
    noDance = settings.dance == 1 ? 0 : 1;
    prepareWorkBuffers();
    loadArchiveEntries();  // one dot per load
    for (const PreparationStep step : oneTimeBuilders()) {
        step();
        core::writeProgressDot();
    }
    if (timelineHooks.preparationDone != nullptr) {
        timelineHooks.preparationDone();
    }

    // Start of play.
    musicOrder = 0;
    startSong();
    display::setPalette(core::paletteA);
    startTimer();
    resetPlayState();
    sceneTime.store(0.0f);
    sway = 0.0f;
    display::trailLevel = settings.trailLevel;

    // The scenes, each running until the song reaches its end.
    const auto& scenes = sceneList();
    for (int index = 0; index < kSceneCount; ++index) {
        const Scene& scene = scenes[static_cast<std::size_t>(index)];
        sceneOrder = core::sceneStartOrder(index);  // from the plan, never read back from the song
        if (timelineHooks.sceneBegan != nullptr) {
            timelineHooks.sceneBegan(index + 1);
        }
        scene.setUp();
        for (;;) {
            readMusicPosition();
            if (timelineHooks.frameBegan != nullptr) {
                timelineHooks.frameBegan();
            }
            scene.frame();
            paceFrame();
            if (scene.afterPace != nullptr) {
                scene.afterPace();
            }
            if (sceneEnds(index, sceneOrder, musicOrder, musicRow)) {
                break;
            }
        }
    }
}

}  // namespace sequencer
