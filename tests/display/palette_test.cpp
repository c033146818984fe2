// Palette to colour table, and the one-unit fade step.
#include <gtest/gtest.h>

#include <array>

#include "display/palette.h"
#include "display/state.h"

namespace {

TEST(Palette, ShiftsInEightBitsAndStoresBlueGreenRed) {
    std::array<std::uint8_t, 768> palette{};
    palette[0] = 63;  // entry 0: (63, 0, 32)
    palette[2] = 32;
    palette[3] = 64;  // entry 1: red 64 wraps to 0, green 65 to 4, blue 1 to 4
    palette[4] = 65;
    palette[5] = 1;
    display::setPalette(palette.data());
    EXPECT_EQ(display::state.colourTable[0], 128);
    EXPECT_EQ(display::state.colourTable[1], 0);
    EXPECT_EQ(display::state.colourTable[2], 252);
    EXPECT_EQ(display::state.colourTable[3], 4);
    EXPECT_EQ(display::state.colourTable[4], 4);
    EXPECT_EQ(display::state.colourTable[5], 0);
}

TEST(Palette, FiveStepsAFrameFadeWhiteToBlackInThirteenFrames) {
    std::array<std::uint8_t, 768> working;
    working.fill(63);
    const std::array<std::uint8_t, 768> black{};
    std::vector<int> seen;
    for (int frame = 0; frame < 13; ++frame) {
        for (int step = 0; step < 5; ++step) {
            display::paletteStep(working.data(), black.data());
        }
        seen.push_back(working[100]);
    }
    EXPECT_EQ(seen, (std::vector<int>{58, 53, 48, 43, 38, 33, 28, 23, 18, 13, 8, 3, 0}));
}

TEST(Palette, StepMovesEachByteTowardItsOwnTargetOnly) {
    std::array<std::uint8_t, 768> working{};
    std::array<std::uint8_t, 768> target{};
    working[0] = 10;
    target[0] = 10;
    working[1] = 10;
    target[1] = 0;
    working[2] = 0;
    target[2] = 200;  // compared unsigned: above 127 is still above
    display::paletteStep(working.data(), target.data());
    EXPECT_EQ(working[0], 10);
    EXPECT_EQ(working[1], 9);
    EXPECT_EQ(working[2], 1);
}

}  // namespace
