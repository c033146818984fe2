#include "raster/windows.h"

#include <algorithm>
#include <cstring>

#include "raster/polar.h"
#include "raster/state.h"

namespace raster {

namespace {

constexpr std::uint8_t kFrameColour = 100;

// Each phase byte moves on by its own step, modulo 256, without carry between them.
std::uint16_t advancePhase(std::uint16_t phase, std::uint8_t lowStep) {
    const auto low = static_cast<std::uint8_t>((phase & 0xFF) + lowStep);
    const auto high = static_cast<std::uint8_t>((phase >> 8) - 2);
    return static_cast<std::uint16_t>(high << 8 | low);
}

// windowTopLeft is the destination of the window's first pixel; the frame sits one pixel
// outside it on every side.
void drawWindow(const std::uint8_t* texture, std::uint8_t* windowTopLeft, std::uint16_t phase,
                bool exchangeBytes) {
    const std::uint8_t* bend = state.windowBend.data();
    const std::uint16_t* map = state.windowMap.data();
    for (int row = 0; row < kWindowMapHeight; ++row) {
        std::uint8_t* out = windowTopLeft + row * 320;
        for (int column = 0; column < kWindowMapWidth; ++column) {
            std::uint16_t w = map[row * kWindowMapWidth + column];
            if (exchangeBytes) {
                w = static_cast<std::uint16_t>(w << 8 | w >> 8);
            }
            w = static_cast<std::uint16_t>(w + phase);  // the low byte carries into the high
            const std::uint8_t depth = static_cast<std::uint8_t>(w >> 8);
            const auto textureRow = static_cast<std::uint8_t>(2 * depth + bend[depth]);
            const auto textureColumn = static_cast<std::uint8_t>((w & 0xFF) + textureRow);
            out[column] = texture[textureRow * 256 + textureColumn];
        }
    }
    // The frame goes on after the window, so no window pixel covers it.
    std::uint8_t* frameTopLeft = windowTopLeft - 320 - 1;
    std::memset(frameTopLeft, kFrameColour, 82);
    std::memset(frameTopLeft + 51 * 320, kFrameColour, 82);
    for (int row = 0; row < 52; ++row) {
        frameTopLeft[row * 320] = kFrameColour;
        frameTopLeft[row * 320 + 81] = kFrameColour;
    }
}

}  // namespace

void drawLeftWindow(const std::uint8_t* texture, std::uint8_t* target, std::int32_t move) {
    state.windowPhaseLeft = advancePhase(state.windowPhaseLeft, 2);
    const std::int32_t offset = std::clamp(move, kWindowLeftOffsetMin, kWindowLeftOffsetMax);
    drawWindow(texture, target + 120 * 320 + 5 + offset, state.windowPhaseLeft, false);
}

void drawRightWindow(const std::uint8_t* texture, std::uint8_t* target) {
    state.windowPhaseRight = advancePhase(state.windowPhaseRight, 3);
    drawWindow(texture, target + 120 * 320 + 210, state.windowPhaseRight, true);
}

}  // namespace raster
