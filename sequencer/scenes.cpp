#include "sequencer/scenes.h"

#include <cstring>

#include "archive/buffers.h"
#include "display/present.h"
#include "sequencer/state.h"

namespace sequencer {

namespace {

// Until the scenes' own pictures are in, every slot draws a card of its own: diagonal bands
// whose spacing tells the scene apart, moving with the clock, pulsing on the row.
template <int SceneNumber>
void drawSlotCard() {
    std::uint8_t* picture = archive::workA;
    const int time = static_cast<int>(sceneTime.load() * 16.0f);
    for (int y = 0; y < display::kFrameHeight; ++y) {
        for (int x = 0; x < display::kFrameWidth; ++x) {
            const int band = ((x + y + time) / (4 + SceneNumber)) & 1;
            picture[y * display::kFrameWidth + x] =
                static_cast<std::uint8_t>(band ? 40 + SceneNumber * 8 + (musicRow & 15) : 8);
        }
    }
    display::putFrame(picture);
}

template <int SceneNumber>
void setUpSlot() {
    timeStep.store(0.1f);
    rowSeen = 0;
}

template <std::size_t... Index>
constexpr std::array<Scene, kSceneCount> makeSlots(std::index_sequence<Index...>) {
    constexpr std::array<std::int32_t, kSceneCount> lengths = {1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2,
                                                               2, 2, 1, 1, 1, 2, 2, 2, 1, 1};
    return {Scene{lengths[Index], &setUpSlot<Index + 1>, &drawSlotCard<Index + 1>}...};
}

constexpr std::array<Scene, kSceneCount> scenes =
    makeSlots(std::make_index_sequence<kSceneCount>{});

}  // namespace

const std::array<Scene, kSceneCount>& sceneList() {
    return scenes;
}

}  // namespace sequencer
