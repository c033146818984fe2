#pragma once
// A staging area in plain memory for the displays that have no surface of their own (headless,
// the browser page). It is as large as the window asked for, at least the picture, as a surface
// would be: a pitch wider than the picture's exercises the converters' line skip.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "core/picture.h"
#include "platform/video.h"

namespace platform {

class MemoryStaging {
  public:
    void allocate(const SurfaceRequest& request, int bitsPerPixel) {
        const int width = std::max(request.width, core::kPictureWidth);
        const int height = std::max(request.height, core::kPictureHeight);
        pitch_ = width * ((bitsPerPixel + 7) / 8);
        bytes_.assign(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height), 0);
        ready_ = true;
    }

    // False before allocate and after release.
    bool lock(LockedSurface& surface) {
        if (!ready_) {
            return false;
        }
        surface.pixels = bytes_.data();
        surface.pitch = pitch_;
        return true;
    }

    void release() {
        ready_ = false;
        bytes_.clear();
        bytes_.shrink_to_fit();
    }

    bool ready() const { return ready_; }
    const std::uint8_t* row(int y) const {
        return bytes_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch_);
    }
    int pitch() const { return pitch_; }
    // The rows that hold the picture.
    std::span<const std::uint8_t> picture() const {
        return {bytes_.data(), static_cast<std::size_t>(pitch_) * core::kPictureHeight};
    }

  private:
    std::vector<std::uint8_t> bytes_;
    int pitch_ = 0;
    bool ready_ = false;
};

}  // namespace platform
