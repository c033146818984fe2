#pragma once
// Writes 8-bit RGB pictures as PNG files (for the contact sheet and the launcher logo preview).
#include <cstdint>
#include <span>
#include <string>

namespace content {

// rgb holds width * height * 3 bytes, rows top to bottom. Returns false if the file could not
// be written.
bool writePng(const std::string& path, int width, int height, std::span<const std::uint8_t> rgb);

}  // namespace content
