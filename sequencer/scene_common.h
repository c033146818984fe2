#pragma once
// Small rules every scene shares: the cue set, the clamp, the decay, the sway and tunnel
// offsets, and "set rowSeen".
#include <array>
#include <cmath>
#include <cstdint>

#include "sequencer/state.h"

namespace sequencer {

// The rows most scenes flash on.
inline constexpr std::array<std::int32_t, 9> kCueSetB = {3, 10, 14, 19, 25, 29, 35, 43, 51};

template <std::size_t N>
bool rowIn(std::int32_t row, const std::array<std::int32_t, N>& rows) {
    for (std::int32_t cue : rows) {
        if (cue == row) {
            return true;
        }
    }
    return false;
}

inline bool rowInCueSetB(std::int32_t row) {
    return rowIn(row, kCueSetB);
}

// Above 255 becomes 255; below 0 becomes 0.
inline std::int32_t clampLevel(std::int32_t value) {
    if (value > 255) {
        return 255;
    }
    return value < 0 ? 0 : value;
}

// Truncation toward zero of a floating value that the scenes keep in range. The scenes work
// out their expressions in double from the 32-bit clock and round to float only what they
// store (the clock, sway, a scroll start time), so a value near a whole number truncates as
// the exact expression would.
inline std::int32_t truncate(double value) {
    return static_cast<std::int32_t>(value);
}

inline float sceneClock() {
    return sceneTime.load(std::memory_order_relaxed);
}

// Marks the scene as past its first row 0.
inline void markRowSeen() {
    if (musicRow > 0) {
        rowSeen = 1;
    }
}

// The flash level falls by 25 a frame while it is above 0.
inline void decayPulse() {
    if (pulse > 0) {
        pulse -= 25;
    }
}

inline bool inFirstOrder() {
    return musicOrder == sceneOrder;
}

void updateSway(float t);

// The sprite at a depth in whole units (the sprite takes 16.16 fixed point).
void drawSprite(std::int32_t x, std::int32_t y, const std::uint8_t* sprite, std::uint8_t* target,
                std::int32_t depth);

struct TunnelOffsets {
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::int32_t c = 0;
};
TunnelOffsets tunnelOffsets(float t);

}  // namespace sequencer
