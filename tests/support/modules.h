#pragma once
// Small modules with known timing for tests of the music layer and the timeline.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct ModulePlan {
    int orders = 33;  // patterns 0..orders-1 played once each, in order
    int rows = 64;    // rows per pattern
    int speed = 6;    // ticks per row
    int tempo = 125;  // beats per minute
    // Optional per-pattern speed (Axx) and tempo (Txx) set on the pattern's row 0.
    std::vector<int> patternSpeed;
    std::vector<int> patternTempo;
};

std::vector<std::uint8_t> buildModule(const ModulePlan& plan);
// Writes bytes to a file; aborts the test program when it cannot.
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace testsupport
