#pragma once
// The program's menu icon, framed from the launcher's logo: the bottle on its night sky, square,
// resampled to each icon size by area averaging (the same bytes on every machine).
#include <cstdint>
#include <vector>

namespace resources {

// Area-averaging resample of width * height RGB pixels (rows top first) to the new size.
std::vector<std::uint8_t> resampleRgb(const std::vector<std::uint8_t>& rgb, int width, int height,
                                      int newWidth, int newHeight);

// The icon's square frame at full logo resolution (side kLogoHeight), then at `size`.
std::vector<std::uint8_t> iconFrameRgb();
std::vector<std::uint8_t> iconRgb(int size);

}  // namespace resources
