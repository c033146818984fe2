#pragma once
// A check of an Impulse Tracker module's layout before the player sees it. The player accepts a
// cut or damaged file and plays what is left (silence where sample data is missing), so the
// blocks the header points to are checked against the file's length here.
#include <cstdint>
#include <span>
#include <string>

namespace platform {

// Empty when every instrument, sample header, sample's data, pattern and message the header
// names lies inside `bytes`; otherwise what is missing ("sample 3's data (20000 bytes at 1200)
// runs past the end of the file (5000 bytes)"). Files that are not IT modules pass.
std::string findModuleDamage(std::span<const std::uint8_t> bytes);

}  // namespace platform
