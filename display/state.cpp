#include "display/state.h"

namespace display {

State state;

}  // namespace display
