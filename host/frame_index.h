#pragma once
// The frame index of a run: a line for every presented frame with its number, its time in
// milliseconds of the run's clock since the song started, the song position it was made at
// and its scene. With it a capture can be matched to the show frame by frame.
#include <array>
#include <cstdint>
#include <string>

#include "core/output.h"

namespace host {

// The names a --frames directory gets: the index, and frame N's picture.
inline constexpr char kFrameIndexName[] = "frames.csv";
std::string framePictureName(std::uint64_t frame);
// Whether a run keeping every `every`-th frame writes a file called `name` there.
bool writesInFramesDirectory(const std::string& name, int every);

struct IndexedFrame {
    std::uint64_t frame = 0;
    std::uint32_t milliseconds = 0;
    std::int32_t order = 0;
    std::int32_t row = 0;
    int scene = 0;
};

class FrameIndex {
  public:
    // Starts the index at `path` (complete or absent: kept only by commit).
    bool open(const std::string& path, std::string& error);
    void add(const IndexedFrame& frame);
    bool commit(std::string& error);

  private:
    bool flush();
    core::OutputFile file_;
    std::array<char, 1 << 16> buffer_{};
    std::size_t used_ = 0;
    bool open_ = false;
    bool writeFailed_ = false;
};

}  // namespace host
