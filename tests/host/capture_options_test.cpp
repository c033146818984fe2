// Video captures on the command line: the kind by extension, the upload size, and the end of
// the run that the progress counts toward.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/capture.h"
#include "host/options.h"
#include "host/recording.h"

namespace {

std::optional<host::Options> parse(std::vector<std::string> arguments, std::string& error) {
    return host::parseOptions(arguments, error);
}

TEST(VideoOptions, TheExtensionPicksTheKindInAnyCase) {
    EXPECT_EQ(host::videoKindFor("show.mkv"), host::VideoKind::Master);
    EXPECT_EQ(host::videoKindFor("dir.mp4/SHOW.MKV"), host::VideoKind::Master);
    EXPECT_EQ(host::videoKindFor("show.Mp4"), host::VideoKind::Upload);
    EXPECT_FALSE(host::videoKindFor("show.mkv.avi"));
    EXPECT_FALSE(host::videoKindFor("mkv"));
    EXPECT_FALSE(host::videoKindFor(""));
}

TEST(VideoOptions, SizesAreEvenAndOnlyForTheUploadCopy) {
    std::string error;
    const auto sized = parse({"--video", "a.mp4", "--video-size", "3200x2400"}, error);
    ASSERT_TRUE(sized) << error;
    EXPECT_TRUE(sized->headless);
    ASSERT_TRUE(sized->videoSize);
    EXPECT_EQ(sized->videoSize->width, 3200);
    EXPECT_EQ(sized->videoSize->height, 2400);
    const auto plain = parse({"--video", "a.mp4"}, error);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->videoSize);  // the default, 1600x1200, is the capture's own

    for (const char* bad : {"1601x1200", "1600x", "x1200", "1600x1200x2", "1600*1200", "14x14",
                            "8194x4000", "-2x4", ""}) {
        error.clear();
        EXPECT_FALSE(parse({"--video", "a.mp4", "--video-size", bad}, error)) << bad;
        EXPECT_NE(error.find("--video-size"), std::string::npos) << bad;
    }
    EXPECT_FALSE(parse({"--video-size", "640x400", "--video", "a.mkv"}, error));
    EXPECT_FALSE(parse({"--video-size", "640x400"}, error));
    EXPECT_FALSE(parse({"--video", "a.webm"}, error));
    EXPECT_NE(error.find("a.webm"), std::string::npos);
}

TEST(VideoOptions, ProgressCountsTowardAnEarlierQuitOrTheShowsEnd) {
    const core::SongPosition showEnd = host::runEnd(std::nullopt);
    EXPECT_GT(showEnd.order, 20);
    const core::SongPosition early = host::runEnd(core::SongPosition{2, 0});
    EXPECT_EQ(early.order, 2);
    EXPECT_EQ(early.row, 0);
    const core::SongPosition late = host::runEnd(core::SongPosition{99, 0});
    EXPECT_EQ(late.order, showEnd.order);
    EXPECT_EQ(late.row, showEnd.row);

    EXPECT_DOUBLE_EQ(host::songProgress({1, 0}, early), 0.5);
    EXPECT_DOUBLE_EQ(host::songProgress({0, 0}, early), 0.0);
    EXPECT_DOUBLE_EQ(host::songProgress({3, 10}, early), 1.0);  // held at the end
}

}  // namespace
