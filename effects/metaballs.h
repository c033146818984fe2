#pragma once
// The marching-cubes metaballs.
namespace effects {

// One-time set-up, run from the work-buffer allocation.
void metaSetup();

}  // namespace effects
