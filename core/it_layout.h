#pragma once
// Byte sizes of the fixed records of an Impulse Tracker module: one definition for the writer
// that makes the soundtrack and the check that reads a replaced one.
#include <cstddef>

namespace core {

inline constexpr std::size_t kItHeaderBytes = 0xC0;
inline constexpr std::size_t kItInstrumentBytes = 554;
inline constexpr std::size_t kItSampleHeaderBytes = 0x50;
inline constexpr std::size_t kItPatternHeaderBytes = 8;

}  // namespace core
