#include "raster/warps.h"

#include <cstring>

#include "core/picture.h"
#include "core/show.h"
#include "raster/polar.h"
#include "raster/state.h"

namespace raster {

namespace {

constexpr std::uint32_t kPicture = core::kPictureBytes;
constexpr std::uint8_t kWaveFrameColour = 200;

inline std::int16_t heightAt(const std::uint8_t* heights, std::uint32_t word) {
    std::int16_t value;
    std::memcpy(&value, heights + 2 * word, 2);
    return value;
}

// Past the 64000 words of the field the heights read as 0.
inline std::int16_t heightOrZero(const std::uint8_t* heights, std::uint32_t word) {
    return word < kPicture ? heightAt(heights, word) : std::int16_t{0};
}

inline int shiftedDifference(std::int16_t next, std::int16_t here) {
    return static_cast<std::int16_t>(next - here) >> 3;
}

}  // namespace

void polarRemap(const std::uint8_t* source, std::uint8_t* destination) {
    const std::uint8_t* map = state.polarMap.data();
    const std::uint8_t* twist = state.angleTwist.data();
    const std::int32_t* offsets = state.polarOffsets.data();
    for (std::uint32_t i = 0; i < kPicture; ++i) {
        const std::uint8_t radius = map[3 * i];
        const std::uint8_t angle = map[3 * i + 1];
        const auto turned = static_cast<std::uint8_t>(angle + twist[angle]);
        destination[i] = source[offsets[radius + 256 * turned]];
    }
}

void gradientWarp(const std::uint8_t* texture, const std::uint8_t* heights,
                  std::uint8_t* destination) {
    // Rows whose lower neighbour lies in the field: no bounds to watch.
    constexpr std::uint32_t kInsideEnd = kPicture - 320;
    std::uint32_t k = 1;
    for (; k < kInsideEnd; ++k) {
        const std::int16_t here = heightAt(heights, k);
        const int gRow = shiftedDifference(heightAt(heights, k + 1), here);
        const int gCol = shiftedDifference(heightAt(heights, k + 320), here);
        destination[k] = texture[static_cast<std::uint32_t>(k + 320 * gRow + gCol) & 0xFFFF];
    }
    for (; k <= kPicture; ++k) {
        const std::int16_t here = heightOrZero(heights, k);
        const int gRow = shiftedDifference(heightOrZero(heights, k + 1), here);
        const int gCol = shiftedDifference(heightOrZero(heights, k + 320), here);
        destination[k] = texture[static_cast<std::uint32_t>(k + 320 * gRow + gCol) & 0xFFFF];
    }
}

void waveWarp(const std::uint8_t* source, std::uint8_t* target) {
    const auto& wave = core::motion.warpWave;
    for (int y = 10; y < 190; ++y) {
        // 64-bit so an extreme wave value cannot overflow before the range test.
        const std::int64_t sourceRow = static_cast<std::int64_t>(wave[y]) + y;
        for (int x = 10; x < 310; x += 2) {
            const std::int64_t sourceColumn = static_cast<std::int64_t>(wave[x]) + x;
            const std::int64_t offset = sourceRow * 320 + sourceColumn;
            if (offset >= 0 && offset <= static_cast<std::int64_t>(kPicture)) {
                target[y * 320 + x] = source[offset];
                target[y * 320 + x + 1] = source[offset + 1];
            }
        }
    }
    for (int y = 10; y < 190; ++y) {
        target[y * 320 + 10] = kWaveFrameColour;
        target[y * 320 + 310] = kWaveFrameColour;
    }
    std::memset(target + 10 * 320 + 10, kWaveFrameColour, 300);
    std::memset(target + 189 * 320 + 10, kWaveFrameColour, 300);
}

}  // namespace raster
