#include "sequencer/state.h"

#include <algorithm>
#include <cmath>

#include "archive/buffers.h"

namespace sequencer {

std::int32_t musicOrder = 0;
std::int32_t musicRow = 0;
std::int32_t sceneOrder = 0;
std::atomic<float> sceneTime{0.0f};
std::atomic<float> timeStep{0.0f};
std::uint32_t frameInterval = 16;
std::int32_t pulse = 0;
std::int32_t pulseB = 0;
std::int32_t rowSeen = 0;
float sway = 0.0f;
std::uint8_t noDance = 1;

std::array<std::int32_t, 1024> sinTable{};
std::array<std::int32_t, 1024> cosTable{};
std::array<std::int32_t, 320> warpWave{};

void buildSineTables() {
    for (int i = 0; i < 1024; ++i) {
        const double a = static_cast<double>(i) / 161.0;
        sinTable[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::sin(a) * 8192.0);
        cosTable[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::cos(a) * 8192.0);
    }
}

void widenResource05() {
    std::uint8_t* bytes = archive::resource05.data();
    // From the top down: word i lands on bytes 2i and 2i+1, never on a byte not yet read.
    for (int i = 65535; i >= 0; --i) {
        const std::uint32_t word = (32u - (bytes[i] >> 3)) * 320u;
        bytes[2 * i] = static_cast<std::uint8_t>(word & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(word >> 8);
    }
}

void buildWarpWave(float a) {
    // At a = 0 the quotient has no value: the wave is flat.
    if (a == 0.0f) {
        warpWave.fill(0);
        return;
    }
    // Worked out in double from the float argument, like the scenes' own expressions.
    const double divisor = static_cast<double>(a) / 100.0;
    for (int i = 0; i < 320; ++i) {
        const double phase = i / 12.0 - static_cast<double>(a) / 14.0;
        const double value = 10.0 * std::sin(phase) / divisor;
        // A tiny argument makes the wave huge: it is held to the 32-bit range.
        const double held = std::clamp(value, -2147483648.0, 2147483647.0);
        warpWave[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(held);
    }
}

std::int32_t clampRange(std::int32_t x, std::int32_t limit) {
    if (x > limit) {
        return limit;
    }
    if (x < 0) {
        return 0;
    }
    return x;
}

}  // namespace sequencer
