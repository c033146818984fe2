// The launcher's logo: the opening picture seen through the show's first palette, reduced by
// 1.5 (320 x 200 to 213 x 133) with an area filter.
#include <algorithm>

#include "content/entries.h"

namespace content {

Bytes buildLogoRgb() {
    const Bytes picture = buildOpeningPicture();
    const Palette palette = makePaletteA();
    Bytes rgb(static_cast<std::size_t>(kLogoWidth) * kLogoHeight * 3);
    // Each logo pixel covers 1.5 x 1.5 picture pixels; overlaps are counted in half pixels.
    auto overlap = [](int logo, int source) {
        const int lo = std::max(3 * logo, 2 * source);
        const int hi = std::min(3 * logo + 3, 2 * source + 2);
        return hi > lo ? hi - lo : 0;
    };
    for (int y = 0; y < kLogoHeight; ++y) {
        for (int x = 0; x < kLogoWidth; ++x) {
            int sum[3] = {0, 0, 0};
            int weightTotal = 0;
            for (int sy = (3 * y) / 2; sy <= (3 * y + 2) / 2 && sy < kPictureHeight; ++sy) {
                for (int sx = (3 * x) / 2; sx <= (3 * x + 2) / 2 && sx < kPictureWidth; ++sx) {
                    const int w = overlap(x, sx) * overlap(y, sy);
                    const std::uint8_t index =
                        picture[static_cast<std::size_t>(sy) * kPictureWidth + sx];
                    for (int c = 0; c < 3; ++c) {
                        // 6-bit palette value to 8 bits, 63 becoming 255.
                        const int v = palette[index * 3u + c];
                        sum[c] += w * ((v << 2) | (v >> 4));
                    }
                    weightTotal += w;
                }
            }
            for (int c = 0; c < 3; ++c) {
                rgb[(static_cast<std::size_t>(y) * kLogoWidth + x) * 3 + c] =
                    static_cast<std::uint8_t>(
                        weightTotal > 0 ? (sum[c] + weightTotal / 2) / weightTotal : 0);
            }
        }
    }
    return rgb;
}

}  // namespace content
