#pragma once
// The plasma zoom window: a 255-pixel-wide window in which every pixel magnifies the source
// picture by its own factor, taken from a zoom map, toward a movable centre.
#include <array>
#include <cstdint>

namespace raster {

// The zoom map: 320 bytes per row, one value per window pixel; only columns 0..254 of rows
// 0..199 are read. 255 samples close to the pixel itself, smaller values magnify more.
extern std::array<std::uint8_t, 64000> plasmaMap;
// The wave the plasma is built from; turns by one place per call, for the life of the program.
extern std::array<std::uint8_t, 255> plasmaWave;
// Set by the sequencer each frame: shifts the point the picture is pulled toward.
extern std::uint8_t zoomCentreX;
extern std::uint8_t zoomCentreY;
// 1: rebuild plasmaMap from plasmaWave on every call; 0: use plasmaMap as the caller filled it.
extern std::uint8_t plasmaFromWave;

// The wave's starting order (plasmaWave's value at program start).
extern const std::array<std::uint8_t, 255> plasmaWaveStart;

// Draws the window into columns 32..287 of rows 0..199 of `destination` (320 bytes per row),
// framed in colour 200, and turns the wave. `source` is 320 bytes per row and is read at rows
// and columns 0..255, so it needs 255 * 320 + 256 readable bytes (sourcePage in the show).
void plasmaZoom(const std::uint8_t* source, std::uint8_t* destination);

}  // namespace raster
