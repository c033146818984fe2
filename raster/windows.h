#pragma once
// Inset texture windows: two 80x50 screens in a frame of colour 100, each showing a 256x256
// texture through the window map, scrolled by a phase that advances every call and bent row by
// row by the window bend, drawn into a target picture.
#include <cstdint>

namespace raster {

// The phases are state.windowPhaseLeft and state.windowPhaseRight (raster/state.h).

// Largest moves that keep the left window's frame (rows 119..170) inside a work buffer of
// 240000 bytes (rows 0..749); offsets beyond them are clamped.
inline constexpr std::int32_t kWindowLeftOffsetMin = -119 * 320;
inline constexpr std::int32_t kWindowLeftOffsetMax = (749 - 170) * 320;

// Window at columns 5..84, rows 120..169 moved up or down by `move` bytes (a multiple of 320);
// frame around it.
void drawLeftWindow(const std::uint8_t* texture, std::uint8_t* target, std::int32_t move);
// Window at columns 210..289, rows 120..169, reading the map with its two bytes exchanged.
void drawRightWindow(const std::uint8_t* texture, std::uint8_t* target);

}  // namespace raster
