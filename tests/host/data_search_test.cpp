// Where the data files are looked for: the order of the places with made-up environments, and
// the first place holding both files winning.
#include "host/data_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;
using Places = std::vector<fs::path>;

TEST(DataSearch, OrderIsCurrentExecutableShareDataHomeThenDataDirs) {
    host::DataSearchEnvironment environment;
    environment.executableDirectory = "/opt/sg/bin";
    environment.xdgDataHome = "/x/home";
    environment.xdgDataDirs = "/x/one:/x/two/";
    environment.home = "/home/u";
    EXPECT_EQ(host::dataSearchPlaces(environment),
              (Places{".", "/opt/sg/bin", "/opt/sg/share/stormglass2", "/x/home/stormglass2",
                      "/x/one/stormglass2", "/x/two/stormglass2"}));
}

TEST(DataSearch, DefaultsRelativeEntriesAndRepeats) {
    host::DataSearchEnvironment environment;
    environment.home = "/home/u";
    // Unset XDG variables take their defaults; no executable path skips its two places.
    EXPECT_EQ(host::dataSearchPlaces(environment),
              (Places{".", "/home/u/.local/share/stormglass2", "/usr/local/share/stormglass2",
                      "/usr/share/stormglass2"}));
    // Relative entries are ignored, empty ones skipped, repeats listed once.
    environment.executableDirectory = "/usr/bin";
    environment.xdgDataHome = "relative";
    environment.xdgDataDirs = "::rel:/usr/share:/usr/share/";
    EXPECT_EQ(
        host::dataSearchPlaces(environment),
        (Places{".", "/usr/bin", "/usr/share/stormglass2", "/home/u/.local/share/stormglass2"}));
    environment.home.clear();
    environment.xdgDataDirs.assign(1, ':');  // GCC 12 at -O3 misreads operator=(":")
    EXPECT_EQ(host::dataSearchPlaces(environment),
              (Places{".", "/usr/bin", "/usr/share/stormglass2", "/usr/local/share/stormglass2"}));
}

TEST(DataSearch, FirstPlaceWithBothFilesWins) {
    const fs::path root = testsupport::makeTempDirectory("data_search");
    auto make = [&root](const char* dir, std::initializer_list<const char*> names) {
        fs::create_directories(root / dir);
        for (const char* name : names) {
            std::ofstream(root / dir / name) << "x";
        }
        return root / dir;
    };
    const fs::path onlyDat = make("only_dat", {"sg2.dat"});
    const fs::path dirNamedIt = make("dir_named_it", {"sg2.dat"});
    fs::create_directory(dirNamedIt / "sg2.it");
    const fs::path both = make("both", {"sg2.dat", "sg2.it"});
    const fs::path later = make("later", {"sg2.dat", "sg2.it"});
    EXPECT_EQ(host::findDataDirectory({root / "missing", onlyDat, dirNamedIt, both, later}), both);
    EXPECT_FALSE(host::findDataDirectory({onlyDat, dirNamedIt}).has_value());

    const std::string message = host::dataNotFoundMessage({onlyDat, dirNamedIt});
    EXPECT_NE(message.find(onlyDat.string() + ", " + dirNamedIt.string()), std::string::npos);
    EXPECT_EQ(message.find('\n'), std::string::npos);
    fs::remove_all(root);
}

}  // namespace
