#pragma once
// The textured floor-and-ceiling plane.
namespace effects {

// One-time set-up, run from the work-buffer allocation.
void planeSetup();

}  // namespace effects
