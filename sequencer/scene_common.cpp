#include "sequencer/scene_common.h"

namespace sequencer {

void updateSway(float t) {
    sway = static_cast<float>(50.0 * std::sin(t / 10.0) + 40.0 * std::cos(t / 3.0) +
                              30.0 * std::sin(t / 7.0));
}

TunnelOffsets tunnelOffsets(float t) {
    return {truncate(50.0 * std::cos(t / 4.0) + 50.0 * std::sin(t / 3.0)),
            truncate(90.0 * std::cos(t / 2.0) + 90.0 * std::sin(static_cast<double>(t))),
            truncate(70.0 * std::cos(t / 3.0) + 30.0 * std::sin(t / 2.0))};
}

}  // namespace sequencer
