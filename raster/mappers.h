#pragma once
// Polar-table texture mappers: every pixel of a 320x200 picture is looked up through the
// tunnel table, remapped through tunnelRemap and fetched from a 256x256 texture. Motion costs
// only byte additions.
#include <cstdint>

namespace raster {

// Each mapper reads a texture of 65536 bytes (high byte of an index = row) and writes a
// 320x200 target picture.

// The fixed-window mapper's two byte shifts, crossed over between its two look-ups.
struct PolarShift {
    std::uint8_t high;
    std::uint8_t low;
};

// The window offsets that keep the 320x200 window inside the 640x400 table.
inline constexpr std::int32_t kMaxWindowRowShift = 100;
inline constexpr std::int32_t kMaxWindowColumnShift = 160;

// Draws through the table window moved by windowOffset = rows * 640 + columns from the centre,
// with twist added to both look-ups' low bytes. A shift beyond 100 rows or 160 columns is
// clamped to that edge.
void mapPolarPanned(const std::uint8_t* texture, std::uint8_t* target, std::uint8_t twist,
                    std::int32_t windowOffset);
// Draws through the centred window with the 16-bit shift high * 256 + low (carrying into the
// high byte) before the remap and the crossed byte shifts after it.
void mapPolarShifted(const std::uint8_t* texture, std::uint8_t* target, PolarShift shift);

// The window offset mapPolarPanned actually uses for a requested one.
std::int32_t clampWindowOffset(std::int32_t windowOffset);

}  // namespace raster
