#include "sequencer/preparation.h"

#include <cstdio>

#include "display/engine.h"
#include "sequencer/state.h"

namespace sequencer {

namespace {
int dotsWritten = 0;

// Steps whose routines arrive with their effects; each is named so its place is fixed.
void buildPolarTableStep() {}
void buildWindowMapStep() {}
void fillNoiseStep() {}
void buildPolarMapsStep() {}
void loadSecondEntry17Step() {}
void voxelSetupStep() {}

constexpr std::array<PreparationStep, 9> builders = {{
    {"scale table", &display::buildScaleTable},
    {"polar table", &buildPolarTableStep},
    {"window map", &buildWindowMapStep},
    {"grain table", &fillNoiseStep},
    {"sine tables", &buildSineTables},
    {"landscape heights", &widenResource05},
    {"polar maps", &buildPolarMapsStep},
    {"entry 17 height field", &loadSecondEntry17Step},
    {"voxel terrain", &voxelSetupStep},
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
    for (int load = 0; load < 37; ++load) {
        writeProgressDot();
    }
}

const std::array<PreparationStep, 9>& oneTimeBuilders() {
    return builders;
}

void resetPlayState() {}

}  // namespace sequencer
