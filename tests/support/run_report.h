#pragma once
// Reading the program's --stats report back in tests.
#include <string>
#include <vector>

namespace testsupport {

struct SceneReport {
    int scene = 0;
    int startOrder = 0;
    int startRow = 0;
    int endOrder = 0;
    int endRow = 0;
    int frames = 0;
    std::string hash;
    std::string screenHash;  // the display frame with the palette in force
};

struct RunReport {
    int dots = -1;
    int exitStatus = -1;
    std::vector<SceneReport> scenes;
};

// Reads the report at `path`; fields that are missing keep their defaults.
RunReport readRunReport(const std::string& path);

}  // namespace testsupport
