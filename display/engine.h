#pragma once
// General picture services over 8-bit 320x200 buffers, used between drawing and presenting.
// All arithmetic is on palette indices: the scenes' palettes are ramps, so a larger index is a
// brighter shade. Nothing here checks its buffers; sizes are the caller's duty.
#include <array>
#include <cstdint>

#include "core/picture.h"

namespace display {

inline constexpr std::uint32_t kPictureBytes = core::kPictureBytes;
inline constexpr std::int32_t kPictureWidth = core::kPictureWidth;
inline constexpr std::int32_t kThumbnailWidth = 80;
inline constexpr std::int32_t kThumbnailHeight = 50;

// The scale table and the thumbnail are in display::state (display/state.h).

void buildScaleTable();

// Stores the 32-bit value (count / 4) times, little-endian; the last count % 4 bytes are left.
void fillBuffer(std::uint8_t* destination, std::uint32_t count, std::uint32_t value);
// Copies (count / 4) 32-bit words. The source comes first.
void copyBuffer(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t count);
// Stores (count / 4) zero words.
void clearBuffer(std::uint8_t* destination, std::uint32_t count);
// destination[i] = min(255, destination[i] + source[i]) for count bytes.
void addBuffer(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t count);
// Over a whole picture: value = max(0, value - k), k = amount clamped to 255 as an unsigned
// value, so a negative amount acts as 255.
void darkenBuffer(std::uint8_t* picture, std::int32_t amount);
// Over a whole picture: value = min(255, value + k), k as for darkenBuffer.
void brightenBuffer(std::uint8_t* picture, std::int32_t amount);
// destination = scaleTable[level][A] + scaleTable[255 - level][B] over a whole picture; level
// 255 gives A, 0 gives B. A level outside 0..255 is clamped into it. The destination may be A
// or B.
void crossFade(const std::uint8_t* pictureA, const std::uint8_t* pictureB,
               std::uint8_t* destination, std::int32_t level);
// In-place four-neighbour average walked in increasing order, so left and upper neighbours are
// already blurred: a smear toward the lower right. Neighbours outside the picture (the row
// above the first, the row below the last, one byte before and after) count as 0, so the
// picture needs no margins.
void blurBuffer(std::uint8_t* picture);
// thumbnail[r * 80 + c] = source[r * 1280 + c * 4]: the top-left pixel of every 4x4 block.
void captureThumbnail(const std::uint8_t* source);
// Adds the thumbnail, saturating, onto the 80x50 area whose top-left is the destination
// address inside a 320-wide picture.
void stampThumbnail(std::uint8_t* destination);

}  // namespace display
