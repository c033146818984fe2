#pragma once
// The process-wide picture, palette and resource buffers that the archive fills and every
// effect reads. One owner: this file. Heap work buffers live from allocateWorkBuffers to
// releaseWorkBuffers; the resource slots are static and zero at start.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace archive {

inline constexpr std::size_t kPictureBytes = 64000;
inline constexpr std::size_t kPaletteBytes = 768;

inline constexpr std::size_t kWork400Bytes = 400000;
inline constexpr std::size_t kWorkABCBytes = 240000;
inline constexpr std::size_t kWork128Bytes = 128000;

// Heap work buffers; null until allocateWorkBuffers.
extern std::uint8_t* work400;
extern std::uint8_t* workA;
extern std::uint8_t* workB;
extern std::uint8_t* workC;
extern std::uint8_t* work128;
extern std::uint8_t* paletteA;
extern std::uint8_t* paletteB;
extern std::uint8_t* paletteC;

// Static resource slots, one per archive entry, sized to the capacity the load list gives.
extern std::array<std::uint8_t, 131072> resource00;
extern std::array<std::uint8_t, 65536> resource02;
extern std::array<std::uint8_t, 65536> resource03;
extern std::array<std::uint8_t, 65536> resource04;
extern std::array<std::uint8_t, 131072> resource05;
extern std::array<std::uint8_t, 65536> resource06;
extern std::array<std::uint8_t, 64000> resource07;
extern std::array<std::uint8_t, 65536> resource08;
extern std::array<std::uint8_t, 65536> resource09;
extern std::array<std::uint8_t, 65536> resource10;
extern std::array<std::uint8_t, 65536> resource11;
extern std::array<std::uint8_t, 65536> resource12;
extern std::array<std::uint8_t, 65536> resource13;
extern std::array<std::uint8_t, 65536> resource14;
extern std::array<std::uint8_t, 65536> resource15;
extern std::array<std::uint8_t, 65536> resource16;
extern std::array<std::uint8_t, 65536> resource17;

// The title strip is loaded twice into two adjacent slots so a 200-row window starting
// anywhere in the first copy runs on into the second without a seam.
struct TitleStripSlots {
    std::array<std::uint8_t, 32000> first;
    std::array<std::uint8_t, 32000> second;
};
static_assert(offsetof(TitleStripSlots, second) == 32000, "strip copies must be adjacent");
extern TitleStripSlots titleStrip;
inline std::uint8_t* const resource18a = titleStrip.first.data();
inline std::uint8_t* const resource18b = titleStrip.second.data();

extern std::array<std::uint8_t, 19320> resource19;
extern std::array<std::uint8_t, 64000> resource20;
extern std::array<std::uint8_t, 64000> resource21;
extern std::array<std::uint8_t, 30000> resource22;
extern std::array<std::uint8_t, 15000> resource23;
extern std::array<std::uint8_t, 64000> resource24;
extern std::array<std::uint8_t, 64000> resource25;
extern std::array<std::uint8_t, 9600> resource26;
extern std::array<std::uint8_t, 9600> resource27;
extern std::array<std::uint8_t, 9600> resource28;
extern std::array<std::uint8_t, 64768> resource29;
extern std::array<std::uint8_t, 64000> resource31;
extern std::array<std::uint8_t, 65536> resource32;
extern std::array<std::uint8_t, 65536> resource33;
extern std::array<std::uint8_t, 64000> resource34;
extern std::array<std::uint8_t, 64000> resource35;

// Allocates and clears the heap work buffers (running the two effect set-ups in between);
// on failure prints the out-of-memory line and ends the process.
void allocateWorkBuffers();
// Frees the heap work buffers in their fixed order; safe on buffers never allocated.
void releaseWorkBuffers();

}  // namespace archive
