#pragma once
// Inset texture windows: two 80x50 screens in a frame of colour 100, each showing the texture
// at mapSource through windowMap, scrolled by a phase that advances every call and
// bent row by row by windowBend, drawn into mapTarget.
#include <cstdint>

namespace raster {

// 16-bit phases (low byte, high byte), 0 at program start and never reset.
extern std::uint16_t windowPhaseLeft;
extern std::uint16_t windowPhaseRight;
// Moves the left window and its frame up or down, in bytes (a multiple of 320); the timeline
// resets it to 0 at the start of play.
extern std::int32_t windowLeftOffset;

// Largest moves that keep the left window's frame (rows 119..170) inside a work buffer of
// 240000 bytes (rows 0..749); offsets beyond them are clamped.
inline constexpr std::int32_t kWindowLeftOffsetMin = -119 * 320;
inline constexpr std::int32_t kWindowLeftOffsetMax = (749 - 170) * 320;

// Window at columns 5..84, rows 120..169 moved by windowLeftOffset; frame around it.
void drawLeftWindow();
// Window at columns 210..289, rows 120..169, reading the map with its two bytes exchanged.
void drawRightWindow();

}  // namespace raster
