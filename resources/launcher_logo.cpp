#include "resources/launcher_logo.h"

#include <array>
#include <cstddef>

namespace resources {

namespace {

constexpr std::size_t kLogoBytes =
    static_cast<std::size_t>(kLauncherLogoWidth) * kLauncherLogoHeight * 3;

// A stand-in until the show's own art provides the logo: a storm-blue sky over darker water,
// with light bands where a glass would catch the light.
std::array<std::uint8_t, kLogoBytes> paintLogo() {
    std::array<std::uint8_t, kLogoBytes> logo{};
    for (int y = 0; y < kLauncherLogoHeight; ++y) {
        for (int x = 0; x < kLauncherLogoWidth; ++x) {
            const std::size_t at =
                (static_cast<std::size_t>(y) * kLauncherLogoWidth + static_cast<std::size_t>(x)) *
                3;
            const int band = (x + 2 * y) % 40;
            const int light = band < 4 ? 60 : 0;
            const bool water = y > kLauncherLogoHeight * 2 / 3;
            const int red = (water ? 10 : 30 + y / 3) + light;
            const int green = (water ? 40 : 60 + y / 2) + light;
            const int blue = (water ? 90 : 140 + y / 2) + light;
            logo[at] = static_cast<std::uint8_t>(red);
            logo[at + 1] = static_cast<std::uint8_t>(green);
            logo[at + 2] = static_cast<std::uint8_t>(blue > 255 ? 255 : blue);
        }
    }
    return logo;
}

}  // namespace

std::span<const std::uint8_t> launcherLogo() {
    static const std::array<std::uint8_t, kLogoBytes> logo = paintLogo();
    return logo;
}

}  // namespace resources
