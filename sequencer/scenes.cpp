#include "sequencer/scenes.h"

#include <algorithm>

namespace sequencer {

namespace {

std::array<Scene, kSceneCount> assemble() {
    std::array<Scene, kSceneCount> all{};
    const auto& opening = openingScenes();
    const auto& closing = closingScenes();
    std::copy(opening.begin(), opening.end(), all.begin());
    std::copy(closing.begin(), closing.end(), all.begin() + opening.size());
    return all;
}

}  // namespace

const std::array<Scene, kSceneCount>& sceneList() {
    static const std::array<Scene, kSceneCount> all = assemble();
    return all;
}

}  // namespace sequencer
