#include "raster/blobs.h"

#include "core/picture.h"
#include "raster/state.h"

namespace raster {

const std::array<std::uint8_t, 32 * 32> blobBrush{
    0,  0,  0,  0,  0,  0,  0,  0,  0,  1,  1,  2,  2,  2,  3,  2,  3,  2,  2,  2,  2,  1,  0,  0,
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  1,  1,  3,  3,  4,  4,  5,  4,  5,
    4,  5,  4,  4,  3,  3,  1,  1,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  1,  2,
    3,  4,  5,  5,  6,  6,  7,  6,  7,  6,  6,  5,  5,  4,  3,  2,  1,  0,  0,  0,  0,  0,  0,  0,
    0,  0,  0,  0,  0,  2,  2,  4,  4,  6,  6,  8,  7,  8,  8,  9,  8,  8,  7,  8,  6,  6,  4,  4,
    2,  2,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  2,  3,  4,  5,  7,  7,  8,  9,  10, 10, 10, 10,
    10, 10, 10, 9,  8,  7,  6,  5,  4,  3,  2,  0,  0,  0,  0,  0,  0,  0,  0,  2,  3,  5,  5,  7,
    8,  10, 10, 11, 11, 12, 12, 12, 12, 12, 11, 11, 10, 10, 8,  7,  5,  5,  3,  2,  0,  0,  0,  0,
    0,  0,  1,  3,  4,  5,  7,  8,  10, 10, 12, 12, 13, 13, 14, 14, 14, 14, 13, 12, 12, 10, 10, 8,
    7,  6,  4,  3,  1,  0,  0,  0,  0,  1,  2,  4,  5,  7,  8,  10, 11, 12, 13, 15, 15, 16, 16, 16,
    16, 16, 15, 15, 13, 12, 11, 10, 8,  7,  5,  4,  2,  1,  0,  0,  0,  1,  3,  5,  7,  8,  10, 11,
    13, 14, 15, 16, 17, 17, 18, 18, 18, 17, 17, 16, 15, 14, 12, 11, 10, 8,  6,  5,  3,  2,  0,  0,
    0,  3,  4,  6,  7,  10, 10, 12, 13, 16, 16, 18, 18, 20, 19, 20, 19, 20, 18, 18, 16, 16, 13, 12,
    10, 10, 7,  6,  4,  3,  0,  0,  1,  3,  5,  6,  8,  10, 12, 13, 15, 16, 18, 19, 20, 21, 22, 21,
    22, 21, 20, 19, 18, 16, 15, 13, 12, 10, 8,  6,  5,  3,  1,  0,  1,  4,  5,  8,  9,  11, 12, 15,
    15, 18, 19, 21, 21, 23, 23, 24, 23, 23, 21, 21, 19, 18, 16, 15, 12, 11, 9,  8,  5,  4,  1,  0,
    2,  4,  6,  8,  10, 11, 13, 15, 17, 18, 20, 21, 23, 24, 25, 25, 25, 24, 23, 21, 20, 18, 17, 15,
    13, 11, 10, 8,  6,  4,  2,  0,  2,  5,  6,  8,  10, 12, 13, 16, 17, 20, 20, 23, 24, 26, 26, 27,
    27, 26, 24, 23, 21, 20, 17, 16, 13, 12, 10, 8,  6,  5,  2,  1,  3,  4,  7,  8,  10, 12, 14, 16,
    18, 19, 22, 23, 25, 27, 29, 29, 29, 27, 25, 23, 22, 19, 18, 16, 14, 12, 10, 8,  7,  4,  3,  1,
    2,  5,  6,  9,  10, 12, 14, 16, 17, 20, 21, 24, 25, 28, 29, 31, 29, 28, 25, 24, 21, 20, 17, 16,
    14, 12, 10, 9,  6,  5,  2,  1,  3,  5,  6,  8,  10, 12, 14, 16, 18, 20, 21, 23, 25, 27, 28, 29,
    29, 27, 25, 23, 22, 20, 18, 16, 14, 12, 10, 8,  7,  5,  3,  1,  2,  5,  6,  8,  10, 12, 13, 16,
    17, 20, 20, 23, 24, 26, 26, 28, 27, 26, 24, 23, 21, 20, 17, 16, 13, 12, 10, 8,  6,  5,  2,  1,
    2,  4,  6,  8,  10, 11, 13, 15, 17, 18, 20, 21, 23, 24, 25, 25, 25, 24, 23, 21, 20, 18, 17, 15,
    13, 11, 10, 8,  6,  4,  2,  0,  1,  4,  5,  8,  9,  11, 12, 15, 15, 18, 19, 21, 21, 23, 23, 24,
    23, 23, 21, 21, 19, 18, 16, 15, 12, 11, 9,  8,  5,  4,  1,  0,  2,  3,  5,  6,  8,  10, 12, 13,
    15, 16, 18, 19, 20, 21, 21, 21, 22, 21, 20, 19, 18, 16, 15, 13, 12, 10, 8,  6,  5,  3,  1,  0,
    0,  3,  4,  6,  7,  10, 10, 12, 13, 16, 16, 18, 18, 20, 19, 20, 19, 20, 18, 18, 16, 16, 13, 12,
    10, 10, 7,  6,  4,  3,  0,  0,  0,  1,  3,  5,  7,  8,  10, 11, 12, 14, 15, 16, 17, 17, 18, 18,
    18, 17, 17, 16, 15, 13, 13, 11, 10, 8,  7,  5,  3,  1,  0,  0,  0,  1,  2,  4,  5,  7,  8,  10,
    11, 12, 13, 15, 15, 16, 16, 16, 16, 16, 15, 15, 13, 12, 11, 10, 8,  7,  5,  4,  2,  1,  0,  0,
    0,  0,  1,  2,  4,  6,  7,  8,  10, 11, 12, 12, 13, 14, 14, 14, 14, 14, 13, 12, 12, 11, 10, 8,
    7,  6,  4,  2,  2,  0,  0,  0,  0,  0,  0,  2,  3,  5,  5,  7,  8,  10, 10, 11, 11, 12, 12, 12,
    12, 12, 11, 11, 10, 10, 8,  7,  5,  5,  3,  2,  0,  0,  0,  0,  0,  0,  0,  0,  2,  3,  4,  5,
    7,  7,  8,  9,  10, 10, 10, 10, 10, 10, 10, 9,  8,  7,  7,  5,  4,  3,  2,  0,  0,  0,  0,  0,
    0,  0,  0,  0,  0,  2,  2,  4,  4,  6,  6,  8,  7,  8,  8,  9,  8,  8,  7,  8,  6,  6,  4,  4,
    2,  2,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  1,  2,  3,  4,  5,  5,  6,  6,  6,  6,
    7,  6,  6,  5,  5,  4,  3,  2,  2,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  1,
    1,  3,  3,  4,  4,  5,  4,  5,  4,  5,  4,  4,  3,  3,  1,  1,  0,  0,  0,  0,  0,  0,  0,  0,
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  1,  2,  2,  2,  3,  3,  3,  2,  2,  2,  1,  0,  0,  0,
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  1,  0,  1,
    0,  1,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
};

namespace {

constexpr int kWidth = core::kPictureWidth;
constexpr int kBrushSize = 32;

std::uint16_t wordAt(std::span<const std::uint8_t> stream, std::size_t index) {
    return static_cast<std::uint16_t>(stream[2 * index] | (stream[2 * index + 1] << 8));
}

}  // namespace

void stampBlob(std::uint8_t* target, std::int32_t x, std::int32_t y) {
    // Compare in 64 bits so centres near the 32-bit limits cannot wrap into range.
    const std::int64_t left = std::int64_t{x} - 16;
    const std::int64_t top = std::int64_t{y} - 16;
    if (top < 0 || top > 200 || left < -16 || left > 319) {
        return;
    }
    int firstColumn = 0;
    int lastColumn = kBrushSize;  // one past
    if (left < 0) {
        firstColumn = static_cast<int>(-left);
    } else if (left > 320 - kBrushSize) {
        lastColumn = static_cast<int>(320 - left);
    }
    std::uint8_t* corner = target + top * kWidth + left;
    for (int row = 0; row < kBrushSize; ++row) {
        const std::uint8_t* brushRow = blobBrush.data() + row * kBrushSize;
        std::uint8_t* out = corner + row * kWidth;
        for (int column = firstColumn; column < lastColumn; ++column) {
            const int sum = out[column] + 4 * brushRow[column];
            out[column] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
        }
    }
}

void startDancer(Dancer& dancer, std::span<const std::uint8_t> stream) {
    dancer.dancerStart = stream;
    dancer.dancerCursor = 0;
}

void drawDancer(Dancer& dancer, std::uint8_t* target) {
    const std::span<const std::uint8_t> stream = dancer.dancerStart;
    const std::size_t words = stream.size() / 2;
    std::size_t cursor = dancer.dancerCursor;
    bool restarted = false;
    for (;;) {
        // A point needs its x, its y and the word after it.
        const bool complete = cursor + 3 <= words;
        const std::uint16_t next = complete ? wordAt(stream, cursor + 2) : dancerEndOfAnimation;
        if (next == dancerEndOfAnimation) {
            cursor = 0;
            if (restarted) {
                break;
            }
            restarted = true;
            continue;
        }
        if (next == dancerEndOfFrame) {
            cursor += 3;
            break;
        }
        stampBlob(target, wordAt(stream, cursor), wordAt(stream, cursor + 1) / 2);
        cursor += 2;
    }
    dancer.dancerCursor = cursor;
}

void startDancerA(std::span<const std::uint8_t> stream) {
    startDancer(state.dancerA, stream);
}
void startDancerB(std::span<const std::uint8_t> stream) {
    startDancer(state.dancerB, stream);
}
void drawDancerA(std::uint8_t* target) {
    drawDancer(state.dancerA, target);
}
void drawDancerB(std::uint8_t* target) {
    drawDancer(state.dancerB, target);
}

}  // namespace raster
