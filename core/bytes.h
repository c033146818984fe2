#pragma once
// Numbers stored low byte first (the data file, the module, the BMP and WAV headers, 16-bit
// pixels and the widened height words), read and written the same on any machine.
#include <cstdint>
#include <vector>

namespace core {

constexpr std::uint16_t readLittle16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

constexpr std::uint32_t readLittle32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(readLittle16(at)) |
           static_cast<std::uint32_t>(readLittle16(at + 2)) << 16;
}

constexpr void writeLittle16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void writeLittle32(std::uint8_t* at, std::uint32_t value) {
    writeLittle16(at, static_cast<std::uint16_t>(value));
    writeLittle16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void appendLittle16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.resize(out.size() + 2);
    writeLittle16(out.data() + out.size() - 2, value);
}

inline void appendLittle32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.resize(out.size() + 4);
    writeLittle32(out.data() + out.size() - 4, value);
}

}  // namespace core
