#include "content/data_file.h"

#include <span>

#include "archive/archive_writer.h"
#include "core/bytes.h"

namespace content {

Bytes buildDataFile(const std::vector<Bytes>& entries) {
    return archive::buildArchive(std::span<const std::vector<std::uint8_t>>(entries));
}

Bytes logoAsBmp(const Bytes& rgb) {
    const int rowBytes = (kLogoWidth * 3 + 3) & ~3;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(rowBytes) * kLogoHeight;
    const std::uint32_t fileBytes = 54 + pixelBytes;
    Bytes out;
    auto u16 = [&](std::uint16_t v) { core::appendLittle16(out, v); };
    auto u32 = [&](std::uint32_t v) { core::appendLittle32(out, v); };
    out.push_back('B');
    out.push_back('M');
    u32(fileBytes);
    u32(0);
    u32(54);
    u32(40);
    u32(kLogoWidth);
    u32(kLogoHeight);
    u16(1);
    u16(24);
    u32(0);
    u32(pixelBytes);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (int y = kLogoHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kLogoWidth; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * kLogoWidth + x) * 3;
            out.push_back(rgb[i + 2]);
            out.push_back(rgb[i + 1]);
            out.push_back(rgb[i]);
        }
        for (int pad = kLogoWidth * 3; pad < rowBytes; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

}  // namespace content
