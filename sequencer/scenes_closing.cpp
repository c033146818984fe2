// Scenes 11 to 21: the title strip and scrolling windows, the dance (or the spiral) over the
// waving landscape, the flight through the polar remap, the plasma zoom and its flickering
// end, the beat-cut montage, the palette flashes with the arriving emblems, the textured plane
// and the closing fade.
#include <cmath>

#include "core/buffers.h"
#include "display/engine.h"
#include "display/landscape.h"
#include "display/palette.h"
#include "display/present.h"
#include "display/sprite.h"
#include "display/state.h"
#include "effects/metaballs.h"
#include "effects/plane.h"
#include "effects/voxel.h"
#include "raster/blobs.h"
#include "raster/grain.h"
#include "raster/mappers.h"
#include "raster/plasma.h"
#include "raster/polar.h"
#include "raster/state.h"
#include "raster/strips.h"
#include "raster/warps.h"
#include "raster/windows.h"
#include "sequencer/scene_common.h"
#include "sequencer/scenes.h"

namespace sequencer {

namespace {

using core::buffers;
constexpr std::uint32_t kPicture = core::kPictureBytes;

// State of these scenes only; zero at program start.
std::uint8_t scrollStartFlag = 0;
float scrollStartTime = 0.0f;
std::int32_t scrollAmount = 0;
std::uint8_t stripStarted = 0;
std::uint8_t scrollStarted = 0;
std::uint8_t secondOrderFlag = 0;
std::uint8_t flashFlag = 0;
std::int32_t lastFlashedRow = 0;

void noSetUp() {}

// The second order's last rows darken the picture step by step; once the order is under way,
// row 0 of the next one (read before the scene ends) is black.
void fadeOutSecondOrder(std::uint8_t* picture, std::int32_t r) {
    if (r > 56) {
        display::darkenBuffer(picture, 32 * (r - 56));
    }
    if (r > 2) {
        secondOrderFlag = 1;
    }
    if (secondOrderFlag == 1 && r == 0) {
        display::darkenBuffer(picture, 255);
    }
}

// --- Scene 11: title strip and scrolling windows ----------------------------------------------

void setUpTitleStrip() {
    sceneState.frameInterval = 32;
    motion.sceneTime.store(0.0f);
    display::copyBuffer(buffers.marbleField.data(), buffers.sourcePage, kPicture);
    display::clearBuffer(buffers.layerPage, kPicture);
    raster::restartGrain();
    sceneState.flashLevel = 0;
    sceneState.timeStep.store(0.02f);
    scrollStartFlag = 1;
    scrollAmount = 0;
    stripStarted = 0;
    scrollStarted = 0;
}

raster::ZoomCentre zoomCentre(float t) {
    return {.x = static_cast<std::uint8_t>(truncate(30.0 * std::sin(t) + 13.0) & 0xFF),
            .y = static_cast<std::uint8_t>(truncate(20.0 * std::cos(t)) & 0xFF)};
}

void titleStripFrame() {
    const std::int32_t r = sceneState.musicRow;
    if (isFlashRow(r) || r == 58) {
        sceneState.flashLevel = 200;
    }
    decayFlashLevel();
    const float t = sceneClock();
    for (int y = 110; y < 200; ++y) {
        display::clearBuffer(buffers.layerPage + 320 * y, 54);
    }
    const bool scrolling = !inFirstOrder() && r > 32;
    if (scrolling) {
        raster::scrollStrip(buffers.layerPage + 10 + (scrollAmount >> 1));
        stripStarted = 1;
    } else if (stripStarted == 0) {
        raster::scrollStrip(buffers.layerPage + 10);
    }
    raster::plasmaZoom(buffers.sourcePage, buffers.layerPage + 20, raster::plasmaMapFromWave(),
                       zoomCentre(t));
    if (scrolling) {
        if (scrollStartFlag == 1) {
            scrollStartFlag = 0;
            scrollStartTime = t;
        }
        scrollAmount = truncate((static_cast<double>(t) - scrollStartTime) * 40.0);
        sceneState.leftWindowMove = 320 * scrollAmount;
        scrollStarted = 1;
        raster::drawLeftWindow(buffers.crystalTexture.data(), buffers.layerPage,
                               sceneState.leftWindowMove);
    } else if (scrollStarted == 0) {
        raster::drawLeftWindow(buffers.crystalTexture.data(), buffers.layerPage,
                               sceneState.leftWindowMove);
    }
    // First order: the top flash on the beats only. Second order: the caption under the
    // window, its lit rows on the beats and its steady rows otherwise; the two are one
    // either/or pair, so the steady caption is not shown in the first order.
    if (inFirstOrder()) {
        if (sceneState.flashLevel != 0) {
            display::addBuffer(buffers.windowFlashes.data() + core::kUpperWindowsAt,
                               buffers.layerPage + core::kUpperWindowsAt, 19200);
        }
    } else if (sceneState.flashLevel != 0) {
        display::addBuffer(buffers.windowCaptions.data() + core::kLowerWindowsAt,
                           buffers.layerPage + core::kLowerWindowsAt, 19200);
    } else {
        display::addBuffer(buffers.windowCaptions.data(), buffers.layerPage + core::kLowerWindowsAt,
                           19200);
    }
    display::putFrame(buffers.layerPage);
}

// --- Scene 12: the dance (or the spiral) over the waving landscape --------------------------

void setUpDance() {
    sceneState.frameInterval = 16;
    motion.sceneTime.store(0.0f);
    motion.sway = 0.0f;
    sceneState.timeStep.store(0.2f);
    buildWarpWave(0.0f);
    display::copyBuffer(buffers.skyPicture.data(), buffers.layerPage, kPicture);
    sceneState.flashLevel = 0;
    display::clearBuffer(buffers.mixPage, kPicture);
    raster::startDancerA(buffers.dancerSolo);
    raster::startDancerB(buffers.dancerPair);
    scrollStartFlag = 1;
    scrollStarted = 0;
    secondOrderFlag = 0;
}

// The window over the dance, moved as the scene last set it.
void drawDanceWindow() {
    raster::drawLeftWindow(buffers.crystalTexture.data(), buffers.mixPage,
                           sceneState.leftWindowMove);
}

void danceFrame() {
    const std::int32_t r = sceneState.musicRow;
    const bool first = inFirstOrder();
    if (first) {
        if (isFlashRow(r) || r == 60) {
            sceneState.flashLevel = 200;
        }
        decayFlashLevel();
    } else {
        if (rowIn(r, core::kTresilloRows)) {
            sceneState.flashLevel = 200;
        }
        if (sceneState.flashLevel > 0) {
            sceneState.flashLevel -= 50;
        }
    }
    const float t = sceneClock();
    display::clearBuffer(buffers.mixPage, kPicture);
    display::drawLandscape(buffers.sourcePage + core::kLandscapeInSourcePage, aimLandscape(t));
    raster::waveWarp(buffers.sourcePage + core::kLandscapeInSourcePage, buffers.mixPage);
    if (sceneState.flashLevel == 0) {
        if (sceneState.dance) {
            if (first) {
                raster::drawDancerA(buffers.mixPage);
            } else {
                raster::drawDancerB(buffers.mixPage);
            }
        } else {
            const double k = (static_cast<double>(t) + 60.0) / 360.0 / 5.0;
            for (int i = 0; i < 160; ++i) {
                raster::stampBlob(buffers.mixPage,
                                  truncate(0.9 * i * std::sin(6.0 * i * k) + 160.0),
                                  truncate(0.9 * i * std::cos(6.0 * i * k) + 100.0));
            }
        }
    } else {
        display::addBuffer(first ? buffers.danceBurst.data() : buffers.dancePillars.data(),
                           buffers.mixPage, kPicture);
    }
    if (first && r > 32 && r < 52) {
        if (scrollStartFlag == 1) {
            scrollStartTime = t;
            scrollStartFlag = 0;
        }
        scrollAmount = truncate((static_cast<double>(t) - scrollStartTime) * 2.0);
        sceneState.leftWindowMove = 25600 - 320 * scrollAmount;
        scrollStarted = 1;
        drawDanceWindow();
    }
    if (!first && r <= 32) {
        drawDanceWindow();
        scrollStartFlag = 1;
    }
    if (first && scrollStarted == 1) {
        drawDanceWindow();
    }
    if (!first && r > 32) {
        if (scrollStartFlag == 1) {
            scrollStartTime = t;
            scrollStartFlag = 0;
        }
        scrollAmount = truncate((static_cast<double>(t) - scrollStartTime) * 4.0);
        sceneState.leftWindowMove = 320 * scrollAmount + 9600;
        drawDanceWindow();
    }
    if (!first) {
        fadeOutSecondOrder(buffers.mixPage, r);
    }
    display::putFrame(buffers.mixPage);
    buildWarpWave(static_cast<float>((400 - 2 * sceneState.flashLevel) * std::sin(t / 10.0)));
}

// --- Scene 13: landscape flight through the polar remap --------------------------------------

void setUpFlight() {
    motion.sceneTime.store(0.0f);
    sceneState.timeStep.store(0.2f);
    sceneState.flashLevel = 0;
    secondOrderFlag = 0;
}

double flightSwing(float t) {
    return std::sin(t / 10.0) + std::cos(t / 4.0) / 5.0;
}

void flightFrame() {
    const std::int32_t r = sceneState.musicRow;
    const bool first = inFirstOrder();
    if (r == 0 || r == 32) {
        sceneState.flashLevel = 200;
    }
    if (sceneState.flashLevel > 0) {
        sceneState.flashLevel -= 2;
    }
    const float t = sceneClock();
    effects::voxelFrame(t, effects::VoxelBackdrop::sky);
    motion.sway = static_cast<float>(flightSwing(t) * 60.0);
    raster::fillAngleTwist();
    std::uint8_t* picture = buffers.mixPage + kPicture;
    raster::polarRemap(effects::voxel.frame.data(), picture);
    drawSprite(truncate(flightSwing(t) * 100.0 + 160.0), 100, buffers.smallLight.data(), picture,
               500 - 6 * sceneState.flashLevel);
    // The caption rises from below the picture to rows 160..189 over the first 20 rows.
    const std::int32_t rise = clampRange(2 * r, 40);
    display::addBuffer(first ? buffers.captionTitle.data() : buffers.captionLinux.data(),
                       buffers.mixPage + core::kRisenCaptionAt + 320 * (40 - rise), 9600);
    if (first && r < 8) {
        display::darkenBuffer(picture, 32 * (8 - r));
    }
    if (!first) {
        fadeOutSecondOrder(picture, r);
    }
    display::putFrame(picture);
}

// --- Scenes 14 to 16: the plasma zoom over a flight ------------------------------------------

void setUpPlasmaFlight() {
    motion.sceneTime.store(0.0f);
    display::copyBuffer(buffers.marbleField.data(), buffers.sourcePage, kPicture);
    display::clearBuffer(buffers.layerPage, kPicture);
    display::clearBuffer(buffers.warpHeights, kPicture);
    raster::restartGrain();
    sceneState.flashLevel = 0;
    sceneState.timeStep.store(0.02f);
}

// The flight under the plasma: the sky filled with a level, the landscape, the twist, and the
// picture handed to the plasma as its map.
void plasmaFlight(std::uint32_t fillValue, bool drawTerrain) {
    const float t = sceneClock();
    display::fillBuffer(effects::voxel.frame.data(), kPicture, fillValue);
    if (drawTerrain) {
        effects::voxelFrame(t, effects::VoxelBackdrop::asLeft);
    }
    motion.sway = static_cast<float>(flightSwing(t) * 60.0);
    raster::fillAngleTwist();
    raster::plasmaZoom(buffers.sourcePage, buffers.layerPage, effects::voxel.frame.data(),
                       zoomCentre(t));
}

std::uint32_t fadingFill(std::int32_t row) {
    return static_cast<std::uint32_t>(64 - row) * 0x04040404u;
}

void plasmaFadesInFrame() {
    const std::int32_t r = sceneState.musicRow;
    plasmaFlight(fadingFill(r), true);
    if (inFirstOrder() && r < 8) {
        display::darkenBuffer(buffers.layerPage, 32 * (8 - r));
    }
    display::putFrame(buffers.layerPage);
}

void plasmaContinuesFrame() {
    std::uint32_t fill = static_cast<std::uint32_t>(sceneState.musicRow) * 0x04040404u;
    if (fill == 0) {
        fill = 0x01010101u;
    }
    plasmaFlight(fill, true);
    display::putFrame(buffers.layerPage);
}

void plasmaFlickersFrame() {
    const std::int32_t r = sceneState.musicRow;
    plasmaFlight(fadingFill(r), r < 32);
    if (r > 48) {
        // Alternate the picture with black in tenths of the clock.
        const double m = std::fmod(static_cast<double>(sceneClock()), 0.1);
        if (m > 0.05) {
            display::putFrame(buffers.layerPage);
        } else if (m < 0.05) {
            display::putFrame(buffers.warpHeights);
        }
    } else if (r < 48) {
        display::putFrame(buffers.layerPage);
    }
    // On row 48 no frame is handed over: the screen keeps the previous one.
}

// --- Scenes 17 and 18: the beat-cut montage and the palette flashes --------------------------

void fillPaletteWhite() {
    display::fillBuffer(buffers.paletteC, 768, 0x3F3F3F3Fu);
}

void stepPaletteTowardB() {
    for (int step = 0; step < 5; ++step) {
        display::paletteStep(buffers.paletteC, buffers.paletteB);
    }
    display::setPalette(buffers.paletteC);
}

std::int32_t montageFlareDepth(float t) {
    return truncate((35.0 * std::sin(t / 3.0) + 650.0) * 65535.0);
}

// The two pictures cross-faded with the flare over them.
void montagePicture() {
    const float t = sceneClock();
    display::copyBuffer(buffers.duskPicture.data(), buffers.sourcePage, kPicture);
    display::crossFade(buffers.sourcePage, buffers.glassSphere.data(), buffers.sourcePage,
                       truncate(55.0 * std::sin(static_cast<double>(t)) + 200.0));
    display::drawZoomSprite(150, 50, buffers.largeFlare.data(), buffers.sourcePage,
                            montageFlareDepth(t));
    display::putFrame(buffers.sourcePage);
}

void setUpMontage() {
    motion.sceneTime.store(0.0f);
    sceneState.timeStep.store(0.1f);
    display::copyBuffer(buffers.skyPicture.data(), buffers.layerPage, kPicture);
}

void montageFrame() {
    const std::int32_t r = sceneState.musicRow;
    const float t = sceneClock();
    auto rowOf = [r](std::initializer_list<std::int32_t> rows) {
        for (std::int32_t row : rows) {
            if (row == r) {
                return true;
            }
        }
        return false;
    };
    if (rowOf({4, 5, 36, 37, 44, 45})) {
        display::setPalette(buffers.paletteA);
        drawSwayingLandscape(t);
        raster::polarRemap(buffers.sourcePage + core::kLandscapeInSourcePage,
                           buffers.mixPage + kPicture);
        flashFlag = 1;
        display::putFrame(buffers.mixPage + kPicture);
        updateSway(sceneClock());
    } else if (rowOf({8, 9, 63})) {
        display::setPalette(buffers.paletteA);
        drawSwayingLandscape(t);
        flashFlag = 1;
        display::putFrame(buffers.sourcePage + core::kLandscapeInSourcePage);
        updateSway(sceneClock());
    } else if ((r >= 16 && r <= 19) || r == 58 || r == 59) {
        display::setPalette(buffers.paletteA);
        mapShiftedTunnel(t, buffers.grainPage);
        flashFlag = 1;
        display::addBuffer(buffers.captionPressure.data(),
                           buffers.grainPage + core::kPressureCaptionAt, 9600);
        display::putFrame(buffers.grainPage);
    } else if (rowOf({22, 23, 31, 54, 55})) {
        display::clearBuffer(buffers.sourcePage, kPicture);
        flashFlag = 1;
        display::setPalette(buffers.paletteA);
        effects::metaFrame(buffers.sourcePage, effects::MetaPace::slow);
        display::putFrame(buffers.sourcePage);
    } else if (rowOf({26, 27, 29, 61})) {
        display::setPalette(buffers.paletteA);
        flashFlag = 1;
        display::putFrame(buffers.lightningPicture.data());
    } else if (r >= 48 && r <= 51) {
        display::setPalette(buffers.paletteA);
        flashFlag = 1;
        display::putFrame(buffers.crestEmblem.data());
    } else if (rowOf({12, 13, 40, 41})) {
        if (r != 41) {
            if (flashFlag == 1) {
                fillPaletteWhite();
            }
            flashFlag = 0;
        }
        stepPaletteTowardB();
        montagePicture();
    } else {
        display::setPalette(buffers.paletteB);
        flashFlag = 1;
        montagePicture();
    }
}

void setUpEmblemsArrive() {
    motion.sceneTime.store(0.0f);
    sceneState.timeStep.store(0.1f);
    display::copyBuffer(buffers.skyPicture.data(), buffers.layerPage, kPicture);
}

void emblemsArriveFrame() {
    const std::int32_t r = sceneState.musicRow;
    if (inFirstOrder() || r <= 34) {
        const bool reflash = (r >= 28 && r <= 31) || (r >= 60 && r <= 63);
        if (reflash && r != lastFlashedRow) {
            fillPaletteWhite();
            lastFlashedRow = r;
        }
        if (reflash || rowIn(r, core::kPaletteFlashRows)) {
            if (flashFlag == 1) {
                fillPaletteWhite();
                flashFlag = 0;
            }
            stepPaletteTowardB();
        } else {
            flashFlag = 1;
            display::setPalette(buffers.paletteB);
        }
        montagePicture();
        return;
    }
    const float t = sceneClock();
    display::setPalette(buffers.paletteB);
    display::copyBuffer(buffers.duskPicture.data(), buffers.sourcePage, kPicture);
    display::drawZoomSprite(150, 50, buffers.largeFlare.data(), buffers.sourcePage,
                            montageFlareDepth(t));
    display::clearBuffer(buffers.layerPage, kPicture);
    drawSprite(160, 110, buffers.dialEmblem.data(), buffers.layerPage,
               140 - 10 * (64 - clampRange(r, 50)));
    if (r > 38) {
        drawSprite(160, 100, buffers.crestEmblem.data(), buffers.layerPage,
                   500 - 10 * clampRange(r - 32, 18));
    }
    display::crossFade(buffers.sourcePage, buffers.layerPage, buffers.sourcePage,
                       255 - 8 * (r - 34));
    display::putFrame(buffers.sourcePage);
}

// --- Scenes 19 to 21: the textured plane, its darkening and the parting emblems --------------

void drawEmblems() {
    drawSprite(160, 110, buffers.dialEmblem.data(), buffers.sourcePage, 0);
    drawSprite(160, 100, buffers.crestEmblem.data(), buffers.sourcePage, 320);
}

void setUpPlane() {
    motion.sceneTime.store(0.0f);
    sceneState.timeStep.store(0.1f);
    display::copyBuffer(buffers.crystalTexture.data(), effects::plane.texture(), 65536);
    display::copyBuffer(display::state.scaleTable.data(), effects::plane.shade(), 65536);
    display::setPalette(buffers.paletteB);
}

void planeFrame() {
    display::clearBuffer(buffers.sourcePage, kPicture);
    effects::planeFrame(buffers.sourcePage);
    drawEmblems();
    display::putFrame(buffers.sourcePage);
}

void setUpPlaneDarkens() {
    sceneState.timeStep.store(0.1f);
    flashFlag = 1;
}

void planeDarkensFrame() {
    const std::int32_t r = sceneState.musicRow;
    display::clearBuffer(buffers.sourcePage, kPicture);
    effects::planeFrame(buffers.sourcePage);
    if (r >= 1) {
        flashFlag = 0;
    }
    // The boundary frame that already reads the next order's row 0 is black.
    display::darkenBuffer(buffers.sourcePage, (r == 0 && flashFlag == 0) ? 255 : 4 * r);
    drawEmblems();
    display::putFrame(buffers.sourcePage);
}

void setUpParting() {
    motion.sceneTime.store(0.0f);
    sceneState.timeStep.store(0.1f);
    display::setPalette(buffers.paletteB);
}

void partingFrame() {
    const float t = sceneClock();
    display::clearBuffer(buffers.sourcePage, kPicture);
    drawSprite(truncate(5.0 * t + 160.0), 110, buffers.dialEmblem.data(), buffers.sourcePage, 0);
    drawSprite(truncate(160.0 - 5.0 * t), 100, buffers.crestEmblem.data(), buffers.sourcePage, 320);
    display::darkenBuffer(buffers.sourcePage, 8 * sceneState.musicRow);
    display::putFrame(buffers.sourcePage);
}

const std::array<Scene, 11> scenes = {{
    {&setUpTitleStrip, &titleStripFrame},
    {&setUpDance, &danceFrame},
    {&setUpFlight, &flightFrame},
    {&setUpPlasmaFlight, &plasmaFadesInFrame},
    {&noSetUp, &plasmaContinuesFrame},
    {&noSetUp, &plasmaFlickersFrame},
    {&setUpMontage, &montageFrame},
    {&setUpEmblemsArrive, &emblemsArriveFrame},
    {&setUpPlane, &planeFrame},
    {&setUpPlaneDarkens, &planeDarkensFrame},
    {&setUpParting, &partingFrame},
}};

}  // namespace

const std::array<Scene, 11>& closingScenes() {
    return scenes;
}

}  // namespace sequencer
