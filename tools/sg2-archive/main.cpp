// sg2-archive: packs files into a data archive, lists, extracts and verifies archives.
#include <string>
#include <vector>

#include "archive/archive_tool.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return archive::runArchiveTool(arguments);
}
