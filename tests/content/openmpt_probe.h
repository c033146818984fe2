#pragma once
// Plays module bytes through libopenmpt for the content tests: where the song is after a
// given time, what it sounds like, and how the player reads its pattern cells.
#include <libopenmpt/libopenmpt.hpp>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace content_test {

inline constexpr std::int32_t kProbeRate = 48000;

inline std::unique_ptr<openmpt::module> openModule(const std::vector<std::uint8_t>& bytes) {
    auto module = std::make_unique<openmpt::module>(bytes);
    module->set_render_param(openmpt::module::RENDER_STEREOSEPARATION_PERCENT, 0);
    return module;
}

struct PositionTrace {
    std::vector<std::pair<std::int32_t, std::int32_t>> positions;  // (order, row) per block
    std::size_t songBlocks = 0;  // blocks before the player leaves the song's last row
};

// Renders the whole song in blocks of `blockFrames`, noting the position after each block.
// After the last row the player renders a short tail reported at order 0, row 0; that is
// where `songBlocks` ends.
inline PositionTrace tracePositions(openmpt::module& module, std::size_t blockFrames) {
    PositionTrace trace;
    std::vector<float> mono(blockFrames);
    for (;;) {
        const std::size_t got = module.read(kProbeRate, blockFrames, mono.data());
        if (got == 0) {
            break;
        }
        trace.positions.emplace_back(module.get_current_order(), module.get_current_row());
    }
    trace.songBlocks = trace.positions.size();
    for (std::size_t i = 1; i < trace.positions.size(); ++i) {
        if (trace.positions[i] < trace.positions[i - 1]) {
            trace.songBlocks = i;
            break;
        }
    }
    return trace;
}

}  // namespace content_test
