// The sequencer's own tables and helpers.
#include <gtest/gtest.h>

#include <cmath>

#include "core/buffers.h"
#include "sequencer/state.h"

namespace {

TEST(SequencerTables, ClampRangeLimitsBothWays) {
    EXPECT_EQ(sequencer::clampRange(-5, 40), 0);
    EXPECT_EQ(sequencer::clampRange(45, 40), 40);
    EXPECT_EQ(sequencer::clampRange(7, 40), 7);
    EXPECT_EQ(sequencer::clampRange(40, 40), 40);
}

TEST(SequencerTables, SineTablesTruncateTowardZero) {
    sequencer::buildSineTables();
    EXPECT_EQ(sequencer::motion.sinTable[0], 0);
    EXPECT_EQ(sequencer::motion.cosTable[0], 8192);
    // sin(1/161) * 8192 = 50.88...: truncated, not rounded.
    EXPECT_EQ(sequencer::motion.sinTable[1], 50);
    // Past half a turn the values are negative and truncate toward zero (up).
    const int i = 600;
    EXPECT_LT(sequencer::motion.sinTable[i], 0);
    EXPECT_EQ(sequencer::motion.sinTable[i], static_cast<int>(std::sin(i / 161.0) * 8192.0));
    EXPECT_EQ(sequencer::motion.cosTable[1023], static_cast<int>(std::cos(1023 / 161.0) * 8192.0));
}

TEST(SequencerTables, WideningRunsInPlaceFromTheTop) {
    auto& bytes = core::buffers.landscapeHeights;
    for (int i = 0; i < 65536; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 37 + (i >> 8));
    }
    std::vector<std::uint8_t> original(bytes.begin(), bytes.begin() + 65536);
    sequencer::widenLandscapeHeights();
    for (int i : {0, 1, 2, 255, 32767, 65535}) {
        const int word = bytes[2 * i] | (bytes[2 * i + 1] << 8);
        EXPECT_EQ(word, (32 - (original[static_cast<std::size_t>(i)] >> 3)) * 320) << i;
    }
    // Byte 0 gives 32 rows, byte 255 one row.
    bytes.fill(0);
    bytes[1] = 255;
    sequencer::widenLandscapeHeights();
    EXPECT_EQ(bytes[0] | (bytes[1] << 8), 32 * 320);
    EXPECT_EQ(bytes[2] | (bytes[3] << 8), 320);
}

TEST(SequencerTables, WarpWaveIsFlatAtZeroAndScaledByTheArgumentOtherwise) {
    sequencer::motion.warpWave.fill(123);
    sequencer::buildWarpWave(0.0f);
    for (int value : sequencer::motion.warpWave) {
        ASSERT_EQ(value, 0);
    }
    sequencer::buildWarpWave(50.0f);
    // 10 * sin(0 - 50/14) / 0.5 = 20 * 0.4121... = 8.24: truncated to 8.
    EXPECT_EQ(sequencer::motion.warpWave[0], 8);
    EXPECT_EQ(sequencer::motion.warpWave[100],
              static_cast<int>(20.0 * std::sin(100 / 12.0 - 50.0 / 14.0)));
    // A vanishing argument holds the wave to the 32-bit range instead of overflowing.
    sequencer::buildWarpWave(1e-30f);
    EXPECT_EQ(sequencer::motion.warpWave[3], 2147483647);
}

}  // namespace
