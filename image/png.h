#pragma once
// Writes 8-bit RGB pictures as PNG files: frame dumps, snapshots and contact sheets.
#include <cstdint>
#include <span>
#include <string>

namespace image {

// Quick compression for what the program writes while it runs (frames, snapshots, sheets).
inline constexpr int kQuickLevel = 3;

// rgb holds width * height * 3 bytes, rows top to bottom; `level` is zlib's compression level
// (1 fastest .. 9 smallest). The file is complete or absent: false, with the reason in `error`
// ("cannot be written (No space left on device)"), if it could not be written.
bool writePng(const std::string& path, int width, int height, std::span<const std::uint8_t> rgb,
              int level = 9, std::string* error = nullptr);

}  // namespace image
