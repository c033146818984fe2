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

// The builders fill the tables in raster::state (raster/state.h).
void buildPolarTable();
// One tunnel table entry worked out wholly in extended precision: the reference the fast build
// must match.
std::uint16_t polarTableEntryExtended(int x, int y);
void buildWindowMap();
// state.windowBend[i] = low byte of trunc(sin(frequency * i) * amplitude).
void buildWindowBend(std::int32_t amplitude, float frequency);
void buildPolarMaps();
// Every state.angleTwist entry = low byte of trunc(core::sway).
void fillAngleTwist();

}  // namespace raster
