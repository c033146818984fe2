#include "archive/buffers.h"

#include <cstdlib>
#include <cstring>

namespace archive {

std::uint8_t* work400 = nullptr;
std::uint8_t* workA = nullptr;
std::uint8_t* workB = nullptr;
std::uint8_t* workC = nullptr;
std::uint8_t* work128 = nullptr;
std::uint8_t* paletteA = nullptr;
std::uint8_t* paletteB = nullptr;
std::uint8_t* paletteC = nullptr;

std::array<std::uint8_t, 131072> resource00{};
std::array<std::uint8_t, 65536> resource02{};
std::array<std::uint8_t, 65536> resource03{};
std::array<std::uint8_t, 65536> resource04{};
std::array<std::uint8_t, 131072> resource05{};
std::array<std::uint8_t, 65536> resource06{};
std::array<std::uint8_t, 64000> resource07{};
std::array<std::uint8_t, 65536> resource08{};
std::array<std::uint8_t, 65536> resource09{};
std::array<std::uint8_t, 65536> resource10{};
std::array<std::uint8_t, 65536> resource11{};
std::array<std::uint8_t, 65536> resource12{};
std::array<std::uint8_t, 65536> resource13{};
std::array<std::uint8_t, 65536> resource14{};
std::array<std::uint8_t, 65536> resource15{};
std::array<std::uint8_t, 65536> resource16{};
std::array<std::uint8_t, 65536> resource17{};
TitleStripSlots titleStrip{};
std::array<std::uint8_t, 19320> resource19{};
std::array<std::uint8_t, 64000> resource20{};
std::array<std::uint8_t, 64000> resource21{};
std::array<std::uint8_t, 30000> resource22{};
std::array<std::uint8_t, 15000> resource23{};
std::array<std::uint8_t, 64000> resource24{};
std::array<std::uint8_t, 64000> resource25{};
std::array<std::uint8_t, 9600> resource26{};
std::array<std::uint8_t, 9600> resource27{};
std::array<std::uint8_t, 9600> resource28{};
std::array<std::uint8_t, 64768> resource29{};
std::array<std::uint8_t, 64000> resource31{};
std::array<std::uint8_t, 65536> resource32{};
std::array<std::uint8_t, 65536> resource33{};
std::array<std::uint8_t, 64000> resource34{};
std::array<std::uint8_t, 64000> resource35{};

// Provisional: plain allocation of the listed sizes. The archive work replaces this with the
// full allocation order, the memory check, the effect set-ups and the out-of-memory path.
void allocateWorkBuffers() {
    auto take = [](std::size_t size) {
        auto* block = static_cast<std::uint8_t*>(std::calloc(size, 1));
        if (block == nullptr) {
            std::abort();
        }
        return block;
    };
    work400 = take(kWork400Bytes);
    workA = take(kWorkABCBytes);
    workB = take(kWorkABCBytes);
    workC = take(kWorkABCBytes);
    work128 = take(kWork128Bytes);
    paletteA = take(kPaletteBytes);
    paletteB = take(kPaletteBytes);
    paletteC = take(kPaletteBytes);
}

void releaseWorkBuffers() {
    for (std::uint8_t** buffer :
         {&work400, &workA, &workB, &workC, &work128, &paletteA, &paletteB, &paletteC}) {
        std::free(*buffer);
        *buffer = nullptr;
    }
}

}  // namespace archive
