#include "sequencer/preparation.h"

#include <cstdio>

#include "core/buffers.h"
#include "core/console.h"
#include "core/process.h"
#include "display/engine.h"
#include "effects/metaballs.h"
#include "effects/plane.h"
#include "effects/voxel.h"
#include "raster/grain.h"
#include "raster/polar.h"
#include "raster/windows.h"
#include "sequencer/music.h"
#include "sequencer/state.h"
#include "store/store.h"

namespace sequencer {

namespace {

constexpr std::array<PreparationStep, 9> builders = {
    &display::buildScaleTable, &raster::buildPolarTable, &raster::buildWindowMap,
    &raster::fillNoise,        &buildSineTables,         &widenLandscapeHeights,
    &raster::buildPolarMaps,   &store::loadWarpHeights,  &effects::voxelSetup,
};

}  // namespace

void prepareWorkBuffers() {
    if (!core::allocateWorkBuffers()) {
        std::fputs("outta himem... sorry, but 8 megs required!\n", stdout);
        stopAndFreeSong();
        core::releaseWorkBuffers();
        core::exitProcess(0);
    }
    effects::planeSetup();
    effects::metaSetup();
    core::clearWorkBuffers();
}

void loadArchiveEntries() {
    for (const store::StartupLoad& load : store::startupLoadList()) {
        store::loadEntry(load.entry, load.destination, load.capacity, load.needs);
        core::writeProgressDot();
    }
}

const std::array<PreparationStep, 9>& oneTimeBuilders() {
    return builders;
}

void resetPlayState() {
    raster::windowLeftOffset = 0;
    raster::noiseOffset = 0;
    raster::noiseShift = 1;
}

}  // namespace sequencer
