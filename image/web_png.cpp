#include "image/png.h"

namespace image {

// The browser build has no zlib; its page asks for no picture files.
bool writePng(const std::string&, int, int, std::span<const std::uint8_t>, int,
              std::string* error) {
    if (error != nullptr) {
        *error = "cannot be written (no PNG writer in the browser build)";
    }
    return false;
}

}  // namespace image
