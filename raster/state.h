#pragma once
// Everything the per-pixel routines keep between calls, in one object: the tables built once
// during preparation and the cursors that move on with every call. Main thread only; zero at
// program start but for the plasma's wave. The routines take their pictures as arguments.
// Each table is followed by its guard.
#include <array>
#include <cstdint>

#include "core/guard.h"
#include "raster/blobs.h"
#include "raster/plasma.h"
#include "raster/rotozoom.h"

namespace raster {

struct State {
    // Tunnel table, twice the screen each way, centre at column 320, row 200: low byte angle
    // (512 units a turn), high byte depth into the tunnel.
    std::array<std::uint16_t, 640 * 400> polarTable{};
    [[no_unique_address]] core::TableGuard afterPolarTable;
    // The same scheme for an 80x50 inset window, centre (40, 25).
    std::array<std::uint16_t, 80 * 50> windowMap{};
    [[no_unique_address]] core::TableGuard afterWindowMap;
    // Per texture row bend of the inset windows.
    std::array<std::uint8_t, 256> windowBend{};
    [[no_unique_address]] core::TableGuard afterWindowBend;
    // Per screen pixel: radius byte, angle byte, and a third byte never written.
    std::array<std::uint8_t, 320 * 200 * 3> polarMap{};
    [[no_unique_address]] core::TableGuard afterPolarMap;
    // Source offset in a 320-wide picture for radius + 256 * angle.
    std::array<std::int32_t, 256 * 256> polarOffsets{};
    [[no_unique_address]] core::TableGuard afterPolarOffsets;
    // Added to each angle before the remap's offset look-up.
    std::array<std::uint8_t, 256> angleTwist{};
    [[no_unique_address]] core::TableGuard afterAngleTwist;

    // The plasma's zoom map: 320 bytes per row, one value per window pixel; only columns
    // 0..254 of rows 0..199 are read. 255 samples close to the pixel itself, smaller values
    // magnify more.
    std::array<std::uint8_t, 64000> plasmaMap{};
    [[no_unique_address]] core::TableGuard afterPlasmaMap;
    // The wave the plasma is built from; turns by one place per call, for the life of the
    // program.
    std::array<std::uint8_t, 255> plasmaWave = plasmaWaveStart;
    [[no_unique_address]] core::TableGuard afterPlasmaWave;

    // 128000 random bytes, read as signed values; any window start 0..63999 plus a whole
    // picture stays inside.
    std::array<std::uint8_t, 128000> noiseTable{};
    [[no_unique_address]] core::TableGuard afterNoiseTable;
    // Grain window start into noiseTable; the timeline resets it to 0 at the start of play and
    // scenes.
    std::uint32_t noiseOffset = 0;

    // The inset windows' 16-bit phases (low byte, high byte), never reset.
    std::uint16_t windowPhaseLeft = 0;
    std::uint16_t windowPhaseRight = 0;

    // Byte offset of the strip window into the title strip (a multiple of 32 in 0..31968) and
    // column offset of the band window into flareBand (0..699); never reset.
    std::uint32_t stripOffset = 0;
    std::uint32_t bandOffset = 0;

    // The rotozoom: layer 0 is the outermost and dimmest (texels >> 5), layer 4 the innermost
    // (texels >> 1); frames left until the layers hand over to their inner neighbours.
    std::array<ZoomLayer, 5> zoomLayers{};
    std::uint16_t zoomCountdown = 0;

    Dancer dancerA;  // plays entry 22
    Dancer dancerB;  // plays entry 23
};

extern State state;

}  // namespace raster
