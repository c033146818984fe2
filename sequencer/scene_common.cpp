#include "sequencer/scene_common.h"

#include "core/buffers.h"
#include "display/landscape.h"
#include "display/sprite.h"
#include "raster/mappers.h"
#include "raster/polar.h"

namespace sequencer {

void drawSprite(std::int32_t x, std::int32_t y, const std::uint8_t* sprite, std::uint8_t* target,
                std::int32_t depth) {
    display::drawZoomSprite(x, y, sprite, target,
                            static_cast<std::int32_t>(static_cast<std::uint32_t>(depth) * 65536u));
}

void updateSway(float t) {
    motion.sway = static_cast<float>(50.0 * std::sin(t / 10.0) + 40.0 * std::cos(t / 3.0) +
                                     30.0 * std::sin(t / 7.0));
}

display::LandscapeAim aimLandscape(float t) {
    return {
        .tilt = static_cast<std::uint16_t>(truncate(750.0 - std::fabs(300.0 * std::sin(t / 20.0)))),
        .heading = static_cast<std::uint16_t>(truncate(350.0 * std::sin(t / 10.0) + 650.0)),
    };
}

void drawSwayingLandscape(float t) {
    display::drawLandscape(core::buffers.sourcePage + core::kLandscapeInSourcePage,
                           aimLandscape(t));
    raster::fillAngleTwist();
}

void mapShiftedTunnel(float t, std::uint8_t* target) {
    const raster::PolarShift shift{
        .high = static_cast<std::uint8_t>(
            truncate(64.0 * std::cos(t / 4.0) + 80.0 * std::sin(t / 3.0)) & 0xFF),
        .low = static_cast<std::uint8_t>(
            truncate(64.0 * std::sin(t / 3.0) + 128.0 * std::cos(t / 2.0)) & 0xFF),
    };
    raster::mapPolarShifted(core::buffers.crystalTexture.data(), target, shift);
}

}  // namespace sequencer
