#pragma once
// A place in the song: the order and the row within it. The song's position is the show's
// clock for scene changes and cues.
#include <cstdint>

namespace core {

struct SongPosition {
    std::int32_t order = 0;
    std::int32_t row = 0;
};

// True when `position` is at `mark` or after it.
constexpr bool reached(const SongPosition& mark, const SongPosition& position) {
    return position.order > mark.order ||
           (position.order == mark.order && position.row >= mark.row);
}

}  // namespace core
