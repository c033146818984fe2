// The folders' floors: each folder includes only the folders below it that the table lists,
// and only the platform layer sees SDL, FLTK or libopenmpt (not the tests, nor the benchmarks).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/run_program.h"

namespace {

struct Floor {
    std::string_view folder;
    std::vector<std::string_view> mayInclude;
};

// Lowest first; a folder may include only folders listed before it.
const std::array<Floor, 14> kFloors{{
    {"core", {}},
    {"resources", {}},
    {"image", {"core"}},
    {"platform", {"core", "resources"}},
    {"archive", {"core"}},
    {"store", {"core", "archive"}},
    {"display", {"core", "platform"}},
    {"raster", {"core", "display"}},
    {"effects", {"core", "display", "raster"}},
    {"vector", {"core", "display"}},
    {"sequencer", {"core", "platform", "store", "display", "raster", "effects", "vector"}},
    {"host",
     {"core", "resources", "image", "platform", "store", "display", "raster", "effects", "vector",
      "sequencer"}},
    {"content", {"core", "image", "archive"}},
    {"tools", {"core", "resources", "image", "archive"}},
}};

// Folders of the tree that are not program code and may include anything (build directories,
// which hold a CMakeCache.txt, are passed over too).
constexpr std::array<std::string_view, 4> kOutsideTheFloors{"tests", "bench", "cmake", "scripts"};

// What `line` includes when it is an #include line, quotes or angle brackets kept apart:
// "<SDL.h>" or "\"core/show.h\"". A plain scan rather than std::regex, which GCC 12 warns
// about (falsely) in the sanitizer build.
std::optional<std::string_view> includedName(std::string_view line) {
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
        return std::nullopt;
    }
    skipBlanks();
    if (!take("include")) {
        return std::nullopt;
    }
    skipBlanks();
    const std::size_t end = line.find_first_of(">\"", 1);
    if (line.empty() || (line.front() != '<' && line.front() != '"') ||
        end == std::string_view::npos) {
        return std::nullopt;
    }
    return line.substr(0, end + 1);
}

bool isLibraryHeader(std::string_view included) {
    const std::string_view name = included.substr(1);
    return name.starts_with("SDL") || name.starts_with("FL/") || name.starts_with("libopenmpt");
}

const Floor* floorOf(std::string_view folder) {
    for (const Floor& floor : kFloors) {
        if (floor.folder == folder) {
            return &floor;
        }
    }
    return nullptr;
}

// The program folder a quoted include names ("display/present.h" -> display), if any.
std::optional<std::string_view> includedFolder(std::string_view included) {
    if (!included.starts_with('"')) {
        return std::nullopt;
    }
    const std::string_view path = included.substr(1, included.size() - 2);
    const std::size_t slash = path.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    if (const Floor* floor = floorOf(path.substr(0, slash))) {
        return floor->folder;
    }
    return std::nullopt;
}

// Calls `check(path, lineNumber, includedName)` for every include in the folder's sources.
template <typename Check>
int scanIncludes(const std::filesystem::path& folder, Check check) {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const auto extension = entry.path().extension();
        if (extension != ".h" && extension != ".cpp") {
            continue;
        }
        ++files;
        std::ifstream file(entry.path());
        std::string line;
        int number = 0;
        while (std::getline(file, line)) {
            ++number;
            if (const auto included = includedName(line)) {
                check(entry.path(), number, *included);
            }
        }
    }
    return files;
}

TEST(Layout, IncludeScanReadsEverySpelling) {
    EXPECT_EQ(includedName("#include <SDL.h>"), "<SDL.h>");
    EXPECT_EQ(includedName("  #  include \"FL/Fl.H\""), "\"FL/Fl.H\"");
    EXPECT_EQ(includedName("\t#include<libopenmpt/libopenmpt.hpp>"), "<libopenmpt/libopenmpt.hpp>");
    EXPECT_EQ(includedName("#include \"core/show.h\"  // the clock"), "\"core/show.h\"");
    EXPECT_FALSE(includedName("// #include <SDL.h>"));
    EXPECT_FALSE(includedName("#define SDL 1"));
    EXPECT_FALSE(includedName("#include"));

    EXPECT_TRUE(isLibraryHeader("<SDL.h>"));
    EXPECT_TRUE(isLibraryHeader("\"FL/Fl.H\""));
    EXPECT_FALSE(isLibraryHeader("\"platform/music.h\""));

    EXPECT_EQ(includedFolder("\"sequencer/state.h\""), "sequencer");
    EXPECT_FALSE(includedFolder("<core/show.h>"));        // a system header of that name
    EXPECT_FALSE(includedFolder("\"child_process.h\""));  // beside the file
    EXPECT_FALSE(includedFolder("\"tests/support/run_program.h\""));
}

// Every folder stands only on folders below it, so the table itself cannot hold a cycle.
TEST(Layout, TheTableOnlyPointsDown) {
    for (std::size_t i = 0; i < kFloors.size(); ++i) {
        for (std::string_view below : kFloors[i].mayInclude) {
            const auto at = std::find_if(kFloors.begin(), kFloors.begin() + i,
                                         [below](const Floor& f) { return f.folder == below; });
            EXPECT_NE(at, kFloors.begin() + i)
                << kFloors[i].folder << " lists " << below << ", which is not below it";
        }
    }
}

// A new folder of code must take its place in the table.
TEST(Layout, EveryFolderOfCodeHasAFloor) {
    const std::filesystem::path root = testsupport::sourceDirectory();
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_directory() || name.starts_with('.') ||
            std::filesystem::exists(entry.path() / "CMakeCache.txt") ||
            std::find(kOutsideTheFloors.begin(), kOutsideTheFloors.end(), name) !=
                kOutsideTheFloors.end()) {
            continue;
        }
        bool hasCode = false;
        for (const auto& file : std::filesystem::recursive_directory_iterator(entry.path())) {
            const auto extension = file.path().extension();
            hasCode = hasCode || extension == ".h" || extension == ".cpp";
        }
        if (hasCode) {
            EXPECT_NE(floorOf(name), nullptr) << name << "/ has no floor in the table";
        }
    }
}

TEST(Layout, EveryIncludePointsDownTheFloors) {
    const std::filesystem::path root = testsupport::sourceDirectory();
    int filesChecked = 0;
    for (const Floor& floor : kFloors) {
        filesChecked += scanIncludes(root / floor.folder, [&](const std::filesystem::path& path,
                                                              int line, std::string_view included) {
            const auto target = includedFolder(included);
            if (!target || *target == floor.folder) {
                return;
            }
            const bool allowed = std::find(floor.mayInclude.begin(), floor.mayInclude.end(),
                                           *target) != floor.mayInclude.end();
            EXPECT_TRUE(allowed) << std::filesystem::relative(path, root).string() << ":" << line
                                 << ": " << floor.folder << "/ may not include " << included;
        });
    }
    EXPECT_GT(filesChecked, 100);
}

// The subsystems a folder's library links (sg2_add_subsystem ... DEPENDS ...) stand below it too,
// so the link graph has no cycle either.
TEST(Layout, LibrariesLinkOnlyDownTheFloors) {
    const std::filesystem::path root = testsupport::sourceDirectory();
    int librariesChecked = 0;
    for (const Floor& floor : kFloors) {
        const std::string cmake =
            testsupport::fileContents((root / floor.folder / "CMakeLists.txt").string());
        const std::size_t call = cmake.find("sg2_add_subsystem(");
        if (call == std::string::npos) {
            continue;
        }
        ++librariesChecked;
        std::istringstream words(cmake.substr(call, cmake.find(')', call) - call));
        std::string word;
        bool inDepends = false;
        while (words >> word) {
            if (word == "DEPENDS" || word == "EXCLUDE") {
                inDepends = word == "DEPENDS";
                continue;
            }
            if (inDepends) {
                const bool allowed = std::find(floor.mayInclude.begin(), floor.mayInclude.end(),
                                               word) != floor.mayInclude.end();
                EXPECT_TRUE(allowed) << floor.folder << "/CMakeLists.txt links " << word
                                     << ", which is not below it";
            }
        }
    }
    EXPECT_GT(librariesChecked, 10);
}

TEST(Layout, NoLibraryHeadersOutsideThePlatformLayer) {
    const std::filesystem::path root = testsupport::sourceDirectory();
    int filesChecked = 0;
    std::vector<std::string_view> folders;
    for (const Floor& floor : kFloors) {
        if (floor.folder != "platform") {
            folders.push_back(floor.folder);
        }
    }
    folders.insert(folders.end(), {"tests", "bench"});
    for (std::string_view folder : folders) {
        filesChecked += scanIncludes(root / folder, [&](const std::filesystem::path& path, int line,
                                                        std::string_view included) {
            EXPECT_FALSE(isLibraryHeader(included))
                << std::filesystem::relative(path, root).string() << ":" << line << ": "
                << included;
        });
    }
    EXPECT_GT(filesChecked, 100);
}

}  // namespace
