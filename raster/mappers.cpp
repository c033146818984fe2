#include "raster/mappers.h"

#include <algorithm>

#include "core/buffers.h"
#include "core/bytes.h"
#include "raster/polar.h"
#include "raster/state.h"

namespace raster {

namespace {

// Table position of the centred window's top-left: row 100, column 160.
constexpr std::int32_t kWindowOrigin = 100 * 640 + 160;

inline std::uint16_t remapEntry(std::uint16_t index) {
    return core::readLittle16(core::buffers.tunnelRemap.data() + 2 * index);
}

inline std::uint16_t addLowByte(std::uint16_t value, std::uint8_t amount) {
    return static_cast<std::uint16_t>((value & 0xFF00) | ((value + amount) & 0xFF));
}

}  // namespace

std::int32_t clampWindowOffset(std::int32_t windowOffset) {
    // Split into the nearest whole row and a column remainder in -320..319; in-range offsets
    // (columns within +-160) split back into exactly the rows and columns they were made of.
    const std::int64_t offset = windowOffset;
    std::int64_t rows = (offset >= 0 ? offset + 320 : offset - 319) / 640;
    std::int64_t columns = offset - rows * 640;
    if (columns >= 320) {
        ++rows;
        columns -= 640;
    } else if (columns < -320) {
        --rows;
        columns += 640;
    }
    rows = std::clamp<std::int64_t>(rows, -kMaxWindowRowShift, kMaxWindowRowShift);
    columns = std::clamp<std::int64_t>(columns, -kMaxWindowColumnShift, kMaxWindowColumnShift);
    return static_cast<std::int32_t>(rows * 640 + columns);
}

void mapPolarPanned(const std::uint8_t* texture, std::uint8_t* target, std::uint8_t twist,
                    std::int32_t windowOffset) {
    const std::uint16_t* window =
        state.polarTable.data() + kWindowOrigin + clampWindowOffset(windowOffset);
    std::uint8_t* out = target;
    for (int y = 0; y < 200; ++y) {
        const std::uint16_t* row = window + y * 640;
        for (int x = 0; x < 320; ++x) {
            const std::uint16_t polar = addLowByte(row[x], twist);
            out[x] = texture[addLowByte(remapEntry(polar), twist)];
        }
        out += 320;
    }
}

void mapPolarShifted(const std::uint8_t* texture, std::uint8_t* target, PolarShift shift) {
    const std::uint16_t* window = state.polarTable.data() + kWindowOrigin;
    std::uint8_t* out = target;
    const auto before = static_cast<std::uint16_t>(shift.high * 256 + shift.low);
    // After the remap the shifts cross over: low goes to the high byte, high to the low byte.
    const std::uint8_t highShift = shift.low;
    const std::uint8_t lowShift = shift.high;
    for (int y = 0; y < 200; ++y) {
        const std::uint16_t* row = window + y * 640;
        for (int x = 0; x < 320; ++x) {
            const auto polar = static_cast<std::uint16_t>(row[x] + before);
            const std::uint16_t texel = remapEntry(polar);
            const auto index = static_cast<std::uint16_t>((((texel >> 8) + highShift) & 0xFF) << 8 |
                                                          ((texel + lowShift) & 0xFF));
            out[x] = texture[index];
        }
        out += 320;
    }
}

}  // namespace raster
