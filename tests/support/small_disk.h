#pragma once
// A small tmpfs mounted for one test, to see how outputs behave on a full or read-only disk.
// Mounting needs root (as in CI); elsewhere the test is skipped.
#include <cstddef>
#include <string>

namespace testsupport {

class SmallDisk {
  public:
    // Mounts `bytes` of tmpfs on a fresh directory, read-only when asked; check mounted().
    explicit SmallDisk(std::size_t bytes, bool readOnly = false);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    bool mounted_ = false;
};

}  // namespace testsupport
