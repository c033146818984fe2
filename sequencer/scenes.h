#pragma once
// The show's 21 scenes. Each lasts the song orders the show's plan gives it, has a set-up run
// once when it begins, and a frame step that reads the position already taken, draws, and hands its
// picture to putFrame. The timeline runs them in order.
#include <array>
#include <cstdint>

#include "core/cues.h"

namespace sequencer {

struct Scene {
    void (*setUp)();
    void (*frame)();
    void (*afterPace)() = nullptr;  // optional: runs after the frame is presented
};

inline constexpr int kSceneCount = core::kSceneCount;
// Scene 21 ends on the first frame that reads this row or a later one.
inline constexpr std::int32_t kLastSceneEndRow = 36;

const std::array<Scene, kSceneCount>& sceneList();

// Scenes 1 to 10, from the opening fade to the ring of flares, and 11 to 21, from the title
// strip to the parting emblems.
const std::array<Scene, 10>& openingScenes();
const std::array<Scene, 11>& closingScenes();

}  // namespace sequencer
