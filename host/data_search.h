#pragma once
// Where the show's two data files are found when --data is not given: the current directory,
// beside the executable, the executable's ../share/stormglass2, then the XDG data directories.
// Both files always come from one directory.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace host {

// What the search depends on, read once from the process (or made up by tests).
struct DataSearchEnvironment {
    std::filesystem::path executableDirectory;  // empty when it cannot be told
    std::string xdgDataHome;                    // empty when unset
    std::string xdgDataDirs;
    std::string home;
};

DataSearchEnvironment processEnvironment();

// The directories to try, in order, without repeats.
std::vector<std::filesystem::path> dataSearchPlaces(const DataSearchEnvironment& environment);

// The first place holding both sg2.dat and sg2.it as regular files.
std::optional<std::filesystem::path> findDataDirectory(
    const std::vector<std::filesystem::path>& places);

// One line for standard error when the directory given with --data lacks sg2.dat, naming the
// file and the place searched (the data file's own message stays on standard output).
std::optional<std::string> missingDataFileLine(const std::filesystem::path& directory);

// One line for standard error when nothing was found.
std::string dataNotFoundMessage(const std::vector<std::filesystem::path>& places);

}  // namespace host
