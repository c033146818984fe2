#include "sequencer/preparation.h"

#include <cstdio>

#include "core/buffers.h"
#include "core/console.h"
#include "display/engine.h"
#include "effects/metaballs.h"
#include "effects/plane.h"
#include "effects/voxel.h"
#include "raster/grain.h"
#include "raster/polar.h"
#include "raster/state.h"
#include "raster/windows.h"
#include "sequencer/state.h"
#include "store/store.h"

namespace sequencer {

namespace {

// A builder that cannot fail, as a step.
template <void (*Builder)()>
bool always() {
    Builder();
    return true;
}

constexpr std::array<PreparationStep, 9> builders = {
    &always<&display::buildScaleTable>, &always<&raster::buildPolarTable>,
    &always<&raster::buildWindowMap>,   &always<&raster::fillNoise>,
    &always<&buildSineTables>,          &always<&widenLandscapeHeights>,
    &always<&raster::buildPolarMaps>,   &store::loadWarpHeights,
    &always<&effects::voxelSetup>,
};

}  // namespace

bool prepareWorkBuffers() {
    if (!core::allocateWorkBuffers()) {
        std::fputs("outta himem... sorry, but 8 megs required!\n", stdout);
        std::fflush(stdout);
        return false;
    }
    effects::planeSetup();
    effects::metaSetup();
    core::clearWorkBuffers();
    return true;
}

bool loadArchiveEntries() {
    for (std::size_t index = 0; index < archiveLoadCount(); ++index) {
        if (!loadArchiveEntry(index)) {
            return false;
        }
        core::writeProgressDot();
    }
    return true;
}

std::size_t archiveLoadCount() {
    return store::kStartupLoadCount;
}

bool loadArchiveEntry(std::size_t index) {
    const store::StartupLoad load = store::startupLoadList()[index];
    return store::loadEntry(load.entry, load.destination, load.capacity, load.needs);
}

const std::array<PreparationStep, 9>& oneTimeBuilders() {
    return builders;
}

void resetPlayState() {
    sceneState.leftWindowMove = 0;
    raster::restartGrain();
}

}  // namespace sequencer
