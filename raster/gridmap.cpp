#include "raster/gridmap.h"

#include <array>
#include <cstdint>

#include "core/picture.h"

namespace raster {

namespace {

constexpr int kCellSize = 8;
constexpr int kRowBytes = core::kPictureWidth;

// Working values wrap modulo 2^32 (only the low 16 bits matter), so they are kept unsigned.
struct Interpolant {
    std::uint32_t u;
    std::uint32_t v;
    std::uint32_t light;
};

// One eighth of the difference b - a, taken as a signed 16-bit value (the short way across the
// wrap) and rounded toward minus infinity.
inline std::uint32_t eighthStep(std::uint32_t a, std::uint32_t b) {
    const auto difference = static_cast<std::int16_t>(static_cast<std::uint16_t>(b - a));
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(difference) >> 3);
}

Interpolant fromVertex(const GridVertex& vertex) {
    return {static_cast<std::uint32_t>(vertex.u), static_cast<std::uint32_t>(vertex.v),
            static_cast<std::uint32_t>(vertex.light)};
}

// The row being drawn and its per-pixel-row step, one entry per grid column.
std::array<Interpolant, kGridColumns> current{};
std::array<Interpolant, kGridColumns> rowStep{};

}  // namespace

void drawGridMapped(const GridMapping& mapping) {
    const std::uint8_t* const texture = mapping.texture;
    const std::uint8_t* const shade = mapping.shade;
    std::uint8_t* out = mapping.target;
    const GridVertex* const grid = mapping.grid.data();

    for (int i = 0; i < kGridColumns; ++i) {
        current[i] = fromVertex(grid[i]);
    }
    for (int cellRow = 0; cellRow < kGridRows; ++cellRow) {
        // The last cell row aims at a repeat of the last grid row.
        const int nextRow = cellRow + 1 < kGridRows ? cellRow + 1 : kGridRows - 1;
        const GridVertex* const below = grid + nextRow * kGridColumns;
        // Steps come from the accumulated values, not the grid row, so no drift builds up.
        for (int i = 0; i < kGridColumns; ++i) {
            const Interpolant target = fromVertex(below[i]);
            rowStep[i] = {eighthStep(current[i].u, target.u), eighthStep(current[i].v, target.v),
                          eighthStep(current[i].light, target.light)};
        }
        for (int pixelRow = 0; pixelRow < kCellSize; ++pixelRow) {
            for (int cell = 0; cell < kGridColumns - 1; ++cell) {
                const Interpolant& left = current[cell];
                const Interpolant& right = current[cell + 1];
                const std::uint32_t du = eighthStep(left.u, right.u);
                const std::uint32_t dv = eighthStep(left.v, right.v);
                const std::uint32_t dlight = eighthStep(left.light, right.light);
                std::uint32_t u = left.u;
                std::uint32_t v = left.v;
                std::uint32_t light = left.light;
                // Each cell's ninth sample lands on the next cell's first pixel, which that cell
                // overwrites; only the last cell's ninth sample can survive (on the byte after
                // the last pixel row), so only it is written.
                const int samples = cell == kGridColumns - 2 ? kCellSize + 1 : kCellSize;
                for (int k = 0; k < samples; ++k) {
                    const std::uint32_t texel = texture[(v & 0xFF00u) | ((u >> 8) & 0xFFu)];
                    out[k] = shade[(texel << 8) | ((light >> 8) & 0xFFu)];
                    u += du;
                    v += dv;
                    light += dlight;
                }
                out += kCellSize;
            }
            for (int i = 0; i < kGridColumns; ++i) {
                current[i].u += rowStep[i].u;
                current[i].v += rowStep[i].v;
                current[i].light += rowStep[i].light;
            }
        }
    }
    static_assert((kGridColumns - 1) * kCellSize == kRowBytes);
}

}  // namespace raster
