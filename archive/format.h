#pragma once
// The data archive's layout: entry blocks, then a directory of (offset, stored size) records,
// then a trailer of (archive length, directory distance), every number a little-endian
// 32-bit word. Counted in 64 bits so that no sum of them can wrap.
#include <cstdint>

namespace archive {

inline constexpr std::uint64_t kTrailerBytes = 8;
inline constexpr std::uint64_t kDirectoryRecordBytes = 8;
// The largest number a word holds: no entry, offset or archive is larger.
inline constexpr std::uint64_t kLargestWord = 0xFFFFFFFF;

}  // namespace archive
