#include "host/recording.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "core/console.h"
#include "core/cues.h"
#include "core/output.h"
#include "core/process.h"
#include "image/png.h"
#include "sequencer/scenes.h"

namespace host {

namespace {

constexpr std::uint32_t kVideoRate = 60;

struct Video {
    std::FILE* encoder = nullptr;
    std::string path;
    std::string silentPath;
    std::string wavPath;
    std::uint64_t framesWritten = 0;
    RgbFrame screen{};
};
Video video;

bool haveFfmpeg() {
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

// Writes the current screen for every video frame due before `milliseconds`.
void writeFramesUntil(std::uint32_t milliseconds) {
    while (video.framesWritten * 1000 < static_cast<std::uint64_t>(milliseconds) * kVideoRate) {
        if (std::fwrite(video.screen.data(), 1, video.screen.size(), video.encoder) !=
            video.screen.size()) {
            core::errorLine(video.path + ": ffmpeg stopped taking pictures (see its message)");
            core::exitProcess(1);
        }
        ++video.framesWritten;
        if (video.framesWritten % (kVideoRate * 5) == 0) {
            core::showProgress("video: " + std::to_string(video.framesWritten / kVideoRate) +
                               " s encoded");
        }
    }
}

}  // namespace

bool startVideo(const std::string& path, const std::string& wavPath, std::string& error) {
    if (!haveFfmpeg()) {
        error = "the ffmpeg program is not installed (Debian package ffmpeg)";
        return false;
    }
    video.path = path;
    video.wavPath = wavPath;
    video.silentPath = path + ".picture.mkv";
    // Nearest-neighbour scaling to 4:3 keeps the pixels sharp.
    const std::string command =
        "ffmpeg -loglevel error -y -f rawvideo -pixel_format rgb24 -video_size 320x200 "
        "-framerate 60 -i - -vf scale=640:480:flags=neighbor -c:v libx264 -preset ultrafast "
        "-crf 23 -pix_fmt yuv420p " +
        shellQuoted(video.silentPath);
    video.encoder = popen(command.c_str(), "w");
    if (video.encoder == nullptr) {
        error = "cannot start ffmpeg";
        return false;
    }
    return true;
}

void videoScreenChanged(const RgbFrame& screen, std::uint32_t milliseconds) {
    if (video.encoder == nullptr) {
        return;
    }
    writeFramesUntil(milliseconds);
    video.screen = screen;
}

bool finishVideo(std::uint32_t milliseconds, std::string& error) {
    if (video.encoder == nullptr) {
        return true;
    }
    writeFramesUntil(milliseconds + 1000 / kVideoRate);
    const int encoded = pclose(video.encoder);
    video.encoder = nullptr;
    core::showProgress("video: " + std::to_string(video.framesWritten) +
                       " frames encoded, joining the soundtrack\n");
    std::error_code ignored;
    if (encoded != 0) {
        std::filesystem::remove(video.silentPath, ignored);
        error = "ffmpeg failed while encoding the picture";
        return false;
    }
    // ffmpeg writes the joined file under the output's temporary name (same extension).
    core::OutputFile joined;
    if (!joined.open(video.path)) {
        std::filesystem::remove(video.silentPath, ignored);
        error = joined.error();
        return false;
    }
    const std::string join = "ffmpeg -loglevel error -y -i " + shellQuoted(video.silentPath) +
                             " -i " + shellQuoted(video.wavPath) +
                             " -c:v copy -c:a aac -b:a 192k -shortest " +
                             shellQuoted(joined.temporaryPath());
    const bool ok = std::system(join.c_str()) == 0;
    std::filesystem::remove(video.silentPath, ignored);
    if (!ok) {
        error = "ffmpeg failed while joining picture and sound";
        return false;
    }
    if (!joined.commit()) {
        error = joined.error();
        return false;
    }
    return true;
}

void abandonVideo() {
    if (video.encoder != nullptr) {
        pclose(video.encoder);
        video.encoder = nullptr;
    }
    std::error_code ignored;
    std::filesystem::remove(video.silentPath, ignored);
}

core::SongPosition sceneMiddle(int sceneNumber) {
    const std::int32_t order = core::sceneStartOrder(sceneNumber - 1);
    if (sceneNumber == sequencer::kSceneCount) {
        return {order, sequencer::kLastSceneEndRow / 2};
    }
    const std::int32_t length = core::kSceneLengths[static_cast<std::size_t>(sceneNumber - 1)];
    return length == 2 ? core::SongPosition{order + 1, 0} : core::SongPosition{order, 32};
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
