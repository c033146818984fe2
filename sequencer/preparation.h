#pragma once
// The preparation's steps, in the order the timeline runs them.
#include <array>

namespace sequencer {

using PreparationStep = void (*)();

// The work buffers, then the effect set-ups that draw into them (the plane, then the
// metaballs), then the buffers cleared but warpHeights. Short of memory it prints "outta himem...
// sorry, but 8 megs required!", stops and frees the song, releases what was allocated and ends
// the process with status 0.
void prepareWorkBuffers();

// The 37 archive loads of the start-up list, one progress dot after each.
void loadArchiveEntries();
// The nine one-time builders: the scale table, the polar table, the window map, the grain
// table, the sine tables, the landscape heights, the polar maps, entry 17's height field and
// the voxel terrain; the timeline writes a dot after each.
const std::array<PreparationStep, 9>& oneTimeBuilders();
// Start-of-play resets of the effects' own state (window offset, grain window and strength).
void resetPlayState();

}  // namespace sequencer
