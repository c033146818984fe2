#include "display/engine.h"
#include "display/state.h"

#include <algorithm>
#include <cstring>

namespace display {

namespace {

std::uint32_t clampAmount(std::int32_t amount) {
    // Compared unsigned: a negative amount is a huge value and clamps to 255.
    return std::min<std::uint32_t>(static_cast<std::uint32_t>(amount), 255u);
}

}  // namespace

void buildScaleTable() {
    // The integer part of (a / 255) * b in 64-bit-significand extended precision equals the
    // exact floor(a * b / 255) for every entry; integers give it on every machine, including
    // those whose long double is another format.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            state.scaleTable[a * 256 + b] = static_cast<std::uint8_t>(a * b / 255);
        }
    }
}

void fillBuffer(std::uint8_t* destination, std::uint32_t count, std::uint32_t value) {
    const std::uint8_t word[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    const std::uint32_t words = count / 4;
    for (std::uint32_t i = 0; i < words; ++i) {
        std::memcpy(destination + i * 4, word, 4);
    }
}

void copyBuffer(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t count) {
    // memmove keeps an overlapping call defined; callers copy between distinct buffers.
    std::memmove(destination, source, (count / 4) * 4);
}

void clearBuffer(std::uint8_t* destination, std::uint32_t count) {
    std::memset(destination, 0, (count / 4) * 4);
}

void addBuffer(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const unsigned sum = destination[i] + source[i];
        destination[i] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
    }
}

void darkenBuffer(std::uint8_t* picture, std::int32_t amount) {
    const int k = static_cast<int>(clampAmount(amount));
    for (std::uint32_t i = 0; i < kPictureBytes; ++i) {
        const int value = picture[i] - k;
        picture[i] = static_cast<std::uint8_t>(value < 0 ? 0 : value);
    }
}

void brightenBuffer(std::uint8_t* picture, std::int32_t amount) {
    const int k = static_cast<int>(clampAmount(amount));
    for (std::uint32_t i = 0; i < kPictureBytes; ++i) {
        const int value = picture[i] + k;
        picture[i] = static_cast<std::uint8_t>(value > 255 ? 255 : value);
    }
}

void crossFade(const std::uint8_t* pictureA, const std::uint8_t* pictureB,
               std::uint8_t* destination, std::int32_t level) {
    // A level outside 0..255 would index past the table; clamp it once per call.
    const int weight = std::clamp(level, 0, 255);
    const std::uint8_t* rowA = state.scaleTable.data() + weight * 256;
    const std::uint8_t* rowB = state.scaleTable.data() + (255 - weight) * 256;
    for (std::uint32_t i = 0; i < kPictureBytes; ++i) {
        destination[i] = static_cast<std::uint8_t>(rowA[pictureA[i]] + rowB[pictureB[i]]);
    }
}

void blurBuffer(std::uint8_t* picture) {
    constexpr int kWidth = kPictureWidth;
    constexpr int kLastRow = static_cast<int>(kPictureBytes) - kWidth;
    auto at = [picture](int p) -> unsigned {
        return (p < 0 || p >= static_cast<int>(kPictureBytes)) ? 0u : picture[p];
    };
    // First row: the row above and the byte before the picture count as 0.
    for (int p = 0; p < kWidth; ++p) {
        picture[p] = static_cast<std::uint8_t>((at(p - 1) + at(p + 1) + picture[p + kWidth]) >> 2);
    }
    // Every neighbour of the middle rows lies inside the picture.
    for (int p = kWidth; p < kLastRow; ++p) {
        const unsigned sum =
            picture[p - 1] + picture[p + 1] + picture[p - kWidth] + picture[p + kWidth];
        picture[p] = static_cast<std::uint8_t>(sum >> 2);
    }
    // Last row: the row below and the byte after the picture count as 0.
    for (int p = kLastRow; p < static_cast<int>(kPictureBytes); ++p) {
        picture[p] =
            static_cast<std::uint8_t>((picture[p - 1] + at(p + 1) + picture[p - kWidth]) >> 2);
    }
}

void captureThumbnail(const std::uint8_t* source) {
    for (int r = 0; r < kThumbnailHeight; ++r) {
        for (int c = 0; c < kThumbnailWidth; ++c) {
            state.thumbnail[r * kThumbnailWidth + c] = source[r * 1280 + c * 4];
        }
    }
}

void stampThumbnail(std::uint8_t* destination) {
    for (int r = 0; r < kThumbnailHeight; ++r) {
        addBuffer(state.thumbnail.data() + r * kThumbnailWidth, destination + r * kPictureWidth,
                  kThumbnailWidth);
    }
}

}  // namespace display
