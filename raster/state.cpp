#include "raster/state.h"

namespace raster {

State state;

}  // namespace raster
