#pragma once
// Film-grain overlay: every pixel is pushed up or down by a signed random amount, saturating,
// read from a fixed table of random bytes through a window that moves on after every call.
#include <array>
#include <cstdint>

namespace raster {

inline constexpr std::uint32_t kNoiseWindowStep = 871;
inline constexpr std::uint32_t kNoiseWindowLimit = 64000;

// The table and the window's start are state.noiseTable and state.noiseOffset (raster/state.h).

// Puts the window back to the table's start, as the show does at the start of play and of the
// grained scenes.
void restartGrain();
// Fills the noise table with nextRandom() / 128 per byte; runs once during preparation, before
// the voxel terrain draws from the same generator.
void fillNoise();
// destination[i] = source[i] + (noise >> shift), saturating at 0 and 255, then moves the
// window on by 871 (back to 0 at 64000 or more). Source and destination may be the same
// picture. A window start beyond the range is read as 0, and shifts above 7 act as 7 (which
// already leaves only 0 or -1); the show uses 1, 2 and 3.
void addNoise(const std::uint8_t* source, std::uint8_t* destination, std::uint8_t shift);

}  // namespace raster
