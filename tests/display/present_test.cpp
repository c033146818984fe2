// The frame hand-off, expansion and the four pixel converters, checked byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "core/settings.h"
#include "display/modes.h"
#include "display/palette.h"
#include "display/present.h"
#include "display/state.h"
#include "display/surfaces.h"
#include "platform/video.h"

namespace {

class PresentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (display::state.frameBuffer == nullptr) {
            ASSERT_TRUE(display::allocateScreenBuffers());
        }
        display::state.trailBuffer.fill(0);
        display::state.trailLevel = 0;
        display::state.colourTable.fill(0);
    }

    // Fills colourBuffer with pixel i = (blue, green, red) varying by position, so a
    // swapped channel, a flipped row or a wrong line skip shows.
    static void fillColours() {
        for (int i = 0; i < core::kPicturePixels; ++i) {
            display::state.colourBuffer[4 * i] = static_cast<std::uint8_t>(i * 7);
            display::state.colourBuffer[4 * i + 1] = static_cast<std::uint8_t>(i / 320);
            display::state.colourBuffer[4 * i + 2] = static_cast<std::uint8_t>(255 - (i % 320) / 2);
            display::state.colourBuffer[4 * i + 3] = 0xEE;
        }
    }
};

TEST_F(PresentTest, ConvertersPackTheWorkedExamplePixel) {
    // Blue 4, green 8, red 252: 0x??FC0804 in 32 bits, 0xF840 in 5-6-5, 0x7C20 in 5-5-5.
    for (int i = 0; i < core::kPicturePixels; ++i) {
        display::state.colourBuffer[4 * i] = 4;
        display::state.colourBuffer[4 * i + 1] = 8;
        display::state.colourBuffer[4 * i + 2] = 252;
        display::state.colourBuffer[4 * i + 3] = 0x5A;
    }
    std::vector<std::uint8_t> surface(1280 * 200);
    display::convert32(surface.data(), 0);
    EXPECT_EQ(surface[0], 4);
    EXPECT_EQ(surface[1], 8);
    EXPECT_EQ(surface[2], 252);
    EXPECT_EQ(surface[3], 0x5A);  // the fourth byte is carried, not made up

    display::convert565(surface.data(), 0);
    EXPECT_EQ(surface[0] | (surface[1] << 8), 0xF840);
    display::convert555(surface.data(), 0);
    EXPECT_EQ(surface[0] | (surface[1] << 8), 0x7C20);
    display::convert24(surface.data(), 0);
    EXPECT_EQ(surface[0], 4);
    EXPECT_EQ(surface[1], 8);
    EXPECT_EQ(surface[2], 252);
}

TEST_F(PresentTest, PureRedAndPureBlueLandInOppositeEnds) {
    // Red on the left half, blue on the right: a swapped byte order cannot pass.
    for (int i = 0; i < core::kPicturePixels; ++i) {
        const bool left = (i % 320) < 160;
        display::state.colourBuffer[4 * i] = left ? 0 : 252;
        display::state.colourBuffer[4 * i + 1] = 0;
        display::state.colourBuffer[4 * i + 2] = left ? 252 : 0;
    }
    std::vector<std::uint8_t> surface(1280 * 200);
    display::convert565(surface.data(), 0);
    EXPECT_EQ(surface[0] | (surface[1] << 8), 0xF800);                  // red: top bits
    EXPECT_EQ(surface[2 * 200] | (surface[2 * 200 + 1] << 8), 0x001F);  // blue: low bits
    display::convert555(surface.data(), 0);
    EXPECT_EQ(surface[0] | (surface[1] << 8), 0x7C00);
    EXPECT_EQ(surface[2 * 200] | (surface[2 * 200 + 1] << 8), 0x001F);
    display::convert32(surface.data(), 0);
    EXPECT_EQ(surface[2], 252);  // little-endian 0x00RR0000: red in byte 2
    EXPECT_EQ(surface[4 * 200], 252);
}

TEST_F(PresentTest, LineSkipPlacesEachRowOnePitchLowerAndLeavesTheGap) {
    fillColours();
    constexpr int pitch = 1500;  // wider than 320 pixels: each converter must skip the rest
    for (int bytesPerPixel : {4, 3, 2}) {
        std::vector<std::uint8_t> surface(pitch * 200 + 64, 0xCD);
        const int skip = pitch - 320 * bytesPerPixel;
        if (bytesPerPixel == 4) {
            display::convert32(surface.data(), skip);
        } else if (bytesPerPixel == 3) {
            display::convert24(surface.data(), skip);
        } else {
            display::convert565(surface.data(), skip);
        }
        // Row 123, column 45's pixel sits at 123 * pitch + 45 * bytesPerPixel.
        const int i = 123 * 320 + 45;
        const std::uint8_t* pixel = surface.data() + 123 * pitch + 45 * bytesPerPixel;
        if (bytesPerPixel >= 3) {
            EXPECT_EQ(pixel[0], display::state.colourBuffer[4 * i]);
            EXPECT_EQ(pixel[2], display::state.colourBuffer[4 * i + 2]);
        } else {
            const unsigned word = pixel[0] | (pixel[1] << 8);
            EXPECT_EQ(word & 31, display::state.colourBuffer[4 * i] >> 3u);
            EXPECT_EQ(word >> 11, display::state.colourBuffer[4 * i + 2] >> 3u);
        }
        // The bytes between a row's end and the next row's start are untouched.
        EXPECT_EQ(surface[123 * pitch + 320 * bytesPerPixel], 0xCD);
        EXPECT_EQ(surface[200 * pitch - 1], 0xCD);
    }
}

TEST_F(PresentTest, ExpandWritesBlueGreenRedAndKeepsTheFourthByte) {
    std::array<std::uint8_t, 768> palette{};
    palette[3 * 7] = 63;  // entry 7: red 63, green 0, blue 32
    palette[3 * 7 + 2] = 32;
    display::setPalette(palette.data());
    std::memset(display::state.frameBuffer, 7, core::kPicturePixels);
    display::state.colourBuffer[3] = 0x77;
    display::expandFrame();
    EXPECT_EQ(display::state.colourBuffer[0], 128);
    EXPECT_EQ(display::state.colourBuffer[1], 0);
    EXPECT_EQ(display::state.colourBuffer[2], 252);
    EXPECT_EQ(display::state.colourBuffer[3], 0x77);
}

TEST_F(PresentTest, ConvertersAgreeWithTheChannelRuleForEveryValueAndPosition) {
    // Three passes rotate which channel counts through 0..255 along each row, so every value
    // of every channel meets many values of the other two and of the fourth byte.
    std::vector<std::uint8_t> surface(1280 * 200);
    for (int pass = 0; pass < 3; ++pass) {
        for (int i = 0; i < core::kPicturePixels; ++i) {
            const std::array<int, 3> values = {i % 256, (i / 256) % 256, (i * 97 + 13) % 256};
            for (int channel = 0; channel < 3; ++channel) {
                display::state.colourBuffer[4 * i + channel] = static_cast<std::uint8_t>(
                    values[static_cast<std::size_t>((channel + pass) % 3)]);
            }
            display::state.colourBuffer[4 * i + 3] = static_cast<std::uint8_t>(i * 31);
        }
        auto blue = [](int i) { return unsigned{display::state.colourBuffer[4 * i]}; };
        auto green = [](int i) { return unsigned{display::state.colourBuffer[4 * i + 1]}; };
        auto red = [](int i) { return unsigned{display::state.colourBuffer[4 * i + 2]}; };
        auto word = [&](int i) { return surface[2 * i] | (surface[2 * i + 1] << 8); };

        display::convert32(surface.data(), 0);
        EXPECT_EQ(std::memcmp(surface.data(), display::state.colourBuffer, 1280 * 200), 0);
        display::convert24(surface.data(), 0);
        for (int i = 0; i < core::kPicturePixels; ++i) {
            ASSERT_EQ(surface[3 * i], blue(i)) << "pixel " << i;
            ASSERT_EQ(surface[3 * i + 1], green(i)) << "pixel " << i;
            ASSERT_EQ(surface[3 * i + 2], red(i)) << "pixel " << i;
        }
        display::convert565(surface.data(), 0);
        for (int i = 0; i < core::kPicturePixels; ++i) {
            ASSERT_EQ(word(i), ((red(i) >> 3) << 11) | ((green(i) >> 2) << 5) | (blue(i) >> 3))
                << "pixel " << i;
        }
        display::convert555(surface.data(), 0);
        for (int i = 0; i < core::kPicturePixels; ++i) {
            ASSERT_EQ(word(i), ((red(i) >> 3) << 10) | ((green(i) >> 3) << 5) | (blue(i) >> 3))
                << "pixel " << i;
        }
    }
}

TEST_F(PresentTest, ExpandLooksUpEveryEntryAndLeavesEveryFourthByte) {
    std::array<std::uint8_t, 768> palette{};
    for (int i = 0; i < 768; ++i) {
        palette[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 37 + 5) % 64);
    }
    for (int round = 0; round < 2; ++round) {
        display::setPalette(palette.data());
        for (int i = 0; i < core::kPicturePixels; ++i) {
            display::state.frameBuffer[i] = static_cast<std::uint8_t>(i * 13 + i / 320 + round);
            display::state.colourBuffer[4 * i + 3] = static_cast<std::uint8_t>(i * 7);
        }
        display::expandFrame();
        for (int i = 0; i < core::kPicturePixels; ++i) {
            const std::size_t entry = display::state.frameBuffer[i];
            ASSERT_EQ(display::state.colourBuffer[4 * i], display::state.colourTable[3 * entry])
                << i;
            ASSERT_EQ(display::state.colourBuffer[4 * i + 1],
                      display::state.colourTable[3 * entry + 1])
                << i;
            ASSERT_EQ(display::state.colourBuffer[4 * i + 2],
                      display::state.colourTable[3 * entry + 2])
                << i;
            ASSERT_EQ(display::state.colourBuffer[4 * i + 3], static_cast<std::uint8_t>(i * 7))
                << i;
        }
        // A palette changed between frames is seen by the next expansion.
        std::rotate(palette.begin(), palette.begin() + 3, palette.end());
    }
}

TEST_F(PresentTest, TrailLevelsConvergeAsTheirShiftsAllow) {
    // From below, a constant source stops rising once S - H is under 32, 4 and 2.
    struct Case {
        int level;
        int gap;
    };
    std::vector<std::uint8_t> source(core::kPicturePixels, 200);
    for (Case c : {Case{1, 32}, Case{2, 4}, Case{3, 2}}) {
        display::state.trailBuffer.fill(0);
        display::state.trailLevel = c.level;
        for (int frame = 0; frame < 400; ++frame) {
            display::putFrame(source.data());
        }
        const int settled = display::state.frameBuffer[1234];
        EXPECT_LT(200 - settled, c.gap) << "level " << c.level;
        EXPECT_GE(200 - settled, 0);
        display::putFrame(source.data());
        EXPECT_EQ(display::state.frameBuffer[1234], settled)
            << "level " << c.level << " kept rising";
        // From above every level reaches the source exactly.
        display::state.trailBuffer.fill(255);
        for (int frame = 0; frame < 400; ++frame) {
            display::putFrame(source.data());
        }
        EXPECT_EQ(display::state.frameBuffer[4321], 200) << "level " << c.level;
    }
}

TEST_F(PresentTest, FirstTrailFrameBlendsIntoZeroAndLevelZeroLeavesTheTrailAlone) {
    std::vector<std::uint8_t> source(core::kPicturePixels, 255);
    display::state.trailLevel = 1;
    display::putFrame(source.data());
    EXPECT_EQ(display::state.frameBuffer[0], 255 >> 5);

    display::state.trailBuffer.fill(9);
    display::state.trailLevel = 0;
    display::putFrame(source.data());
    EXPECT_EQ(display::state.frameBuffer[0], 255);
    EXPECT_EQ(display::state.trailBuffer[0], 9);
    display::state.trailLevel = 7;  // any other value acts as no trail
    source[5] = 17;
    display::putFrame(source.data());
    EXPECT_EQ(display::state.frameBuffer[5], 17);
    EXPECT_EQ(display::state.trailBuffer[5], 9);
}

// presentFrame on the headless surfaces: converter choice, destination and the lock rule.
class PresentFrameTest : public PresentTest {
  protected:
    void present(int desktopBits, std::uint32_t desktopGreen, bool windowed) {
        platform::HeadlessVideoOptions options;
        options.desktop = {640, 480, desktopBits, desktopGreen};
        options.frameSink = [this](const platform::PresentedFrame& frame) {
            seen.assign(frame.staging.begin(), frame.staging.end());
            pitch = frame.pitch;
            destination = frame.destination;
        };
        platform::configureHeadlessVideo(options);
        display::useVideo(platform::headlessVideo());
        display::state.modeList[0] = {640, 480, static_cast<std::uint32_t>(desktopBits),
                                      (desktopGreen >> 5) == 31 ? 0 : 1};
        display::state.modeList[1] = {1280, 1024, 32, 1};
        display::state.modeCount = 2;
        settings.modeIndex = 1;
        settings.windowed = windowed;
        ASSERT_EQ(display::setUpDisplay(settings), 1);
        display::presentFrame();
    }
    core::LaunchSettings settings;
    std::vector<std::uint8_t> seen;
    int pitch = 0;
    platform::ScreenRect destination;
};

TEST_F(PresentFrameTest, WindowedPlayConvertsToTheDesktopFormatInsideTheChosenRectangle) {
    for (int i = 0; i < core::kPicturePixels; ++i) {
        display::state.colourBuffer[4 * i] = 4;
        display::state.colourBuffer[4 * i + 1] = 8;
        display::state.colourBuffer[4 * i + 2] = 252;
    }
    present(16, 0x3E0, true);
    EXPECT_EQ(seen[0] | (seen[1] << 8), 0x7C20);  // 5-5-5 desktop, whatever the chosen depth
    EXPECT_EQ(destination.left, 0);
    EXPECT_EQ(destination.top, 32);  // 1280 x 1024: 32 rows above and below the 4:3 picture
    EXPECT_EQ(destination.right, 1280);
    EXPECT_EQ(destination.bottom, 992);

    present(16, 0x3E0, false);  // full screen: the chosen 32-bit record decides
    EXPECT_EQ(seen[2], 252);
    EXPECT_EQ(pitch, 1280 * 4);
}

TEST_F(PresentFrameTest, ALostDisplayIsNeverWrittenThrough) {
    present(32, 0xFF00, false);
    display::releaseDisplay();
    seen.clear();
    EXPECT_EQ(display::presentFrame(), platform::BlitResult::Failed);
    EXPECT_TRUE(seen.empty());
}

TEST(PictureRectangle, FourThreeAreaInsideCommonResolutions) {
    struct Case {
        int width, height, borderX, borderY;
    };
    for (Case c : {Case{640, 480, 0, 0}, Case{800, 600, 0, 0}, Case{1280, 1024, 0, 32},
                   Case{1920, 1080, 240, 0}, Case{1280, 800, 107, 0}, Case{1280, 720, 160, 0},
                   Case{320, 200, 27, 0}, Case{640, 400, 53, 0}, Case{1366, 768, 171, 0}}) {
        const auto borders = display::pictureBorders(c.width, c.height);
        EXPECT_EQ(borders.x, c.borderX) << c.width << "x" << c.height;
        EXPECT_EQ(borders.y, c.borderY) << c.width << "x" << c.height;
    }
}

}  // namespace
