#pragma once
// Converting coordinates that grow without bound (camera positions, forward offsets) to 32 bits.
#include <cmath>
#include <cstdint>

namespace effects {

// Truncates toward zero into a 32-bit value, wrapping modulo 2^32 instead of overflowing: only
// the low bits of such a coordinate select a texel. Values with no integer form give 0.
inline std::int32_t truncWrap32(double value) {
    if (value > -2147483648.0 && value < 2147483648.0) {
        return static_cast<std::int32_t>(value);
    }
    if (!std::isfinite(value)) {
        return 0;
    }
    const double wrapped = std::fmod(std::trunc(value), 4294967296.0);
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<std::int64_t>(wrapped)));
}

}  // namespace effects
