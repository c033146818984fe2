#pragma once
// Carrying a finished 8-bit picture to the screen: the hand-off with motion trails into
// frameBuffer, the expansion through colourTable into colourBuffer, and the conversion into
// the staging surface's pixel format with the stretch onto the screen.
#include <array>
#include <cstdint>

#include "core/picture.h"
#include "platform/video.h"

namespace display {

// The frame, its colour expansion and the trail are in display::state (display/state.h).

// Allocates frameBuffer and colourBuffer, cleared (once a process; a later call clears them);
// false when memory is short.
bool allocateScreenBuffers();

// Hands a scene's finished 320x200 picture to frameBuffer, blending it into the trail.
void putFrame(const std::uint8_t* source);
// Called with each picture handed to putFrame, as it returns (for run reports).
using PutFrameObserver = void (*)(const std::uint8_t* source);
void setPutFrameObserver(PutFrameObserver observer);
// Called with each frame presented, once colourBuffer holds what the screen shows (for run
// reports: a scene may show one picture for several frames while its palette changes).
using PresentObserver = void (*)();
void setPresentObserver(PresentObserver observer);
// frameBuffer through colourTable into colourBuffer.
void expandFrame();
// Converts colourBuffer into the staging surface and stretches it into the picture rectangle.
platform::BlitResult presentFrame();

// The converters: each walks colourBuffer's 200 rows of 320 pixels and writes them at
// `destination`, skipping `lineSkip` bytes after each row (the pitch less one row's bytes).
void convert32(std::uint8_t* destination, std::int32_t lineSkip);
void convert24(std::uint8_t* destination, std::int32_t lineSkip);
void convert565(std::uint8_t* destination, std::int32_t lineSkip);
void convert555(std::uint8_t* destination, std::int32_t lineSkip);

}  // namespace display
