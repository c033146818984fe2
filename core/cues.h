#pragma once
// The show's plan, read by the scenes and by the soundtrack's composer: how many song orders
// each scene lasts, and the rows the scenes flash on, which the soundtrack accents.
#include <array>
#include <cstdint>

namespace core {

inline constexpr int kSceneCount = 21;
// 1 or 2 orders; the last scene ends on a row instead, within its order.
inline constexpr std::array<std::int32_t, kSceneCount> kSceneLengths = {
    1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 2, 2, 2, 1, 1};

// The order scene `index` (0-based) begins at.
constexpr std::int32_t sceneStartOrder(int index) {
    std::int32_t order = 0;
    for (int i = 0; i < index; ++i) {
        order += kSceneLengths[static_cast<std::size_t>(i)];
    }
    return order;
}

// The rows most scenes flash on.
inline constexpr std::array<std::int32_t, 9> kFlashRows = {3, 10, 14, 19, 25, 29, 35, 43, 51};
// The three-against-two figure of the dance's and the rotozoom's second orders.
inline constexpr std::array<std::int32_t, 21> kTresilloRows = {
    0, 3, 6, 8, 11, 14, 16, 22, 28, 32, 35, 38, 40, 43, 46, 48, 51, 54, 56, 59, 62};
inline constexpr std::array<std::int32_t, 9> kRotozoomFlashRows = {0,  14, 16, 30, 32,
                                                                   38, 40, 46, 48};
// The tunnels' second light.
inline constexpr std::array<std::int32_t, 9> kTunnelHitRows = {0, 2, 14, 16, 18, 46, 48, 50, 62};
// The rows on which the thumbnail grid gains its next copy.
inline constexpr std::array<std::int32_t, 12> kThumbnailRows = {3,  16, 19, 26, 27, 32,
                                                                35, 48, 51, 57, 59, 62};
// The emblems' white palette flashes.
inline constexpr std::array<std::int32_t, 16> kPaletteFlashRows = {0,  6,  8,  12, 14, 16, 22, 24,
                                                                   32, 38, 40, 44, 46, 48, 54, 56};

}  // namespace core
