// Only the platform layer may see SDL, FLTK or libopenmpt: not the tests, nor the benchmarks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string_view>

#include "tests/support/run_program.h"

namespace {

// True when `line` is an #include of an SDL, FLTK or libopenmpt header. A plain scan rather
// than std::regex, which GCC 12 warns about (falsely) in the sanitizer build.
bool includesLibraryHeader(std::string_view line) {
    auto skipBlanks = [&line] {
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            line.remove_prefix(1);
        }
    };
    auto take = [&line](std::string_view word) {
        if (!line.starts_with(word)) {
            return false;
        }
        line.remove_prefix(word.size());
        return true;
    };
    skipBlanks();
    if (!take("#")) {
        return false;
    }
    skipBlanks();
    if (!take("include")) {
        return false;
    }
    skipBlanks();
    if (!take("<") && !take("\"")) {
        return false;
    }
    return line.starts_with("SDL") || line.starts_with("FL/") || line.starts_with("libopenmpt");
}

TEST(Layout, IncludeScanSeesEverySpellingOfALibraryInclude) {
    EXPECT_TRUE(includesLibraryHeader("#include <SDL.h>"));
    EXPECT_TRUE(includesLibraryHeader("  #  include \"FL/Fl.H\""));
    EXPECT_TRUE(includesLibraryHeader("\t#include<libopenmpt/libopenmpt.hpp>"));
    EXPECT_FALSE(includesLibraryHeader("#include \"platform/music.h\""));
    EXPECT_FALSE(includesLibraryHeader("// #include <SDL.h>"));
    EXPECT_FALSE(includesLibraryHeader("#define SDL 1"));
}

TEST(Layout, NoLibraryHeadersOutsideThePlatformLayer) {
    const std::filesystem::path root = testsupport::sourceDirectory();
    int filesChecked = 0;
    for (const char* directory : {"core", "host", "sequencer", "display", "archive", "effects", "vector",
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
                EXPECT_FALSE(includesLibraryHeader(line))
                    << entry.path() << ":" << number << ": " << line;
            }
        }
    }
    EXPECT_GT(filesChecked, 20);
}

}  // namespace
