#pragma once
// Packs the entries into the show's data file and writes the logo as a Windows bitmap.
#include <vector>

#include "content/entries.h"

namespace content {

// Every entry compressed and laid out as the program's archive reader expects.
Bytes buildDataFile(const std::vector<Bytes>& entries);

// A 24-bit bottom-up BMP of the 213 x 133 logo (rgb rows top to bottom).
Bytes logoAsBmp(const Bytes& rgb);

}  // namespace content
