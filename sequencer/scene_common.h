#pragma once
// Small rules every scene shares: the cue set, the clamp, the decay, the sway and tunnel
// offsets, and "set rowSeen".
#include <array>
#include <cmath>
#include <cstdint>

#include "core/cues.h"
#include "display/landscape.h"
#include "sequencer/state.h"

namespace sequencer {

template <std::size_t N>
bool rowIn(std::int32_t row, const std::array<std::int32_t, N>& rows) {
    for (std::int32_t cue : rows) {
        if (cue == row) {
            return true;
        }
    }
    return false;
}

inline bool isFlashRow(std::int32_t row) {
    return rowIn(row, core::kFlashRows);
}

// Truncation toward zero of a floating value that the scenes keep in range. The scenes work
// out their expressions in double from the 32-bit clock and round to float only what they
// store (the clock, sway, a scroll start time), so a value near a whole number truncates as
// the exact expression would.
inline std::int32_t truncate(double value) {
    return static_cast<std::int32_t>(value);
}

inline float sceneClock() {
    return motion.sceneTime.load(std::memory_order_relaxed);
}

// Marks the scene as past its first row 0.
inline void markRowSeen() {
    if (sceneState.musicRow > 0) {
        sceneState.rowSeen = 1;
    }
}

// The flash level falls by 25 a frame while it is above 0.
inline void decayFlashLevel() {
    if (sceneState.flashLevel > 0) {
        sceneState.flashLevel -= 25;
    }
}

inline bool inFirstOrder() {
    return sceneState.musicOrder == sceneState.sceneOrder;
}

void updateSway(float t);

// The sprite at a depth in whole units (the sprite takes 16.16 fixed point).
void drawSprite(std::int32_t x, std::int32_t y, const std::uint8_t* sprite, std::uint8_t* target,
                std::int32_t depth);

// The landscape camera for the clock: heading and tilt swing slowly.
display::LandscapeAim aimLandscape(float t);
// The landscape aimed for the clock, drawn into sourcePage + core::kLandscapeInSourcePage, and the
// polar remap's twist swinging with it.
void drawSwayingLandscape(float t);
// The crystal tunnel through the centred table window into target, its shifts swinging with
// the clock.
void mapShiftedTunnel(float t, std::uint8_t* target);

}  // namespace sequencer
