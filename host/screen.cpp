#include "host/screen.h"

#include "core/bytes.h"

namespace host {

void stagingToRgb(const platform::PresentedFrame& frame, RgbFrame& rgb) {
    auto widen5 = [](unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); };
    auto widen6 = [](unsigned v) { return static_cast<std::uint8_t>((v << 2) | (v >> 4)); };
    for (int y = 0; y < 200; ++y) {
        const std::uint8_t* row = frame.staging.data() + static_cast<std::size_t>(y) * frame.pitch;
        std::uint8_t* out = rgb.data() + static_cast<std::size_t>(y) * 320 * 3;
        for (int x = 0; x < 320; ++x, out += 3) {
            if (frame.bitsPerPixel == 32 || frame.bitsPerPixel == 24) {
                const std::uint8_t* pixel = row + x * (frame.bitsPerPixel / 8);
                out[0] = pixel[2];
                out[1] = pixel[1];
                out[2] = pixel[0];
            } else {
                const unsigned word = core::readLittle16(row + 2 * x);
                if (frame.greenIs6Bit) {
                    out[0] = widen5((word >> 11) & 31);
                    out[1] = widen6((word >> 5) & 63);
                } else {
                    out[0] = widen5((word >> 10) & 31);
                    out[1] = widen5((word >> 5) & 31);
                }
                out[2] = widen5(word & 31);
            }
        }
    }
}

}  // namespace host
