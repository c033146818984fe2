// Scenes 1 to 10: the opening fade through the grain, the landscape rising and sinking, the
// flare leaving the melting picture, the two tunnels with their vector objects, the mapped
// plasma with its thumbnails, the layered rotozoom and the ring of flares.
#include <cmath>

#include "core/buffers.h"
#include "display/engine.h"
#include "display/landscape.h"
#include "display/present.h"
#include "display/sprite.h"
#include "effects/metaballs.h"
#include "raster/grain.h"
#include "raster/mappers.h"
#include "raster/polar.h"
#include "raster/rotozoom.h"
#include "raster/state.h"
#include "raster/strips.h"
#include "raster/warps.h"
#include "raster/windows.h"
#include "sequencer/scene_common.h"
#include "sequencer/scenes.h"
#include "vector/renderer.h"
#include "vector/state.h"
#include "vector/transform.h"

namespace sequencer {

namespace {

using core::buffers;
constexpr std::uint32_t kPicture = core::kPictureBytes;

// How strongly each scene's grain moves the picture: a right shift of the noise bytes.
constexpr std::uint8_t kOpeningGrain = 1;
constexpr std::uint8_t kThumbnailGrain = 3;
constexpr std::uint8_t kRotozoomGrain = 2;

// Added to both tunnels' look-ups, turning on from tunnel frame to tunnel frame; never reset.
std::uint8_t tunnelTwist = 0;

// --- Scene 1: the opening picture fades in through the grain -------------------------------

void setUpFadeIn() {
    display::copyBuffer(buffers.skyPicture.data(), buffers.layerPage, kPicture);
    display::clearBuffer(buffers.mixPage, kPicture);
    sceneState.rowSeen = 0;
    sceneState.timeStep.store(0.0f);
}

void fadeInFrame() {
    markRowSeen();
    const float t = sceneClock();
    sceneState.flashLevel = 256 - 4 * sceneState.musicRow;
    // The boundary frame that reads the next pattern's row 0 keeps the full picture.
    if (sceneState.flashLevel == 256 && sceneState.rowSeen == 1) {
        sceneState.flashLevel = 0;
    }
    sceneState.flashLevel =
        clampRange(sceneState.flashLevel + truncate(10.0 * std::sin(0.5 * t)), 255);
    raster::addNoise(buffers.openingPicture.data(), buffers.grainPage, kOpeningGrain);
    display::crossFade(buffers.mixPage, buffers.grainPage, buffers.mixPage + kPicture,
                       sceneState.flashLevel);
    display::putFrame(buffers.mixPage + kPicture);
    // The step is a double constant: the sum is formed in double and rounded to the 32-bit
    // clock once, not added as a rounded float.
    const float next = static_cast<float>(static_cast<double>(sceneClock()) + 0.2);
    motion.sceneTime.store(next);
    updateSway(next);
}

// --- Scenes 2 and 3: the landscape rises through the grain, then sinks into another --------

void setUpLandscapeGrain() {
    sceneState.rowSeen = 0;
    sceneState.timeStep.store(0.1f);
}

void landscapeGrainFrame(const std::uint8_t* grainPicture) {
    const float t = sceneClock();
    drawSwayingLandscape(t);
    raster::polarRemap(buffers.sourcePage + core::kLandscapeInSourcePage,
                       buffers.mixPage + kPicture);
    raster::addNoise(grainPicture, buffers.grainPage, kOpeningGrain);
    display::crossFade(buffers.mixPage + kPicture, buffers.grainPage, buffers.mixPage,
                       sceneState.flashLevel);
    display::putFrame(buffers.mixPage);
    updateSway(sceneClock());
}

void landscapeRisesFrame() {
    markRowSeen();
    const float t = sceneClock();
    sceneState.flashLevel = 4 * sceneState.musicRow;
    if (sceneState.flashLevel == 0 && sceneState.rowSeen == 1) {
        sceneState.flashLevel = 255;
    }
    sceneState.flashLevel =
        clampRange(sceneState.flashLevel + truncate(30.0 * std::sin(static_cast<double>(t))), 255);
    landscapeGrainFrame(buffers.openingPicture.data());
}

void landscapeSinksFrame() {
    markRowSeen();
    const float t = sceneClock();
    sceneState.flashLevel = 255 - 4 * sceneState.musicRow;
    if (sceneState.flashLevel == 255 && sceneState.rowSeen == 1) {
        sceneState.flashLevel = 0;
    }
    sceneState.flashLevel =
        clampRange(sceneState.flashLevel + truncate(30.0 * std::sin(2.0 * t)), 255);
    landscapeGrainFrame(buffers.stormPicture.data());
}

// --- Scenes 4 and 5: the flare recedes from the melting picture, then flies away -----------

void setUpFlare() {
    sceneState.rowSeen = 0;
    sceneState.timeStep.store(0.1f);
}

void meltingFlareFrame(std::int32_t depth) {
    drawSprite(160, 100, buffers.largeFlare.data(), buffers.grainPage, depth);
    display::putFrame(buffers.grainPage);
    updateSway(sceneClock());
}

void meltPicture() {
    markRowSeen();
    display::clearBuffer(buffers.grainPage, kPicture);
    // The picture is blurred in place, for good: it keeps softening frame by frame.
    display::blurBuffer(buffers.stormPicture.data());
    raster::addNoise(buffers.stormPicture.data(), buffers.grainPage, kOpeningGrain);
}

void flareRecedesFrame() {
    meltPicture();
    std::int32_t depth = 200 - 24 * sceneState.musicRow;
    if (sceneState.rowSeen == 1 && sceneState.musicRow == 0) {
        depth = -1336;  // the boundary frame continues the row ramp: 200 - 24 * 64
    }
    meltingFlareFrame(depth);
}

void flareFliesFrame() {
    meltPicture();
    std::int32_t depth = 64 * sceneState.musicRow - 1336;
    if (sceneState.rowSeen == 1 && sceneState.musicRow == 0) {
        depth = 2760;  // 64 * 64 - 1336
    }
    meltingFlareFrame(depth);
}

// --- Scenes 6 and 7: tunnels with the vector objects ---------------------------------------

void tunnelBackground(float t, const std::uint8_t* texture) {
    // The table window wanders up and down and from side to side.
    const std::int32_t rows = truncate(50.0 * std::cos(t / 4.0) + 50.0 * std::sin(t / 3.0));
    const std::int32_t columns =
        truncate(90.0 * std::cos(t / 2.0) + 90.0 * std::sin(static_cast<double>(t)));
    tunnelTwist = static_cast<std::uint8_t>(tunnelTwist + 2);
    display::clearBuffer(buffers.grainPage, kPicture);
    raster::mapPolarPanned(texture, buffers.mixPage, tunnelTwist, rows * 640 + columns);
}

void setUpFirstTunnel() {
    vector::buildSineTable();
    vector::state.vectorA.init();
    vector::buildWobbleTable();
    motion.sceneTime.store(0.0f);
    sceneState.flashLevel = 0;
    sceneState.timeStep.store(1.0f / 15.0f);
}

void firstTunnelFrame() {
    const std::int32_t r = sceneState.musicRow;
    if (isFlashRow(r) || r == 59) {
        sceneState.flashLevel = 200;
    }
    sceneState.secondFlashLevel = (!inFirstOrder() && rowIn(r, core::kTunnelHitRows)) ? 1 : 0;
    decayFlashLevel();
    const float t = sceneClock();
    tunnelBackground(t, buffers.crystalTexture.data());
    vector::state.vectorA.angleY =
        static_cast<std::uint32_t>(128 * truncate(8.0 * std::sin(t)) + 8192);
    vector::state.vectorA.angleX =
        static_cast<std::uint32_t>(128 * truncate(8.0 * std::cos(t)) + 4096);
    vector::state.vectorA.drawFrame();
    const std::int32_t dx = truncate(20.0 * std::sin(t));
    const std::int32_t dy = truncate(20.0 * std::cos(t));
    drawSprite(100 + dx, 125 + dy, buffers.smallLight.data(), buffers.grainPage, 100);
    drawSprite(225 + dx, 125 + dy, buffers.smallLight.data(), buffers.grainPage, 100);
    display::crossFade(buffers.flashBurst.data(), buffers.grainPage, buffers.grainPage,
                       sceneState.flashLevel);
    if (sceneState.secondFlashLevel != 0) {
        display::crossFade(buffers.accentRings.data(), buffers.grainPage, buffers.grainPage, 128);
    }
    display::putFrame(buffers.grainPage);
}

void setUpSecondTunnel() {
    vector::buildSineTable();
    vector::state.vectorB.init();
    vector::buildWobbleTable();
    motion.sceneTime.store(0.0f);
    sceneState.timeStep.store(1.0f / 30.0f);
}

void secondTunnelFrame() {
    const std::int32_t r = sceneState.musicRow;
    if (isFlashRow(r) || r == 59) {
        sceneState.flashLevel = 200;
    }
    const bool hit = rowIn(r, core::kTunnelHitRows) || r == 32 || r == 34;
    sceneState.secondFlashLevel = (hit || (inFirstOrder() && (r == 30 || r == 31))) ? 1 : 0;
    if (r == 61 && inFirstOrder()) {
        sceneState.flashLevel = 200;
    }
    decayFlashLevel();
    const float t = sceneClock();
    tunnelBackground(t, buffers.ribbedTexture.data());
    vector::state.vectorB.drawFrame();
    vector::state.vectorB.distanceOffset = truncate(550.0 * 65536.0 * std::sin(t));
    display::crossFade(buffers.flashShockwave.data(), buffers.grainPage, buffers.grainPage,
                       sceneState.flashLevel);
    if (sceneState.secondFlashLevel != 0) {
        display::crossFade(buffers.accentStreaks.data(), buffers.grainPage, buffers.grainPage, 128);
    }
    display::putFrame(buffers.grainPage);
}

// --- Scene 8: mapped plasma with a growing grid of thumbnails ------------------------------

void setUpThumbnailPlasma() {
    raster::restartGrain();
    sceneState.rowSeen = 0;
    sceneState.timeStep.store(0.05f);
}

// Where each further copy of the thumbnail goes, one for each of the thumbnail rows.
constexpr std::array<std::uint32_t, core::kThumbnailRows.size()> kThumbnailOffsets = {
    48000, 240, 48240, 120, 48120, 24000, 24240, 11900, 36220, 12020, 36340, 24120};

void thumbnailPlasmaFrame() {
    const float t = sceneClock();
    const std::int32_t r = sceneState.musicRow;
    mapShiftedTunnel(t, buffers.layerPage);
    raster::addNoise(buffers.layerPage, buffers.mixPage, kThumbnailGrain);
    display::captureThumbnail(buffers.mixPage);
    display::stampThumbnail(buffers.mixPage);
    for (std::size_t i = 0; i < kThumbnailOffsets.size(); ++i) {
        if (r >= core::kThumbnailRows[i]) {
            display::stampThumbnail(buffers.mixPage + kThumbnailOffsets[i]);
        }
    }
    // The last sixteen rows burn the picture out to white.
    if (!inFirstOrder() && r >= 48) {
        display::brightenBuffer(buffers.mixPage, 16 * (r - 48));
        sceneState.rowSeen = 1;
    }
    if (sceneState.rowSeen == 1 && !inFirstOrder() && r == 0) {
        display::brightenBuffer(buffers.mixPage, 255);
    }
    display::addBuffer(buffers.captionPressure.data(), buffers.mixPage + core::kPressureCaptionAt,
                       9600);
    display::putFrame(buffers.mixPage);
}

// --- Scene 9: layered rotozoom with flashes -------------------------------------------------

void setUpRotozoom() {
    sceneState.frameInterval = 64;
    motion.sceneTime.store(0.0f);
    display::copyBuffer(buffers.largeFlare.data(), buffers.sourcePage, 65536);
    raster::restartGrain();
    raster::initZoomLayers();
    sceneState.flashLevel = 0;
    sceneState.secondFlashLevel = 0;
    sceneState.timeStep.store(0.01f);
}

void rotozoomFrame() {
    const std::int32_t r = sceneState.musicRow;
    if (rowIn(r, core::kRotozoomFlashRows)) {
        sceneState.flashLevel = 200;
    }
    if (!inFirstOrder() && rowIn(r, core::kTresilloRows)) {
        sceneState.secondFlashLevel = 200;
    }
    if (sceneState.flashLevel != 0) {
        sceneState.flashLevel -= 25;
    }
    if (sceneState.secondFlashLevel != 0) {
        sceneState.secondFlashLevel -= 50;
    }
    const float t = sceneClock();
    display::clearBuffer(buffers.layerPage, kPicture);
    raster::drawZoomLayers(buffers.sourcePage, buffers.layerPage);
    raster::buildWindowBend(truncate(100.0 * (std::sin(t / 100.0) + std::cos(t / 100.0))),
                            static_cast<float>((std::sin(t / 100.0) + std::cos(t / 10.0)) / 40.0));
    display::crossFade(buffers.wordStorm.data(), buffers.layerPage, buffers.layerPage,
                       sceneState.flashLevel);
    display::crossFade(buffers.wordGlass.data(), buffers.layerPage, buffers.layerPage,
                       sceneState.secondFlashLevel);
    if (r < 56 || (!inFirstOrder() && (r % 2) != 1)) {
        raster::drawRightWindow(buffers.crystalTexture.data(), buffers.layerPage);
    }
    raster::addNoise(buffers.layerPage, buffers.layerPage, kRotozoomGrain);
    // The scene opens from white.
    if (inFirstOrder() && r <= 16) {
        display::brightenBuffer(buffers.layerPage, 16 * (16 - r));
    }
    display::putFrame(buffers.layerPage);
}

// --- Scene 10: ring of six flares -----------------------------------------------------------

void setUpFlareRing() {
    motion.sceneTime.store(0.0f);
    display::copyBuffer(buffers.smallLight.data(), buffers.sourcePage, kPicture);
    raster::restartGrain();
    sceneState.flashLevel = 0;
    sceneState.timeStep.store(0.01f);
}

void flareRingFrame() {
    const std::int32_t r = sceneState.musicRow;
    if (isFlashRow(r) || r >= 56) {
        sceneState.flashLevel = 200;
    }
    decayFlashLevel();
    display::clearBuffer(buffers.layerPage, kPicture);
    const float t = sceneClock();
    for (int k = 0; k < 6; ++k) {
        const double phase = static_cast<double>(t) + k;
        const double radius = (k % 2 == 0) ? 80.0 : 100.0;
        drawSprite(truncate(radius * std::sin(phase) + 160.0),
                   truncate(radius * std::cos(phase) + 100.0), buffers.smallLight.data(),
                   buffers.layerPage, 500 - sceneState.flashLevel);
    }
    raster::gradientWarp(buffers.layerPage, buffers.warpHeights, buffers.grainPage);
    effects::metaFrame(buffers.grainPage, effects::MetaPace::normal);
    raster::fadeEdges(buffers.grainPage);
    raster::addBand(buffers.grainPage + core::kBandRowsAt);
    display::putFrame(buffers.grainPage);
}

// The ring turns back over the last rows of each pattern.
void flareRingAfterPace() {
    if (sceneState.musicRow >= 56) {
        motion.sceneTime.store(static_cast<float>(static_cast<double>(sceneClock()) - 0.2));
    }
}

const std::array<Scene, 10> scenes = {{
    {&setUpFadeIn, &fadeInFrame},
    {&setUpLandscapeGrain, &landscapeRisesFrame},
    {&setUpLandscapeGrain, &landscapeSinksFrame},
    {&setUpFlare, &flareRecedesFrame},
    {&setUpFlare, &flareFliesFrame},
    {&setUpFirstTunnel, &firstTunnelFrame},
    {&setUpSecondTunnel, &secondTunnelFrame},
    {&setUpThumbnailPlasma, &thumbnailPlasmaFrame},
    {&setUpRotozoom, &rotozoomFrame},
    {&setUpFlareRing, &flareRingFrame, &flareRingAfterPace},
}};

}  // namespace

const std::array<Scene, 10>& openingScenes() {
    return scenes;
}

}  // namespace sequencer
