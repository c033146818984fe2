#include "sequencer/state.h"

#include "core/buffers.h"
#include "core/bytes.h"

namespace sequencer {

SceneState sceneState;

void widenLandscapeHeights() {
    std::uint8_t* bytes = core::buffers.landscapeHeights.data();
    // From the top down: word i lands on bytes 2i and 2i+1, never on a byte not yet read.
    for (int i = 65535; i >= 0; --i) {
        const std::uint32_t word = (32u - (bytes[i] >> 3)) * 320u;
        core::writeLittle16(bytes + 2 * i, static_cast<std::uint16_t>(word));
    }
}

std::int32_t clampRange(std::int32_t x, std::int32_t limit) {
    if (x > limit) {
        return limit;
    }
    if (x < 0) {
        return 0;
    }
    return x;
}

}  // namespace sequencer
