#pragma once
// Tunnel and polar coordinate tables: all the trigonometry of the tunnel, swirl and inset-window
// scenes happens here, so the per-pixel routines only add bytes and look up.
#include <array>
#include <cstdint>

namespace raster {

inline constexpr int kPolarTableWidth = 640;
inline constexpr int kPolarTableHeight = 400;
inline constexpr int kWindowMapWidth = 80;
inline constexpr int kWindowMapHeight = 50;

// The remap's offsets reach this far before and after a 64000-byte source picture, so every
// source handed to it needs this much readable storage around it.
inline constexpr std::int32_t kPolarMarginBefore = 4341;
inline constexpr std::int32_t kPolarMarginAfter = 4659;

// Twice the screen each way, centre at column 320, row 200: low byte angle (512 units a turn),
// high byte depth into the tunnel.
extern std::array<std::uint16_t, 640 * 400> polarTable;
// The same scheme for an 80x50 inset window, centre (40, 25).
extern std::array<std::uint16_t, 80 * 50> windowMap;
// Per texture row bend of the inset windows.
extern std::array<std::uint8_t, 256> windowBend;
// Per screen pixel: radius byte, angle byte, and a third byte never written.
extern std::array<std::uint8_t, 320 * 200 * 3> polarMap;
// Source offset in a 320-wide picture for radius + 256 * angle.
extern std::array<std::int32_t, 256 * 256> polarOffsets;
// Added to each angle before the remap's offset look-up.
extern std::array<std::uint8_t, 256> angleTwist;

void buildPolarTable();
// One tunnel table entry worked out wholly in extended precision: the reference the fast build
// must match.
std::uint16_t polarTableEntryExtended(int x, int y);
void buildWindowMap();
// windowBend[i] = low byte of trunc(sin(frequency * i) * amplitude).
void buildWindowBend(std::int32_t amplitude, float frequency);
void buildPolarMaps();
// Every entry = low byte of trunc(core::sway).
void fillAngleTwist();

}  // namespace raster
