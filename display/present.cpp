#include "display/present.h"

#include <bit>
#include <cstdlib>
#include <cstring>

#include "display/modes.h"
#include "display/palette.h"
#include "display/state.h"
#include "display/surfaces.h"

namespace display {

bool allocateScreenBuffers() {
    // Held until the process ends; a later run in the same process (the tests) takes them
    // again, cleared as new ones would be, instead of losing the first pair.
    auto take = [](std::uint8_t*& buffer, std::size_t bytes) {
        if (buffer == nullptr) {
            buffer = static_cast<std::uint8_t*>(std::calloc(bytes, 1));
        } else {
            std::memset(buffer, 0, bytes);
        }
    };
    take(state.colourBuffer, core::kPicturePixels * 4);
    take(state.frameBuffer, core::kPicturePixels);
    return state.colourBuffer != nullptr && state.frameBuffer != nullptr;
}

namespace {

// H <- (weight * H + S) >> shift over the whole frame, then the trail becomes the frame.
template <unsigned Weight, unsigned Shift>
void blendTrail(const std::uint8_t* source) {
    std::uint8_t* history = state.trailBuffer.data();
    for (int i = 0; i < core::kPicturePixels; ++i) {
        const std::uint32_t blended = (Weight * std::uint32_t{history[i]} + source[i]) >> Shift;
        history[i] = static_cast<std::uint8_t>(blended);
    }
    std::memcpy(state.frameBuffer, history, core::kPicturePixels);
}

}  // namespace

namespace {
PutFrameObserver putFrameObserver = nullptr;
PresentObserver presentObserver = nullptr;
}  // namespace

void setPutFrameObserver(PutFrameObserver observer) {
    putFrameObserver = observer;
}

void setPresentObserver(PresentObserver observer) {
    presentObserver = observer;
}

void putFrame(const std::uint8_t* source) {
    switch (state.trailLevel) {
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
            std::memcpy(state.frameBuffer, source, core::kPicturePixels);
            break;
    }
    if (putFrameObserver != nullptr) {
        putFrameObserver(source);
    }
}

namespace {

// colourBuffer is read and written a pixel at a time as one little-endian word: blue in the
// low byte, then green, red and the fourth byte.
static_assert(std::endian::native == std::endian::little);

std::uint32_t loadPixel(const std::uint8_t* at) {
    std::uint32_t pixel;
    std::memcpy(&pixel, at, sizeof pixel);
    return pixel;
}

void storePixel(std::uint8_t* at, std::uint32_t pixel) {
    std::memcpy(at, &pixel, sizeof pixel);
}

}  // namespace

void expandFrame() {
    // colourTable may change between any two frames, so its words are made afresh each time:
    // 256 entries against 64000 pixels.
    std::array<std::uint32_t, 256> words;
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = state.colourTable[3 * i] | (std::uint32_t{state.colourTable[3 * i + 1]} << 8) |
                   (std::uint32_t{state.colourTable[3 * i + 2]} << 16);
    }
    const std::uint8_t* indices = state.frameBuffer;
    std::uint8_t* pixels = state.colourBuffer;
    for (int i = 0; i < core::kPicturePixels; ++i) {
        std::uint8_t* pixel = pixels + 4 * i;
        storePixel(pixel, (loadPixel(pixel) & 0xFF000000u) | words[indices[i]]);
    }
}

void convert32(std::uint8_t* destination, std::int32_t lineSkip) {
    const std::uint8_t* source = state.colourBuffer;
    for (int row = 0; row < core::kPictureHeight; ++row) {
        std::memcpy(destination, source, core::kPictureWidth * 4);
        source += core::kPictureWidth * 4;
        destination += core::kPictureWidth * 4 + lineSkip;
    }
}

void convert24(std::uint8_t* destination, std::int32_t lineSkip) {
    // Four pixels' blue, green and red fill three words.
    static_assert(core::kPictureWidth % 4 == 0);
    const std::uint8_t* source = state.colourBuffer;
    for (int row = 0; row < core::kPictureHeight; ++row) {
        for (int x = 0; x < core::kPictureWidth; x += 4, source += 16, destination += 12) {
            const std::uint32_t p0 = loadPixel(source) & 0xFFFFFFu;
            const std::uint32_t p1 = loadPixel(source + 4) & 0xFFFFFFu;
            const std::uint32_t p2 = loadPixel(source + 8) & 0xFFFFFFu;
            const std::uint32_t p3 = loadPixel(source + 12) & 0xFFFFFFu;
            storePixel(destination, p0 | (p1 << 24));
            storePixel(destination + 4, (p1 >> 8) | (p2 << 16));
            storePixel(destination + 8, (p2 >> 16) | (p3 << 8));
        }
        destination += lineSkip;
    }
}

namespace {

// Each channel's top bits, cut from the pixel word: red 5 bits, green 6 or 5, blue 5. A row
// at a time through local arrays, which the compiler turns into vector code.
template <unsigned GreenBits>
void convert16(std::uint8_t* destination, std::int32_t lineSkip) {
    constexpr unsigned redShift = 5 + GreenBits;
    constexpr std::uint32_t greenMask = ((1u << GreenBits) - 1) << 5;
    const std::uint8_t* source = state.colourBuffer;
    std::array<std::uint32_t, core::kPictureWidth> pixels;
    std::array<std::uint16_t, core::kPictureWidth> words;
    for (int row = 0; row < core::kPictureHeight; ++row) {
        std::memcpy(pixels.data(), source, sizeof pixels);
        for (std::size_t x = 0; x < pixels.size(); ++x) {
            const std::uint32_t pixel = pixels[x];
            words[x] = static_cast<std::uint16_t>(
                ((pixel >> (19 - redShift)) & (0x1Fu << redShift)) |
                ((pixel >> (11 - GreenBits)) & greenMask) | ((pixel >> 3) & 0x1Fu));
        }
        std::memcpy(destination, words.data(), sizeof words);
        source += sizeof pixels;
        destination += sizeof words + lineSkip;
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
    const core::LaunchSettings& settings = displaySettings();
    platform::Video& output = video();
    platform::LockedSurface surface;
    // A surface that cannot be locked is never written through: the frame is skipped.
    if (!output.lock(surface)) {
        return platform::BlitResult::Failed;
    }
    const ModeRecord& format =
        state.modeList[settings.windowed ? 0 : static_cast<std::size_t>(settings.modeIndex)];
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
    if (presentObserver != nullptr) {
        presentObserver();
    }

    const ModeRecord& chosen = state.modeList[static_cast<std::size_t>(settings.modeIndex)];
    for (;;) {
        const platform::ScreenRect destination{
            state.borderX, state.borderY, static_cast<std::int32_t>(chosen.width) - state.borderX,
            static_cast<std::int32_t>(chosen.height) - state.borderY};
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
