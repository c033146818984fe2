// The desktop start as the program does it (display check, mode list, launcher or display
// options), for scripts that drive the real dialog and window with xdotool.
//   launcher_probe [display options]         prints the settings "Run Demo" produced
//   launcher_probe --card [display options]  sets up the display and presents a test card
//                                            through the real presentation until a quit
#include <chrono>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "display/modes.h"
#include "display/palette.h"
#include "display/present.h"
#include "display/state.h"
#include "display/surfaces.h"
#include "host/launcher.h"
#include "host/options.h"
#include "host/process.h"
#include "host/settings.h"
#include "platform/video.h"

namespace {

// Four quadrants of different palette entries, so a flip, a swap of red and blue or a wrong
// pixel format shows in a screenshot: top left 1, top right 2, bottom left 3, bottom right 4.
void presentTestCard() {
    std::uint8_t palette[768] = {};
    const std::uint8_t entries[5][3] = {
        {0, 0, 0}, {63, 3, 1}, {0, 63, 0}, {8, 16, 63}, {63, 63, 63}};
    for (int i = 0; i < 5; ++i) {
        std::memcpy(palette + i * 3, entries[i], 3);
    }
    display::setPalette(palette);
    static std::uint8_t card[core::kPicturePixels];
    for (int y = 0; y < core::kPictureHeight; ++y) {
        for (int x = 0; x < core::kPictureWidth; ++x) {
            const bool right = x >= core::kPictureWidth / 2;
            const bool bottom = y >= core::kPictureHeight / 2;
            card[y * core::kPictureWidth + x] =
                static_cast<std::uint8_t>(bottom ? (right ? 4 : 3) : (right ? 2 : 1));
        }
    }
    display::putFrame(card);

    const display::ModeRecord& format =
        display::state.modeList[host::launchSettings.windowed
                                    ? 0
                                    : static_cast<std::size_t>(host::launchSettings.modeIndex)];
    const char* converter = format.bitsPerPixel == 32   ? "32"
                            : format.bitsPerPixel == 24 ? "24"
                            : format.greenIs6Bit != 0   ? "565"
                                                        : "555";
    // How long a frame takes from the start of its presentation until the screen has it
    // (conversion, upload, stretch and the renderer's present).
    using Clock = std::chrono::steady_clock;
    double totalMs = 0;
    double longestMs = 0;
    long frames = 0;
    bool announced = false;
    while (!display::video().pumpEvents()) {
        display::expandFrame();
        const Clock::time_point start = Clock::now();
        display::presentFrame();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        totalMs += ms;
        longestMs = ms > longestMs ? ms : longestMs;
        ++frames;
        if (!announced) {
            std::printf("ready format=%s border=%d,%d\n", converter, display::state.borderX,
                        display::state.borderY);
            std::fflush(stdout);
            announced = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    display::releaseDisplay();
    display::video().showCursor(true);
    std::printf("presented %ld frames, %.2f ms each on average, %.2f ms at most\n", frames,
                frames > 0 ? totalMs / static_cast<double>(frames) : 0.0, longestMs);
    std::printf("quit\n");
}

}  // namespace

int main(int argc, char** argv) {
    const std::span<char* const> args(argv, static_cast<std::size_t>(argc));
    bool card = false;
    std::vector<std::string> words;
    for (const char* arg : args.subspan(1)) {
        if (std::strcmp(arg, "--card") == 0) {
            card = true;
        } else {
            words.emplace_back(arg);
        }
    }
    // The program's own parser, so that the probe takes the display options as it does.
    std::string error;
    const auto options = host::parseOptions(words, error);
    if (!options) {
        std::fprintf(stderr, "launcher_probe: %s\n", error.c_str());
        host::exitProcess(2);
    }
    switch (host::startDesktop(!card, options->display)) {
        case host::DesktopStart::Run:
            break;
        case host::DesktopStart::Left:
            std::printf("left\n");
            host::exitProcess(0);
        case host::DesktopStart::Failed:
            host::exitProcess(1);
    }
    const host::LaunchSettings& s = host::launchSettings;
    if (card) {
        if (display::setUpDisplay(host::launchSettings) == 0 || !display::allocateScreenBuffers()) {
            host::exitProcess(1);
        }
        presentTestCard();
        host::exitProcess(0);
    }
    const display::ModeRecord& mode =
        display::state.modeList[static_cast<std::size_t>(s.modeIndex)];
    std::printf("run modeIndex=%d mode=%ux%ux%u windowed=%d dance=%d trailLevel=%d\n", s.modeIndex,
                mode.width, mode.height, mode.bitsPerPixel, s.windowed, s.dance, s.trailLevel);
    host::exitProcess(0);
}
