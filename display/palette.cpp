#include "display/palette.h"
#include "display/state.h"

namespace display {

void setPalette(const std::uint8_t* palette) {
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t red = palette[3 * i];
        const std::uint8_t green = palette[3 * i + 1];
        const std::uint8_t blue = palette[3 * i + 2];
        // The shift happens in 8 bits: 63 becomes 252, 64 wraps to 0.
        state.colourTable[3 * i] = static_cast<std::uint8_t>(blue << 2);
        state.colourTable[3 * i + 1] = static_cast<std::uint8_t>(green << 2);
        state.colourTable[3 * i + 2] = static_cast<std::uint8_t>(red << 2);
    }
}

void paletteStep(std::uint8_t* working, const std::uint8_t* target) {
    for (int i = 0; i < 768; ++i) {
        if (working[i] > target[i]) {
            --working[i];
        } else if (working[i] < target[i]) {
            ++working[i];
        }
    }
}

}  // namespace display
