#pragma once
// Glow blobs stamped additively into a picture, and the two recorded dancer animations that
// are drawn as figures of blobs.
//
// Dancer stream format (what the content tools write into entries 22 and 23):
//   * The stream is a sequence of unsigned 16-bit little-endian words; a trailing odd byte is
//     ignored.
//   * A frame is one or more points, each two words: x, then y stored doubled (the blob is
//     drawn at row y / 2, rounded down). Every frame has at least one point: the word at the
//     start of a frame is always read as an x.
//   * The word after a point decides what that point is:
//       0xFFFE  the frame ends here; this last point is read but not drawn, and the next
//               frame starts with the word after the 0xFFFE;
//       0xFFFF  the animation ends here; playback restarts at the first word and the first
//               frame is drawn in the same call (blobs already stamped for the unfinished
//               frame stay); this point is not drawn either;
//       other   the point is drawn and the word is the next point's x.
//     The markers mean nothing anywhere else (an x or y of 0xFFFE is just a position).
//   * So a clean animation is: for each frame, its points, then one extra throw-away point and
//     0xFFFE; after the last frame, one more throw-away point and 0xFFFF.
//   * Safety rules for damaged or unterminated data: where fewer than three words (x, y and
//     the word after) remain, the stream counts as ending there with 0xFFFF. Only one restart
//     happens per call: a second end in the same call (a first frame that itself reaches an
//     end) stops the call with the cursor at the first frame. A stream shorter than one point
//     and its following word draws nothing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace raster {

// The soft round brush: peak 31 at row 15, column 15; stamped at 4 times its value.
extern const std::array<std::uint8_t, 32 * 32> blobBrush;

// Adds the brush into target (320 bytes a row) with its top-left corner at (x - 16, y - 16),
// saturating at 255. Drawn only when that corner's column lies in -16..319 and its row in
// 0..200; columns outside 0..319 are clipped, rows past 199 land below the picture, so target
// must have 232 rows (mixPage in the show).
void stampBlob(std::uint8_t* target, std::int32_t x, std::int32_t y);

// The two marker words of a dancer stream.
inline constexpr std::uint16_t dancerEndOfFrame = 0xFFFE;
inline constexpr std::uint16_t dancerEndOfAnimation = 0xFFFF;

// One dancer's playback state.
struct Dancer {
    std::span<const std::uint8_t> dancerStart;  // the whole stream; the first frame at word 0
    std::size_t dancerCursor = 0;               // word index of the next frame to draw
};

void startDancer(Dancer& dancer, std::span<const std::uint8_t> stream);
// Stamps the dancer's next frame into target and moves its cursor to the frame after it.
void drawDancer(Dancer& dancer, std::uint8_t* target);

// The show's two dancers, raster::state.dancerA and dancerB.
void startDancerA(std::span<const std::uint8_t> stream);
void startDancerB(std::span<const std::uint8_t> stream);
void drawDancerA(std::uint8_t* target);
void drawDancerB(std::uint8_t* target);

}  // namespace raster
