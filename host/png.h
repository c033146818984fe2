#pragma once
// Writing 8-bit RGB pictures as PNG files, for frame dumps and snapshots.
#include <cstdint>
#include <span>
#include <string>

namespace host {

// Writes width x height RGB triplets; false (with errno-style reason left to the caller)
// when the file cannot be written.
bool writePng(const std::string& path, std::span<const std::uint8_t> rgb, int width, int height);

}  // namespace host
