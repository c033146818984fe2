#include "vector/state.h"

namespace vector {

State state;

}  // namespace vector
