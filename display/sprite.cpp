#include "display/sprite.h"

namespace display {

SpriteSpan spriteSpan(std::int32_t x, std::int32_t y, std::int32_t z) {
    SpriteSpan span{};
    const auto scale =
        static_cast<std::int32_t>(((kSpriteVanishingDepth - z) * 65536) / kSpriteVanishingDepth);
    span.halfSize = (scale * 128) >> 16;
    const std::int64_t h = span.halfSize;
    if (h <= 0) {
        return span;  // beyond 793.75 the square has no size; the step would divide by 0
    }
    span.step = 8388608u / static_cast<std::uint32_t>(h);
    const std::int64_t cx = x;
    const std::int64_t cy = y;
    if (cx + h < 0 || cy + h < 0 || cx - h >= 320 || cy - h >= 200) {
        return span;
    }
    if (cx <= h) {
        span.firstColumn = 0;
        span.sourceColumn = static_cast<std::uint32_t>(h - cx) * span.step;
    } else {
        span.firstColumn = static_cast<std::int32_t>(cx - h);
        span.sourceColumn = 0;
    }
    if (cy <= h) {
        span.firstRow = 0;
        span.sourceRow = (static_cast<std::uint32_t>(h - cy) * span.step) >> 16;
    } else {
        span.firstRow = static_cast<std::int32_t>(cy - h);
        span.sourceRow = 0;
    }
    span.endColumn = cx + h < 320 ? static_cast<std::int32_t>(cx + h) : 319;
    span.endRow = cy + h < 200 ? static_cast<std::int32_t>(cy + h) : 200;
    span.visible = span.endColumn > span.firstColumn && span.endRow > span.firstRow;
    return span;
}

void drawZoomSprite(std::int32_t x, std::int32_t y, const std::uint8_t* sprite,
                    std::uint8_t* destination, std::int32_t z) {
    const SpriteSpan span = spriteSpan(x, y, z);
    if (!span.visible) {
        return;
    }
    const std::int32_t width = span.endColumn - span.firstColumn;
    const std::uint32_t step = span.step;
    std::uint8_t* out = destination + span.firstRow * 320 + span.firstColumn;
    // 16.16 vertical position: whole starting row, fraction 0 even when clipped at the top.
    std::uint32_t rowPosition = span.sourceRow << 16;
    for (std::int32_t row = span.firstRow; row < span.endRow; ++row) {
        const std::uint8_t* source = sprite + (rowPosition >> 16) * 256;
        // Adding the whole step to one 16.16 position is the same as adding its fraction with
        // a carry and then its whole part.
        std::uint32_t columnPosition = span.sourceColumn;
        for (std::int32_t i = 0; i < width; ++i) {
            const unsigned sum = out[i] + source[columnPosition >> 16];
            out[i] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
            columnPosition += step;
        }
        rowPosition += step;
        out += 320;
    }
}

}  // namespace display
