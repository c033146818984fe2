#pragma once
// Grid-interpolated texture mapping: fills a picture from texture coordinates and light given
// only at the corners of 8x8-pixel cells (the textured plane's grid).
namespace raster {

// Reads effects::planeGrid, planeTexture and planeShade and writes effects::planeTarget:
// 26 cell rows of 8 pixel rows (rows 0..207) and the byte after row 207. Cell row 25 has no
// grid row below it; it interpolates toward a repeat of grid row 25.
void drawGridMapped();

}  // namespace raster
