#pragma once
// Test-only: what the module player reads from a module's bytes, in plain types. The tests of
// the module writer use it to check a written song through an independent reader without
// seeing the player library. It is built into a library of its own (sg2_module_info) that only
// the tests link; the program does not contain it.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ModuleInfo {
    std::string title;
    std::vector<std::int32_t> orderPatterns;  // the pattern each order plays
    std::vector<std::int32_t> patternRows;    // rows of each pattern
    std::vector<std::string> sampleNames;
    std::vector<std::string> instrumentNames;
    double durationSeconds = 0.0;  // the song played once, as the player times it
};

// One pattern cell as the player prints it: "C-5", "01", "A", "03".
struct ModuleCellText {
    std::string note;
    std::string instrument;
    std::string effect;
    std::string parameter;
};

// Reads `bytes` as the player would; false with `error` set when it refuses them.
bool readModuleInfo(const std::vector<std::uint8_t>& bytes, ModuleInfo& info, std::string& error);
// The cell at (pattern, row, channel) as the player reads it; all fields empty when the bytes
// are refused or the cell does not exist.
ModuleCellText readModuleCell(const std::vector<std::uint8_t>& bytes, std::int32_t pattern,
                              std::int32_t row, std::int32_t channel);

}  // namespace platform
