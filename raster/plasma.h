#pragma once
// The plasma zoom window: a 255-pixel-wide window in which every pixel magnifies the source
// picture by its own factor, taken from a zoom map, toward a movable centre.
#include <array>
#include <cstdint>

namespace raster {

// The wave and the map made from it are state.plasmaWave and state.plasmaMap (raster/state.h).

// The wave's starting order (the wave's value at program start).
inline constexpr std::array<std::uint8_t, 255> plasmaWaveStart{
    54,  58,  63,  67,  71,  74,  78,  81,  85,  88,  91,  93,  96,  98,  100, 101, 103, 104, 104,
    105, 105, 105, 105, 104, 103, 102, 101, 100, 98,  97,  95,  93,  91,  89,  86,  84,  82,  79,
    77,  75,  72,  70,  67,  65,  63,  61,  59,  56,  54,  53,  51,  49,  47,  46,  44,  43,  41,
    40,  39,  38,  37,  36,  35,  34,  33,  32,  32,  31,  31,  30,  30,  29,  29,  29,  29,  29,
    28,  28,  28,  28,  28,  29,  29,  29,  29,  29,  29,  30,  30,  30,  31,  31,  32,  32,  33,
    33,  34,  35,  35,  36,  37,  38,  39,  40,  40,  41,  42,  44,  45,  46,  47,  48,  49,  51,
    52,  53,  55,  56,  57,  59,  60,  62,  63,  65,  66,  68,  69,  71,  72,  74,  75,  77,  78,
    80,  81,  82,  84,  85,  86,  88,  89,  90,  91,  92,  93,  94,  95,  96,  97,  98,  99,  100,
    100, 101, 102, 102, 103, 103, 104, 104, 105, 106, 108, 110, 112, 111, 108, 107, 106, 105, 103,
    103, 105, 106, 108, 105, 104, 104, 104, 103, 103, 102, 102, 101, 100, 99,  99,  98,  97,  96,
    95,  93,  92,  91,  89,  88,  86,  85,  83,  81,  79,  77,  75,  73,  71,  68,  66,  63,  61,
    58,  55,  53,  50,  47,  44,  42,  39,  36,  33,  30,  28,  25,  23,  21,  18,  16,  14,  12,
    10,  9,   7,   6,   6,   5,   5,   5,   5,   6,   7,   8,   9,   11,  13,  15,  17,  20,  22,
    25,  29,  32,  35,  39,  43,  46,  50,
};

// Shifts the point the picture is pulled toward.
struct ZoomCentre {
    std::uint8_t x;
    std::uint8_t y;
};

// Rebuilds state.plasmaMap from the wave as it stands and returns it, for a zoom map that
// moves with the wave.
const std::uint8_t* plasmaMapFromWave();

// Draws the window into columns 32..287 of rows 0..199 of `destination` (320 bytes per row),
// framed in colour 200, and turns the wave. `zoomMap` holds one value per window pixel, 320
// bytes per row, read at columns 0..254 of rows 0..199: 255 samples close to the pixel itself,
// smaller values magnify more. `source` is 320 bytes per row and is read at rows and columns
// 0..255, so it needs 255 * 320 + 256 readable bytes (sourcePage in the show).
void plasmaZoom(const std::uint8_t* source, std::uint8_t* destination, const std::uint8_t* zoomMap,
                ZoomCentre centre);

}  // namespace raster
