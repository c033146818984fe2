#pragma once
// Writes every picture-like entry as a PNG through the palette it is shown with, plus
// previews of the tables and animations, for people to look at.
#include <string>
#include <vector>

#include "content/entries.h"

namespace content {

// Returns false if a file could not be written.
bool writeEntryPictures(const std::string& directory, const std::vector<Bytes>& entries);

}  // namespace content
