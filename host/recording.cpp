#include "host/recording.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "core/cues.h"
#include "image/png.h"
#include "sequencer/scenes.h"

namespace host {

core::SongPosition sceneMiddle(int sceneNumber) {
    const std::int32_t order = core::sceneStartOrder(sceneNumber - 1);
    if (sceneNumber == sequencer::kSceneCount) {
        return {order, sequencer::kLastSceneEndRow / 2};
    }
    const std::int32_t length = core::kSceneLengths[static_cast<std::size_t>(sceneNumber - 1)];
    return length == 2 ? core::SongPosition{order + 1, 0} : core::SongPosition{order, 32};
}

core::SongPosition runEnd(const std::optional<core::SongPosition>& quitAt) {
    const core::SongPosition showEnd{sceneMiddle(sequencer::kSceneCount).order,
                                     sequencer::kLastSceneEndRow};
    return quitAt && core::reached(*quitAt, showEnd) ? *quitAt : showEnd;
}

double songProgress(core::SongPosition position, core::SongPosition end) {
    const double total = end.order * 64.0 + end.row;
    return total > 0 ? std::clamp((position.order * 64.0 + position.row) / total, 0.0, 1.0) : 1.0;
}

namespace {

constexpr int kColumns = 7;
constexpr int kRows = 3;
constexpr int kGap = 4;
constexpr int kSheetWidth = kColumns * (320 + kGap) + kGap;
constexpr int kSheetHeight = kRows * (200 + kGap) + kGap;
std::array<RgbFrame, sequencer::kSceneCount> tiles{};
std::array<bool, sequencer::kSceneCount> tileKept{};

// 3x5 digits, one row of three bits per entry, for the scene numbers on the sheet.
constexpr std::array<std::array<std::uint8_t, 5>, 10> kDigits = {{{7, 5, 5, 5, 7},
                                                                  {2, 6, 2, 2, 7},
                                                                  {7, 1, 7, 4, 7},
                                                                  {7, 1, 7, 1, 7},
                                                                  {5, 5, 7, 1, 1},
                                                                  {7, 4, 7, 1, 7},
                                                                  {7, 4, 7, 5, 7},
                                                                  {7, 1, 1, 1, 1},
                                                                  {7, 5, 7, 5, 7},
                                                                  {7, 5, 7, 1, 7}}};

void drawNumber(std::vector<std::uint8_t>& sheet, int left, int top, int number) {
    const std::string text = std::to_string(number);
    constexpr int scale = 3;
    // A dark plate behind the digits keeps them readable on any picture.
    const int plateWidth = static_cast<int>(text.size()) * 4 * scale + scale;
    for (int y = top; y < top + 7 * scale; ++y) {
        for (int x = left; x < left + plateWidth; ++x) {
            std::uint8_t* p = &sheet[(static_cast<std::size_t>(y) * kSheetWidth + x) * 3];
            p[0] = p[1] = p[2] = 16;
        }
    }
    for (std::size_t d = 0; d < text.size(); ++d) {
        const auto& glyph = kDigits[static_cast<std::size_t>(text[d] - '0')];
        for (int gy = 0; gy < 5; ++gy) {
            for (int gx = 0; gx < 3; ++gx) {
                if (((glyph[static_cast<std::size_t>(gy)] >> (2 - gx)) & 1) == 0) {
                    continue;
                }
                for (int sy = 0; sy < scale; ++sy) {
                    for (int sx = 0; sx < scale; ++sx) {
                        const int x =
                            left + scale + static_cast<int>(d) * 4 * scale + gx * scale + sx;
                        const int y = top + scale + gy * scale + sy;
                        std::uint8_t* p =
                            &sheet[(static_cast<std::size_t>(y) * kSheetWidth + x) * 3];
                        p[0] = 255;
                        p[1] = 230;
                        p[2] = 120;
                    }
                }
            }
        }
    }
}

}  // namespace

void keepContactTile(int sceneNumber, const RgbFrame& screen) {
    tiles[static_cast<std::size_t>(sceneNumber - 1)] = screen;
    tileKept[static_cast<std::size_t>(sceneNumber - 1)] = true;
}

bool writeContactSheet(const std::string& path, std::string& error) {
    std::vector<std::uint8_t> sheet(static_cast<std::size_t>(kSheetWidth) * kSheetHeight * 3, 40);
    for (int scene = 0; scene < sequencer::kSceneCount; ++scene) {
        const int left = kGap + (scene % kColumns) * (320 + kGap);
        const int top = kGap + (scene / kColumns) * (200 + kGap);
        if (tileKept[static_cast<std::size_t>(scene)]) {
            for (int y = 0; y < 200; ++y) {
                std::copy_n(
                    &tiles[static_cast<std::size_t>(scene)][static_cast<std::size_t>(y) * 320 * 3],
                    320 * 3, &sheet[(static_cast<std::size_t>(top + y) * kSheetWidth + left) * 3]);
            }
        }
        drawNumber(sheet, left + 4, top + 4, scene + 1);
    }
    return image::writePng(path, kSheetWidth, kSheetHeight, sheet, image::kQuickLevel, &error);
}

}  // namespace host
