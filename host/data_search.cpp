#include "host/data_search.h"

#include <algorithm>
#include <cstdlib>

namespace host {

namespace {

constexpr const char* kDataFiles[] = {"sg2.dat", "sg2.it"};
constexpr const char* kDefaultDataDirs = "/usr/local/share:/usr/share";

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

DataSearchEnvironment processEnvironment() {
    DataSearchEnvironment environment;
    std::error_code failure;
    const std::filesystem::path executable =
        std::filesystem::read_symlink("/proc/self/exe", failure);
    if (!failure) {
        environment.executableDirectory = executable.parent_path();
    }
    environment.xdgDataHome = environmentValue("XDG_DATA_HOME");
    environment.xdgDataDirs = environmentValue("XDG_DATA_DIRS");
    environment.home = environmentValue("HOME");
    return environment;
}

std::vector<std::filesystem::path> dataSearchPlaces(const DataSearchEnvironment& environment) {
    std::vector<std::filesystem::path> places;
    auto add = [&places](const std::filesystem::path& place) {
        const std::filesystem::path normal = place.lexically_normal();
        if (std::find(places.begin(), places.end(), normal) == places.end()) {
            places.push_back(normal);
        }
    };
    add(".");
    if (!environment.executableDirectory.empty()) {
        add(environment.executableDirectory);
        add(environment.executableDirectory / ".." / "share" / "stormglass2");
    }
    // XDG variables hold absolute paths only; anything else is ignored.
    const std::filesystem::path dataHome = environment.xdgDataHome;
    const std::filesystem::path home = environment.home;
    if (dataHome.is_absolute()) {
        add(dataHome / "stormglass2");
    } else if (home.is_absolute()) {
        add(home / ".local" / "share" / "stormglass2");
    }
    std::string dirs = environment.xdgDataDirs;
    if (dirs.find_first_not_of(':') == std::string::npos) {
        dirs = kDefaultDataDirs;
    }
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::filesystem::path dir = dirs.substr(start, end - start);
        if (dir.is_absolute()) {
            add(dir / "stormglass2");
        }
        start = end + 1;
    }
    return places;
}

std::optional<std::filesystem::path> findDataDirectory(
    const std::vector<std::filesystem::path>& places) {
    for (const std::filesystem::path& place : places) {
        const bool both =
            std::all_of(std::begin(kDataFiles), std::end(kDataFiles), [&place](const char* name) {
                std::error_code failure;
                return std::filesystem::is_regular_file(place / name, failure);
            });
        if (both) {
            return place;
        }
    }
    return std::nullopt;
}

std::optional<std::string> missingDataFileLine(const std::filesystem::path& directory) {
    const std::filesystem::path file = directory / kDataFiles[0];
    std::error_code failure;
    if (std::filesystem::exists(file, failure)) {
        return std::nullopt;
    }
    return file.string() + ": not found; looked in " + directory.string() + " (given with --data)";
}

std::string dataNotFoundMessage(const std::vector<std::filesystem::path>& places) {
    std::string message = "stormglass2: cannot find sg2.dat and sg2.it together; looked in ";
    for (std::size_t i = 0; i < places.size(); ++i) {
        message += (i == 0 ? "" : ", ") + places[i].string();
    }
    return message + " (give the directory with --data DIR)";
}

}  // namespace host
