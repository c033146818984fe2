#pragma once
// Everything the display keeps between calls, in one object: the frame on its way to the screen,
// the mode list, the picture rectangle, the colour and scale tables, the thumbnail and the
// landscape's view. Main thread only.
#include <array>
#include <cstdint>

#include "display/landscape.h"
#include "display/modes.h"
#include "display/present.h"

namespace display {

struct State {
    // The display frame (64000 palette indices) and its true-colour expansion (blue, green,
    // red and an unwritten fourth byte per pixel); allocated once by the entry, kept until
    // exit.
    std::uint8_t* frameBuffer = nullptr;
    std::uint8_t* colourBuffer = nullptr;
    // The trail history; zero at start, never cleared.
    std::array<std::uint8_t, core::kPicturePixels> trailBuffer{};
    // 0 none, 1 longest trail, 2 medium, 3 shortest; any other value acts as 0.
    std::int32_t trailLevel = 0;

    // Record 0 the desktop mode, then the display's modes as the launcher lists them.
    std::array<ModeRecord, 256> modeList{};
    std::int32_t modeCount = 0;
    // Margins of the 4:3 picture rectangle in the chosen resolution; one is always 0.
    std::int32_t borderX = 0;
    std::int32_t borderY = 0;

    // Blue, green, red per palette entry, 0..252: what every frame is expanded through.
    std::array<std::uint8_t, 768> colourTable{};
    // scaleTable[a * 256 + b] = floor(a * b / 255): fades and shading without multiplies.
    std::array<std::uint8_t, 65536> scaleTable{};
    // The last captured 80x50 thumbnail; zero until the first capture.
    std::array<std::uint8_t, 4000> thumbnail{};

    Landscape landscape;
};

extern State state;

}  // namespace display
