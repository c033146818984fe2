#pragma once
// Polar-table texture mappers: every pixel of a 320x200 picture is looked up through the
// tunnel table, remapped through tunnelRemap and fetched from a 256x256 texture. Motion costs
// only byte additions.
#include <cstdint>

namespace raster {

// Texture (65536 bytes, high byte of an index = row) and destination picture; the sequencer
// sets both before any call.
extern const std::uint8_t* mapSource;
extern std::uint8_t* mapTarget;
// Added to both look-ups' low bytes by the panned mapper.
extern std::uint8_t mapTwist;
// Shifts of the fixed-window mapper, crossed over between its two look-ups.
extern std::uint8_t mapShiftA;
extern std::uint8_t mapShiftB;

// The window offsets that keep the 320x200 window inside the 640x400 table.
inline constexpr std::int32_t kMaxWindowRowShift = 100;
inline constexpr std::int32_t kMaxWindowColumnShift = 160;

// Draws through the table window moved by windowOffset = rows * 640 + columns from the centre.
// A shift beyond 100 rows or 160 columns is clamped to that edge.
void mapPolarPanned(std::int32_t windowOffset);
// Draws through the centred window with the 16-bit shift mapShiftA * 256 + mapShiftB (carrying
// into the high byte) before the remap and the crossed byte shifts after it.
void mapPolarShifted();

// The window offset mapPolarPanned actually uses for a requested one.
std::int32_t clampWindowOffset(std::int32_t windowOffset);

}  // namespace raster
