#pragma once
// Palettes: 256 entries of red, green, blue, each 0..63, turned into the 8-bit blue, green,
// red colourTable that every frame is expanded through.
#include <array>
#include <cstdint>

namespace display {

// The colour table is display::state.colourTable (display/state.h).

// Rebuilds colourTable from a 768-byte palette; each value is shifted left by 2 in 8 bits.
void setPalette(const std::uint8_t* palette);
// Moves every byte of the working palette one unit toward the target.
void paletteStep(std::uint8_t* working, const std::uint8_t* target);

}  // namespace display
