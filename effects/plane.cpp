#include "effects/plane.h"

namespace effects {

// Provisional until the plane effect lands.
void planeSetup() {}

}  // namespace effects
