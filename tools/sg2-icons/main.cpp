// sg2-icons SIZE OUT.png: writes the menu icon at SIZE x SIZE pixels (used by the build).
#include <charconv>
#include <cstdio>
#include <cstring>

#include "image/png.h"
#include "resources/icon.h"

int main(int argc, char** argv) {
    int size = 0;
    if (argc != 3 ||
        std::from_chars(argv[1], argv[1] + std::strlen(argv[1]), size).ec != std::errc{} ||
        size < 1 || size > 1024) {
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
