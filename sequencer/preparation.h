#pragma once
// The preparation's steps, in the order the timeline runs them.
#include <array>
#include <cstddef>

namespace sequencer {

// A step of the preparation: false after a failure it has reported on one line.
using PreparationStep = bool (*)();

// The work buffers, then the effect set-ups that draw into them (the plane, then the
// metaballs), then the buffers cleared but warpHeights. Short of memory it prints "outta himem...
// sorry, but 8 megs required!" and returns false; what was allocated stays held until the
// shutdown releases it (after the song is stopped and freed, in the shutdown's order).
bool prepareWorkBuffers();

// The 37 archive loads of the start-up list, one progress dot after each; false at the first
// load that fails (a missing or damaged data file), after its line.
bool loadArchiveEntries();
// The same loads one at a time (the list's `index`th, no dot), for a preparation run in steps.
std::size_t archiveLoadCount();
bool loadArchiveEntry(std::size_t index);
// The nine one-time builders: the scale table, the polar table, the window map, the grain
// table, the sine tables, the landscape heights, the polar maps, entry 17's height field and
// the voxel terrain; the show writes a dot after each.
const std::array<PreparationStep, 9>& oneTimeBuilders();
// Start-of-play resets of the effects' own state (window offset, grain window and strength).
void resetPlayState();

}  // namespace sequencer
