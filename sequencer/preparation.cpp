#include "sequencer/preparation.h"

#include <cstdio>

#include "archive/archive.h"
#include "display/engine.h"
#include "effects/polar.h"
#include "effects/voxel.h"
#include "raster/grain.h"
#include "raster/windows.h"
#include "sequencer/state.h"

namespace sequencer {

namespace {
int dotsWritten = 0;

constexpr std::array<PreparationStep, 9> builders = {{
    {"scale table", &display::buildScaleTable},
    {"polar table", &effects::buildPolarTable},
    {"window map", &effects::buildWindowMap},
    {"grain table", &raster::fillNoise},
    {"sine tables", &buildSineTables},
    {"landscape heights", &widenResource05},
    {"polar maps", &effects::buildPolarMaps},
    {"entry 17 height field", &archive::loadSecondEntry17},
    {"voxel terrain", &effects::voxelSetup},
}};

}  // namespace

void writeProgressDot() {
    std::fputc('.', stdout);
    std::fflush(stdout);
    ++dotsWritten;
}

int progressDotsWritten() {
    return dotsWritten;
}

void loadArchiveEntries() {
    for (const archive::StartupLoad& load : archive::startupLoadList()) {
        archive::loadEntry(load.entry, load.destination, load.capacity);
        writeProgressDot();
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
