#pragma once
// The run report: preparation time, and per scene its start and end positions, the frames
// it drew and the frames the screen showed (on the desktop the screen shows the newest frame at
// each refresh, so fewer when frames come faster than the display refreshes), the median and
// 99th percentile of the intervals between frames drawn (on the pacer's clock), its frame work
// times and a hash of every picture it handed over. Written as JSON on every exit path.
#include <cstdint>
#include <string>

namespace host {

// Starts collecting; the report is written to `path` when the process ends.
void startReport(const std::string& path);
// Called by the timeline's hooks.
void reportPreparationDone();
void reportSceneBegan(int sceneNumber);
void reportFrameBegan();
void reportFrameHanded(const std::uint8_t* picture);
// A frame was released by the pacer at `milliseconds` (the pacer's clock).
void reportFrameReleased(std::uint32_t milliseconds);

// A 64-bit hash of one picture folded into a running value; the same bytes give the same
// value on every machine.
std::uint64_t hashPicture(std::uint64_t running, const std::uint8_t* picture);

}  // namespace host
