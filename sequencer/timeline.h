#pragma once
// The demo itself: preparation (buffers, archive entries, one-time tables, 46 progress dots),
// the start of play (song, palette, timer), then the 21 scenes, each ending on the song's
// order (the last on its row).
#include <cstdint>

#include "core/settings.h"

namespace sequencer {

// Observers of the run, for reports and tools; all optional, called on the main thread.
struct TimelineHooks {
    void (*preparationDone)() = nullptr;
    // A scene begins; its number counts from 1.
    void (*sceneBegan)(int sceneNumber) = nullptr;
    // A frame begins, right after the position was read.
    void (*frameBegan)() = nullptr;
};
void setTimelineHooks(const TimelineHooks& hooks);

// Runs preparation, start of play and the scenes with the launch choices (dance and trail);
// returns after the last scene.
void runTimeline(const core::LaunchSettings& settings);

// The scene loop's end test: true when a frame that read `order` and `row` ends scene
// `sceneIndex` (0-based) that began at `startOrder`.
bool sceneEnds(int sceneIndex, std::int32_t startOrder, std::int32_t order, std::int32_t row);

}  // namespace sequencer
