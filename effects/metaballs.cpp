#include "effects/metaballs.h"

namespace effects {

// Provisional until the metaball effect lands.
void metaSetup() {}

}  // namespace effects
