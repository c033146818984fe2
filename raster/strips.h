#pragma once
// Scrolling strips and edge fades that finish a few scenes' pictures.
#include <cstdint>

namespace raster {

// The windows' positions are state.stripOffset and state.bandOffset (raster/state.h).

// Moves the strip one image row on (back to the first row after the last) and copies its
// 32x200 window, which may run from the first copy of the image into the second, to the
// destination in a 320-wide picture.
void scrollStrip(std::uint8_t* destination);
// Moves the band one column on (back to 0 at 700) and adds its 320x26 window, saturating, onto
// the destination in a 320-wide picture. Source rows are 743 bytes; a window reaching past a
// row's end runs on into the next row, and past the end of flareBand it adds 0.
void addBand(std::uint8_t* destination);
// Darkens the top five rows by 250, 200, 150, 100, 50 and, from byte 62000 on, eleven runs of
// 320 bytes by 25 * k. The last runs lie past the picture: it must be followed by at least
// 1520 writable bytes, as the work buffers are.
void fadeEdges(std::uint8_t* picture);

}  // namespace raster
