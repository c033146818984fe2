#include "display/present.h"

#include <cstdlib>
#include <cstring>

#include "display/modes.h"
#include "display/palette.h"
#include "display/surfaces.h"
#include "host/settings.h"

namespace display {

std::uint8_t* frameBuffer = nullptr;
std::uint8_t* colourBuffer = nullptr;
std::array<std::uint8_t, kFramePixels> trailBuffer{};
std::int32_t trailLevel = 0;

bool allocateScreenBuffers() {
    colourBuffer = static_cast<std::uint8_t*>(std::calloc(kFramePixels * 4, 1));
    frameBuffer = static_cast<std::uint8_t*>(std::calloc(kFramePixels, 1));
    return colourBuffer != nullptr && frameBuffer != nullptr;
}

namespace {

// H <- (weight * H + S) >> shift over the whole frame, then the trail becomes the frame.
template <unsigned Weight, unsigned Shift>
void blendTrail(const std::uint8_t* source) {
    std::uint8_t* history = trailBuffer.data();
    for (int i = 0; i < kFramePixels; ++i) {
        const std::uint32_t blended = (Weight * std::uint32_t{history[i]} + source[i]) >> Shift;
        history[i] = static_cast<std::uint8_t>(blended);
    }
    std::memcpy(frameBuffer, history, kFramePixels);
}

}  // namespace

namespace {
PutFrameObserver putFrameObserver = nullptr;
}

void setPutFrameObserver(PutFrameObserver observer) {
    putFrameObserver = observer;
}

void putFrame(const std::uint8_t* source) {
    switch (trailLevel) {
        case 1:
            blendTrail<31, 5>(source);
            break;
        case 2:
            blendTrail<3, 2>(source);
            break;
        case 3:
            blendTrail<1, 1>(source);
            break;
        default:
            std::memcpy(frameBuffer, source, kFramePixels);
            break;
    }
    if (putFrameObserver != nullptr) {
        putFrameObserver(source);
    }
}

void expandFrame() {
    const std::uint8_t* table = colourTable.data();
    for (int i = 0; i < kFramePixels; ++i) {
        const std::uint8_t* colour = table + 3 * frameBuffer[i];
        std::uint8_t* pixel = colourBuffer + 4 * i;
        pixel[0] = colour[0];
        pixel[1] = colour[1];
        pixel[2] = colour[2];
    }
}

void convert32(std::uint8_t* destination, std::int32_t lineSkip) {
    const std::uint8_t* source = colourBuffer;
    for (int row = 0; row < kFrameHeight; ++row) {
        std::memcpy(destination, source, kFrameWidth * 4);
        source += kFrameWidth * 4;
        destination += kFrameWidth * 4 + lineSkip;
    }
}

void convert24(std::uint8_t* destination, std::int32_t lineSkip) {
    const std::uint8_t* source = colourBuffer;
    for (int row = 0; row < kFrameHeight; ++row) {
        for (int x = 0; x < kFrameWidth; ++x, source += 4, destination += 3) {
            destination[0] = source[0];
            destination[1] = source[1];
            destination[2] = source[2];
        }
        destination += lineSkip;
    }
}

namespace {

template <unsigned GreenBits>
void convert16(std::uint8_t* destination, std::int32_t lineSkip) {
    constexpr unsigned redShift = 5 + GreenBits;
    const std::uint8_t* source = colourBuffer;
    for (int row = 0; row < kFrameHeight; ++row) {
        for (int x = 0; x < kFrameWidth; ++x, source += 4, destination += 2) {
            const unsigned word = ((source[2] >> 3u) << redShift) |
                                  ((source[1] >> (8u - GreenBits)) << 5u) | (source[0] >> 3u);
            destination[0] = static_cast<std::uint8_t>(word);
            destination[1] = static_cast<std::uint8_t>(word >> 8);
        }
        destination += lineSkip;
    }
}

}  // namespace

void convert565(std::uint8_t* destination, std::int32_t lineSkip) {
    convert16<6>(destination, lineSkip);
}

void convert555(std::uint8_t* destination, std::int32_t lineSkip) {
    convert16<5>(destination, lineSkip);
}

platform::BlitResult presentFrame() {
    const host::LaunchSettings& settings = host::launchSettings;
    platform::Video& output = video();
    platform::LockedSurface surface;
    // A surface that cannot be locked is never written through: the frame is skipped.
    if (!output.lock(surface)) {
        return platform::BlitResult::Failed;
    }
    const ModeRecord& format =
        modeList[settings.windowed != 0 ? 0 : static_cast<std::size_t>(settings.modeIndex)];
    switch (format.bitsPerPixel) {
        case 32:
            convert32(surface.pixels, surface.pitch - 1280);
            break;
        case 24:
            convert24(surface.pixels, surface.pitch - 960);
            break;
        case 16:
            if (format.greenIs6Bit == 1) {
                convert565(surface.pixels, surface.pitch - 640);
            } else {
                convert555(surface.pixels, surface.pitch - 640);
            }
            break;
        default:
            break;
    }
    output.unlock();

    const ModeRecord& chosen = modeList[static_cast<std::size_t>(settings.modeIndex)];
    for (;;) {
        const platform::ScreenRect destination{borderX, borderY,
                                               static_cast<std::int32_t>(chosen.width) - borderX,
                                               static_cast<std::int32_t>(chosen.height) - borderY};
        const platform::BlitResult result = output.blit(destination);
        if (result == platform::BlitResult::StillDrawing) {
            continue;
        }
        if (result == platform::BlitResult::SurfaceLost) {
            output.restore();
        }
        return result;
    }
}

}  // namespace display
