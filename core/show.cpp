#include "core/show.h"

#include <algorithm>
#include <cmath>

namespace core {

Motion motion;

void buildSineTables() {
    for (int i = 0; i < 1024; ++i) {
        const double a = static_cast<double>(i) / 161.0;
        motion.sinTable[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>(std::sin(a) * 8192.0);
        motion.cosTable[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>(std::cos(a) * 8192.0);
    }
}

void buildWarpWave(float a) {
    // At a = 0 the quotient has no value: the wave is flat.
    if (a == 0.0f) {
        motion.warpWave.fill(0);
        return;
    }
    // Worked out in double from the float argument, like the scenes' own expressions.
    const double divisor = static_cast<double>(a) / 100.0;
    for (int i = 0; i < 320; ++i) {
        const double phase = i / 12.0 - static_cast<double>(a) / 14.0;
        const double value = 10.0 * std::sin(phase) / divisor;
        // A tiny argument makes the wave huge: it is held to the 32-bit range.
        const double held = std::clamp(value, -2147483648.0, 2147483647.0);
        motion.warpWave[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(held);
    }
}

}  // namespace core
