#pragma once
// The resource store: loading the data file's entries into the ground floor's resource slots
// and palettes, and the start-up load list that fills every one of them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace store {

inline constexpr const char* kDefaultDataFile = "sg2.dat";
inline constexpr const char* kMissingDataFileMessage =
    "DEMO_INIT: OVERLAY NOT FOUND. TERMINATING... \n";

// The data file every later load reads (the --data option); "sg2.dat" until set.
void setDataFilePath(std::string path);

// Opens the data file, finds entry index through the trailer and directory, reads its stored
// block and decodes it into destination (capacity bytes), then closes the file again; true when
// the entry was loaded. A missing file prints the overlay message and returns false; any other
// problem (not a regular file, short read, bad distance, index outside the directory, an entry
// too large for capacity or shorter than the `needs` bytes its reader takes, a cut stream)
// prints one line naming the file and the problem on standard error and returns false. The
// caller ends the run with status 1.
bool loadEntry(std::int32_t index, std::uint8_t* destination, std::size_t capacity,
               std::size_t needs = 0);

struct StartupLoad {
    std::int32_t entry;
    std::uint8_t* destination;
    std::size_t capacity;
    std::size_t needs;  // what the slot's readers take: a shorter entry is a damaged one
};
inline constexpr std::size_t kStartupLoadCount = 37;

// The start-up load list in its order: entries 0 to 35, entry 18 twice into its two adjacent
// slots. The palettes are heap buffers, so the list is built after allocateWorkBuffers.
std::array<StartupLoad, kStartupLoadCount> startupLoadList();

// Loads entry 17 again into sourcePage and turns its first 64000 bytes into 64000 signed 16-bit
// words in warpHeights: word i = -4 x byte i (0..-1020). Prints nothing of its own; false when the
// load failed (after loadEntry's line).
bool loadWarpHeights();

}  // namespace store
