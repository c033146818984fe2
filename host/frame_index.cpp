#include "host/frame_index.h"

#include <cinttypes>
#include <cstdio>

namespace host {

namespace {
constexpr char kHeader[] = "frame,time_ms,order,row,scene\n";
constexpr char kPictureFormat[] = "frame_%06" PRIu64 ".png";
}  // namespace

std::string framePictureName(std::uint64_t frame) {
    char name[40];
    std::snprintf(name, sizeof name, kPictureFormat, frame);
    return name;
}

bool writesInFramesDirectory(const std::string& name, int every) {
    if (name == kFrameIndexName) {
        return true;
    }
    std::uint64_t frame = 0;
    int length = 0;
    // A name the format gives back exactly: frame_000123.png, not frame_123.png.
    return std::sscanf(name.c_str(), "frame_%" SCNu64 ".png%n", &frame, &length) == 1 &&
           static_cast<std::size_t>(length) == name.size() && framePictureName(frame) == name &&
           every > 0 && frame % static_cast<std::uint64_t>(every) == 0;
}

bool FrameIndex::open(const std::string& path, std::string& error) {
    if (!file_.open(path)) {
        error = path + ": " + file_.error();
        return false;
    }
    open_ = true;
    writeFailed_ = !file_.write(kHeader, sizeof kHeader - 1);
    used_ = 0;
    return true;
}

bool FrameIndex::flush() {
    if (used_ > 0 && !writeFailed_) {
        writeFailed_ = !file_.write(buffer_.data(), used_);
    }
    used_ = 0;
    return !writeFailed_;
}

void FrameIndex::add(const IndexedFrame& frame) {
    if (!open_) {
        return;
    }
    // A line is at most 20 + 10 + 11 + 11 + 11 characters and its separators.
    constexpr std::size_t kLongestLine = 72;
    if (buffer_.size() - used_ < kLongestLine) {
        flush();
    }
    const int length =
        std::snprintf(buffer_.data() + used_, buffer_.size() - used_,
                      "%" PRIu64 ",%" PRIu32 ",%" PRId32 ",%" PRId32 ",%d\n", frame.frame,
                      frame.milliseconds, frame.order, frame.row, frame.scene);
    used_ += static_cast<std::size_t>(length);
}

bool FrameIndex::commit(std::string& error) {
    if (!open_) {
        return true;
    }
    open_ = false;
    if (!flush() || !file_.commit()) {
        file_.discard();
        error = file_.path() + ": " + (file_.error().empty() ? "cannot be written" : file_.error());
        return false;
    }
    return true;
}

}  // namespace host
