#include "raster/lines.h"

namespace raster {

// Provisional until the glow-blob and line routines land: draws nothing.
void addLine(std::uint8_t*, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}

}  // namespace raster
