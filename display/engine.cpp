#include "display/engine.h"

namespace display {

std::array<std::uint8_t, 65536> scaleTable{};

// Provisional build; the engine services work completes this file.
void buildScaleTable() {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            scaleTable[a * 256 + b] = static_cast<std::uint8_t>(a * b / 255);
        }
    }
}

}  // namespace display
