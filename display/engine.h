#pragma once
// General picture services over 8-bit 320x200 buffers, used between drawing and presenting.
#include <array>
#include <cstdint>

namespace display {

// scaleTable[a * 256 + b] = floor(a * b / 255): fades and shading without multiplies.
extern std::array<std::uint8_t, 65536> scaleTable;
void buildScaleTable();

}  // namespace display
