// sg2-icons SIZE OUT.png: writes the menu icon at SIZE x SIZE pixels (used by the build).
#include <cstdio>
#include <optional>

#include "core/parse.h"
#include "image/png.h"
#include "resources/icon.h"

int main(int argc, char** argv) {
    const std::optional<int> parsed = argc == 3 ? core::parseWholeInt(argv[1]) : std::nullopt;
    const int size = parsed.value_or(0);
    if (size < 1 || size > 1024) {
        std::fputs("usage: sg2-icons SIZE OUT.png\n", stderr);
        return 2;
    }
    const auto rgb = resources::iconRgb(size);
    if (!image::writePng(argv[2], size, size, rgb)) {
        std::fprintf(stderr, "sg2-icons: %s: cannot write the icon\n", argv[2]);
        return 1;
    }
    return 0;
}
