// Only the platform layer may see SDL, FLTK or libopenmpt: not the tests, nor the benchmarks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/support/run_program.h"

namespace {

TEST(Layout, NoLibraryHeadersOutsideThePlatformLayer) {
    const std::filesystem::path root = testsupport::sourceDirectory();
    const std::regex include(R"(^\s*#\s*include\s*[<"](SDL|FL/|libopenmpt))");
    int filesChecked = 0;
    for (const char* directory : {"host", "sequencer", "display", "archive", "effects", "vector",
                                  "raster", "resources", "content", "tools", "tests", "bench"}) {
        if (!std::filesystem::exists(root / directory)) {
            continue;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / directory)) {
            const auto extension = entry.path().extension();
            if (extension != ".h" && extension != ".cpp") {
                continue;
            }
            ++filesChecked;
            std::ifstream file(entry.path());
            std::string line;
            int number = 0;
            while (std::getline(file, line)) {
                ++number;
                EXPECT_FALSE(std::regex_search(line, include))
                    << entry.path() << ":" << number << ": " << line;
            }
        }
    }
    EXPECT_GT(filesChecked, 20);
}

}  // namespace
