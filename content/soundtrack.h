#pragma once
// The demo's soundtrack, sg2.it: an original piece in A minor at speed 6 / tempo 125
// (7.68 s per 64-row pattern), composed against the show. Orders 0..31 play one after
// another (one pattern each); the last one fades out with the last scene and breaks off a
// few rows after the show has closed at its row 36, so players stop with the show.
#include <cstdint>
#include <string>
#include <vector>

#include "content/it_writer.h"

namespace content {

inline constexpr int kSoundtrackOrders = 32;
// The last order's row on which the song breaks off, ending it in every player.
inline constexpr int kSoundtrackLastRow = 41;
inline constexpr int kSoundtrackRows = 64;
inline constexpr std::uint8_t kSoundtrackSpeed = 6;    // ticks a row
inline constexpr std::uint8_t kSoundtrackTempo = 125;  // a tick lasts 2.5 / tempo seconds
inline constexpr double kSoundtrackRowSeconds = kSoundtrackSpeed * 2.5 / kSoundtrackTempo;

// The whole module, before it is written.
ItModule soundtrackModule();

// The .it file's bytes; identical on every machine and every run.
std::vector<std::uint8_t> buildSoundtrack();

// The channels' names ("kick", "bass", ...), in channel order.
const std::vector<std::string>& soundtrackChannelNames();

// The module with only the given channels' notes left (every effect stays, so the global
// fades still steer what remains): for measuring each part's share of the mix.
ItModule soundtrackModuleOnly(const std::vector<int>& channels);

// Rows of `order` on which the picture reacts (flashes, cuts, stamps, jumps): the music
// puts an accent on each of them.
std::vector<int> showCueRows(int order);

// Orders at which a new scene begins; the music changes section there.
const std::vector<int>& showSceneStarts();

}  // namespace content
