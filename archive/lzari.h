#pragma once
// LZARI: an LZSS sliding-window coder whose literals, match lengths and match positions are
// coded by an adaptive arithmetic coder. Parameters: a 4096-byte window, matches of 3 to 60
// bytes, 17-bit coder registers, and a 4-byte little-endian decoded size in front of the
// bit stream. Every archive entry is one such stream.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace archive {

inline constexpr std::size_t kLzariSizeHeaderBytes = 4;
// Near its end the decoder looks 17 bits ahead, so it fetches up to two bytes past the block;
// those read as 0. A stream that needs more than this many such bytes is cut short.
inline constexpr std::size_t kLzariTailAllowance = 4;

enum class DecodeStatus {
    ok,
    missingSizeHeader,   // the block is shorter than its 4-byte size
    exceedsDestination,  // decodedSize is larger than the destination's capacity
    streamEndsEarly,     // the bit stream ran out before decodedSize bytes were produced
};

// The decoded size a block announces; 0 when the block is too short to hold it.
std::uint32_t lzariDecodedSize(std::span<const std::uint8_t> block);

// Expands a whole stored block (size header included) straight into destination. Nothing is
// written when decodedSize exceeds capacity, and never more than decodedSize bytes otherwise.
// Bytes past the block read as 0. The decoder's state is static: one stream at a time.
DecodeStatus lzariDecode(std::span<const std::uint8_t> block, std::uint8_t* destination,
                         std::size_t capacity);

// How many bytes past its block the last decode fetched (they read as 0); for checks.
std::size_t lzariLastBytesPastEnd();

// Compresses data into a stream that lzariDecode (and any decoder of the same published
// scheme) expands back to exactly data. Prefers the longest match, the nearest among equals.
std::vector<std::uint8_t> lzariEncode(std::span<const std::uint8_t> data);

// What a failed decode means, for messages.
const char* describe(DecodeStatus status);

}  // namespace archive
