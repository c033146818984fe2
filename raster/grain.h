#pragma once
// Film-grain overlay: every pixel is pushed up or down by a signed random amount, saturating,
// read from a fixed table of random bytes through a window that moves on after every call.
#include <array>
#include <cstdint>

namespace raster {

inline constexpr std::uint32_t kNoiseWindowStep = 871;
inline constexpr std::uint32_t kNoiseWindowLimit = 64000;

// 128000 random bytes, read as signed values; any window start 0..63999 plus a whole picture
// stays inside.
extern std::array<std::uint8_t, 128000> noiseTable;
// Window start into noiseTable; the timeline resets it to 0 at the start of play and scenes.
extern std::uint32_t noiseOffset;
// Arithmetic right shift applied to each noise byte: 1, 2 or 3 in the show.
extern std::uint8_t noiseShift;

// Fills noiseTable with nextRandom() / 128 per byte; runs once during preparation, before the
// voxel terrain draws from the same generator.
void fillNoise();
// destination[i] = source[i] + (noise >> noiseShift), saturating at 0 and 255, then moves the
// window on by 871 (back to 0 at 64000 or more). Source and destination may be the same
// picture. A noiseOffset beyond the window range is read as 0, and shifts above 7 act as 7
// (which already leaves only 0 or -1).
void addNoise(const std::uint8_t* source, std::uint8_t* destination);

}  // namespace raster
