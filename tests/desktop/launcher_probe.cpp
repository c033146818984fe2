// Runs the desktop start as the program does (display check, mode list, launcher) and prints
// the settings "Run Demo" produced, so scripts can drive the real dialog with xdotool.
#include <cstdio>
#include <span>

#include "display/modes.h"
#include "host/launcher.h"
#include "host/process.h"
#include "host/settings.h"

int main(int argc, char** argv) {
    const std::span<char* const> args(argv, static_cast<std::size_t>(argc));
    for (std::size_t i = 1; i < args.size();) {
        const int taken = host::parseDisplayOption(args, i);
        if (taken <= 0) {
            std::fprintf(stderr, "launcher_probe: unknown option %s\n", args[i]);
            host::exitProcess(2);
        }
        i += static_cast<std::size_t>(taken);
    }
    if (!host::startDesktop(true)) {
        std::printf("left\n");
        host::exitProcess(0);
    }
    const host::LaunchSettings& s = host::launchSettings;
    const display::ModeRecord& mode = display::modeList[static_cast<std::size_t>(s.modeIndex)];
    std::printf("run modeIndex=%d mode=%ux%ux%u windowed=%d dance=%d trailLevel=%d\n", s.modeIndex,
                mode.width, mode.height, mode.bitsPerPixel, s.windowed, s.dance, s.trailLevel);
    host::exitProcess(0);
}
