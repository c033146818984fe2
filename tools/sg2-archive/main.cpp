// sg2-archive: packs files into a data archive, lists, extracts and verifies archives.
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_tool.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::fputs(archive::archiveToolUsage(), stdout);
        return 0;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::printf("sg2-archive %s\n", SG2_VERSION);
        return 0;
    }
    return archive::runArchiveTool(arguments);
}
