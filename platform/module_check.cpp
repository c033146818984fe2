#include "platform/module_check.h"

#include <cstring>

#include "core/bytes.h"
#include "core/it_layout.h"

namespace platform {

namespace {

constexpr std::size_t kHeaderBytes = core::kItHeaderBytes;
constexpr std::size_t kInstrumentBytes = core::kItInstrumentBytes;
constexpr std::size_t kOldInstrumentBytes = 0x1F0;
constexpr std::size_t kSampleHeaderBytes = core::kItSampleHeaderBytes;
constexpr std::size_t kPatternHeaderBytes = core::kItPatternHeaderBytes;

struct Reader {
    std::span<const std::uint8_t> bytes;
    std::uint32_t u16(std::size_t at) const { return core::readLittle16(bytes.data() + at); }
    std::uint32_t u32(std::size_t at) const { return core::readLittle32(bytes.data() + at); }
    // The words of [at, at + count) lie inside the file.
    bool holds(std::uint64_t at, std::uint64_t count) const {
        return at <= bytes.size() && count <= bytes.size() - at;
    }
    std::string pastEnd(const std::string& what, std::uint64_t at, std::uint64_t count) const {
        return what + " (" + std::to_string(count) + " bytes at " + std::to_string(at) +
               ") runs past the end of the file (" + std::to_string(bytes.size()) + " bytes)";
    }
};

}  // namespace

std::string findModuleDamage(std::span<const std::uint8_t> bytes) {
    const Reader file{bytes};
    if (bytes.size() < 4 || std::memcmp(bytes.data(), "IMPM", 4) != 0) {
        return {};
    }
    if (!file.holds(0, kHeaderBytes)) {
        return file.pastEnd("the header", 0, kHeaderBytes);
    }
    const std::uint32_t orders = file.u16(0x20);
    const std::uint32_t instruments = file.u16(0x22);
    const std::uint32_t samples = file.u16(0x24);
    const std::uint32_t patterns = file.u16(0x26);
    const std::uint32_t compatibleWith = file.u16(0x2A);
    const std::uint64_t tables = std::uint64_t{orders} + 4ull * (instruments + samples + patterns);
    if (!file.holds(kHeaderBytes, tables)) {
        return file.pastEnd("the order list and offset tables", kHeaderBytes, tables);
    }
    std::size_t offset = kHeaderBytes + orders;
    auto nextOffset = [&] {
        const std::uint32_t value = file.u32(offset);
        offset += 4;
        return value;
    };
    const std::size_t instrumentBytes =
        compatibleWith >= 0x200 ? kInstrumentBytes : kOldInstrumentBytes;
    for (std::uint32_t i = 0; i < instruments; ++i) {
        const std::uint32_t at = nextOffset();
        if (!file.holds(at, instrumentBytes)) {
            return file.pastEnd("instrument " + std::to_string(i + 1), at, instrumentBytes);
        }
    }
    for (std::uint32_t i = 0; i < samples; ++i) {
        const std::uint32_t at = nextOffset();
        const std::string name = "sample " + std::to_string(i + 1);
        if (!file.holds(at, kSampleHeaderBytes)) {
            return file.pastEnd(name + "'s header", at, kSampleHeaderBytes);
        }
        const std::uint32_t flags = bytes[at + 0x12];
        const bool hasData = (flags & 1) != 0;
        const bool compressed = (flags & 8) != 0;
        const std::uint64_t length = file.u32(at + 0x30);
        const std::uint32_t dataAt = file.u32(at + 0x48);
        if (!hasData || length == 0) {
            continue;
        }
        // A compressed sample's size is known only by unpacking it; its start must be inside.
        const std::uint64_t dataBytes =
            compressed ? 1 : length * ((flags & 2) != 0 ? 2 : 1) * ((flags & 4) != 0 ? 2 : 1);
        if (!file.holds(dataAt, dataBytes)) {
            return file.pastEnd(name + "'s data", dataAt, dataBytes);
        }
    }
    for (std::uint32_t i = 0; i < patterns; ++i) {
        const std::uint32_t at = nextOffset();
        if (at == 0) {
            continue;  // an empty pattern is stored as no pattern
        }
        const std::string name = "pattern " + std::to_string(i);
        if (!file.holds(at, kPatternHeaderBytes)) {
            return file.pastEnd(name + "'s header", at, kPatternHeaderBytes);
        }
        const std::uint64_t packed = file.u16(at);
        if (!file.holds(at + kPatternHeaderBytes, packed)) {
            return file.pastEnd(name, at + kPatternHeaderBytes, packed);
        }
    }
    if ((file.u16(0x2E) & 1) != 0) {
        const std::uint64_t length = file.u16(0x36);
        const std::uint32_t at = file.u32(0x38);
        if (!file.holds(at, length)) {
            return file.pastEnd("the song message", at, length);
        }
    }
    return {};
}

}  // namespace platform
