#include "sequencer/scene_common.h"

#include "display/sprite.h"

namespace sequencer {

void drawSprite(std::int32_t x, std::int32_t y, const std::uint8_t* sprite, std::uint8_t* target,
                std::int32_t depth) {
    display::drawZoomSprite(x, y, sprite, target,
                            static_cast<std::int32_t>(static_cast<std::uint32_t>(depth) * 65536u));
}

void updateSway(float t) {
    sway = static_cast<float>(50.0 * std::sin(t / 10.0) + 40.0 * std::cos(t / 3.0) +
                              30.0 * std::sin(t / 7.0));
}

TunnelOffsets tunnelOffsets(float t) {
    return {truncate(50.0 * std::cos(t / 4.0) + 50.0 * std::sin(t / 3.0)),
            truncate(90.0 * std::cos(t / 2.0) + 90.0 * std::sin(static_cast<double>(t))),
            truncate(70.0 * std::cos(t / 3.0) + 30.0 * std::sin(t / 2.0))};
}

}  // namespace sequencer
