#include "raster/grain.h"

#include "raster/random.h"
#include "raster/state.h"

namespace raster {

namespace {

// One pixel: the source byte is read before the destination is written, so an in-place call
// equals a call with a copy as source.
template <int kShift>
void applyGrain(const std::uint8_t* source, std::uint8_t* destination, const std::uint8_t* noise) {
    for (std::uint32_t i = 0; i < kNoiseWindowLimit; ++i) {
        const int amount = static_cast<std::int8_t>(noise[i]) >> kShift;
        const int value = source[i] + amount;
        destination[i] = static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    }
}

void applyGrainAnyShift(const std::uint8_t* source, std::uint8_t* destination,
                        const std::uint8_t* noise, int shift) {
    for (std::uint32_t i = 0; i < kNoiseWindowLimit; ++i) {
        const int amount = static_cast<std::int8_t>(noise[i]) >> shift;
        const int value = source[i] + amount;
        destination[i] = static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    }
}

}  // namespace

void restartGrain() {
    state.noiseOffset = 0;
}

void fillNoise() {
    for (auto& byte : state.noiseTable) {
        byte = static_cast<std::uint8_t>(nextRandom() / 128);
    }
}

void addNoise(const std::uint8_t* source, std::uint8_t* destination, std::uint8_t shift) {
    if (state.noiseOffset >= kNoiseWindowLimit) {
        state.noiseOffset = 0;
    }
    const std::uint8_t* noise = state.noiseTable.data() + state.noiseOffset;
    switch (shift) {
        case 1:
            applyGrain<1>(source, destination, noise);
            break;
        case 3:
            applyGrain<3>(source, destination, noise);
            break;
        default:
            applyGrainAnyShift(source, destination, noise, shift > 7 ? 7 : shift);
            break;
    }
    state.noiseOffset += kNoiseWindowStep;
    if (state.noiseOffset >= kNoiseWindowLimit) {
        state.noiseOffset = 0;
    }
}

}  // namespace raster
