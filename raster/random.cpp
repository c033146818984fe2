#include "raster/random.h"

namespace raster {

namespace {
std::uint32_t randomState = 1;
}

std::int32_t nextRandom() {
    randomState = randomState * 1103515245u + 12345u;
    return static_cast<std::int32_t>((randomState >> 16) & 0x7FFF);
}

void resetRandom() {
    randomState = 1;
}

}  // namespace raster
