// The launcher and about procedures driven through a scripted dialog: what the lists hold, the
// settings "Run Demo" writes, "Exit", the about box, the templates, and the command line's
// display options.
#include "host/launcher.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "display/modes.h"
#include "display/state.h"
#include "display/surfaces.h"
#include "host/options.h"
#include "platform/video.h"
#include "tests/support/inert_video.h"

namespace {

using platform::DialogEvent;

// A dialog whose lists, check boxes and child runs the test sets up and reads back.
class ScriptedDialog final : public platform::Dialog {
  public:
    std::map<int, std::vector<std::string>> items;
    std::map<int, int> selection;
    std::map<int, bool> checked;
    std::vector<std::string> childCaptions;
    std::function<int(const platform::DialogTemplate&, const platform::DialogProcedure&)> child;
    int result = -100;

    void addListItem(int listId, const std::string& text) override {
        items[listId].push_back(text);
    }
    void selectListItem(int listId, int position) override {
        if (position >= 0 && position < static_cast<int>(items[listId].size())) {
            selection[listId] = position;
        }
    }
    int listSelection(int listId) override {
        const auto found = selection.find(listId);
        return found == selection.end() ? -1 : found->second;
    }
    bool isChecked(int id) override { return checked[id]; }
    void setChecked(int id, bool value) override { checked[id] = value; }
    void end(int value) override { result = value; }
    int runChild(const platform::DialogTemplate& t,
                 const platform::DialogProcedure& procedure) override {
        childCaptions.push_back(t.caption);
        return child ? child(t, procedure) : 0;
    }
};

class NoVideo final : public testsupport::InertVideo {
  public:
    platform::DisplayMode desktop{800, 600, 32, 0xFF00};
    std::vector<platform::DisplayMode> offered;
    bool open() override { return true; }
    bool desktopMode(platform::DisplayMode& mode) override {
        mode = desktop;
        return true;
    }
    std::vector<platform::DisplayMode> modes() override { return offered; }
};

class Launcher : public testing::Test {
  protected:
    // The driver of the mode list's worked example.
    void SetUp() override {
        video.offered = {{640, 480, 8, 0},       {640, 480, 16, 0x7E0},   {640, 480, 32, 0xFF00},
                         {800, 600, 32, 0xFF00}, {1024, 768, 24, 0xFF00}, {320, 200, 32, 0xFF00}};
        display::useVideo(video);
        display::buildModeList();
    }
    void init() { EXPECT_TRUE(procedure(dialog, DialogEvent::Init, 0)); }
    bool press(int id) { return procedure(dialog, DialogEvent::Command, id); }

    NoVideo video;
    host::LaunchSettings settings;
    ScriptedDialog dialog;
    platform::DialogProcedure procedure = host::launcherProcedure(settings);
};

TEST_F(Launcher, InitFillsBothListsInOrderAndSelectsFirst) {
    init();
    const std::vector<std::string> modes = {"320x200x32", "640x480x32", "800x600x32", "1024x768x24",
                                            "640x480x16"};
    EXPECT_EQ(dialog.items[host::kResolutionList], modes);
    const std::vector<std::string> strengths = {"nemelvont", "kicsitelvont", "elegelvont",
                                                "nagyonelvont"};
    EXPECT_EQ(dialog.items[host::kStrengthList], strengths);
    EXPECT_EQ(dialog.listSelection(host::kResolutionList), 0);
    EXPECT_EQ(dialog.listSelection(host::kStrengthList), 0);
}

TEST_F(Launcher, RunDemoUntouchedGivesFirstModeFullScreenNoTrail) {
    settings = {7, 1, 1, 2};
    init();
    EXPECT_TRUE(press(host::kRunDemoButton));
    EXPECT_EQ(dialog.result, 0);
    EXPECT_EQ(settings.modeIndex, 1);
    EXPECT_FALSE(settings.windowed);
    EXPECT_FALSE(settings.dance);
    EXPECT_EQ(settings.trailLevel, 0);
}

TEST_F(Launcher, RunDemoMapsChoices) {
    init();
    dialog.selectListItem(host::kResolutionList, 3);  // 1024x768x24
    dialog.checked[host::kWindowedCheckBox] = true;
    dialog.checked[host::kDanceCheckBox] = true;
    const int expectedLevel[] = {0, 3, 2, 1};
    for (int position = 0; position < 4; ++position) {
        dialog.selectListItem(host::kStrengthList, position);
        press(host::kRunDemoButton);
        EXPECT_EQ(settings.trailLevel, expectedLevel[position]) << position;
    }
    EXPECT_EQ(settings.modeIndex, 4);
    EXPECT_EQ(display::state.modeList[4].width, 1024u);
    EXPECT_TRUE(settings.windowed);
    EXPECT_TRUE(settings.dance);
    // With nothing selected the trail level stays as it was and the mode is the desktop's.
    dialog.selection.clear();
    press(host::kRunDemoButton);
    EXPECT_EQ(settings.trailLevel, 1);
    EXPECT_EQ(settings.modeIndex, 0);
}

TEST_F(Launcher, RememberedChoicesArePreselectedAndRunAsTheyWere) {
    settings = {4, 1, 1, 2};  // 1024x768x24, windowed, dance, medium
    const host::LauncherChoices remembered = host::choicesOf(settings);
    EXPECT_EQ(remembered.mode, "1024x768x24");
    settings = {};
    procedure = host::launcherProcedure(settings, remembered);
    init();
    EXPECT_EQ(dialog.listSelection(host::kResolutionList), 3);
    EXPECT_EQ(dialog.listSelection(host::kStrengthList), 2);
    press(host::kRunDemoButton);
    EXPECT_EQ(settings.modeIndex, 4);
    EXPECT_TRUE(settings.windowed);
    EXPECT_TRUE(settings.dance);
    EXPECT_EQ(settings.trailLevel, 2);

    // A remembered mode this display does not offer leaves the first listed one.
    procedure = host::launcherProcedure(settings, {"1600x1200x32", 0, 0, 1});
    dialog = {};
    init();
    EXPECT_EQ(dialog.listSelection(host::kResolutionList), 0);
    EXPECT_EQ(dialog.listSelection(host::kStrengthList), 3);
    EXPECT_FALSE(dialog.isChecked(host::kWindowedCheckBox));
}

TEST_F(Launcher, EmptyResolutionListRunsOnDesktopRecord) {
    video.offered.clear();
    display::buildModeList();
    init();
    EXPECT_TRUE(dialog.items[host::kResolutionList].empty());
    press(host::kRunDemoButton);
    EXPECT_EQ(settings.modeIndex, 0);
}

TEST_F(Launcher, ExitEndsWithOneAndWritesNothing) {
    settings = {3, 1, 1, 2};
    init();
    dialog.selectListItem(host::kResolutionList, 2);
    EXPECT_TRUE(press(host::kExitButton));
    EXPECT_EQ(dialog.result, 1);
    EXPECT_EQ(settings.modeIndex, 3);
    EXPECT_EQ(settings.trailLevel, 2);
}

TEST_F(Launcher, AboutOpensAnyNumberOfTimesAndClosesOnlyOnOk) {
    init();
    dialog.selectListItem(host::kResolutionList, 2);
    dialog.child = [](const platform::DialogTemplate&, const platform::DialogProcedure& about) {
        ScriptedDialog box;
        EXPECT_TRUE(about(box, DialogEvent::Init, 0));
        EXPECT_FALSE(about(box, DialogEvent::Command, platform::kCommandCancel));
        EXPECT_EQ(box.result, -100);
        EXPECT_TRUE(about(box, DialogEvent::Command, host::kOkButton));
        return box.result;
    };
    EXPECT_TRUE(press(host::kAboutButton));
    EXPECT_TRUE(press(host::kAboutButton));
    EXPECT_EQ(dialog.childCaptions, (std::vector<std::string>{"About", "About"}));
    EXPECT_EQ(dialog.result, -100);  // the launcher stays open
    press(host::kRunDemoButton);
    EXPECT_EQ(settings.modeIndex, 3);
}

TEST_F(Launcher, OtherCommandsAreNotHandled) {
    init();
    for (const int id : {host::kWindowedCheckBox, host::kDanceCheckBox, host::kResolutionList,
                         host::kStrengthList, 0, 3}) {
        EXPECT_FALSE(press(id)) << id;
    }
    EXPECT_EQ(dialog.result, -100);
}

TEST(LauncherTemplates, LauncherControlsInTemplateOrder) {
    const platform::DialogTemplate launcher = host::launcherTemplate();
    EXPECT_EQ(launcher.width, 393);
    EXPECT_EQ(launcher.height, 116);
    EXPECT_EQ(launcher.fontPoints, 8);
    struct Row {
        int id;
        platform::ControlKind kind;
        const char* text;
        int x, y, w, h;
    };
    using K = platform::ControlKind;
    const Row rows[] = {
        {104, K::DropDownList, "", 51, 22, 101, 116},
        {-1, K::GroupBox, "Screentype", 4, 6, 216, 45},
        {1, K::DefaultPushButton, "Run Demo", 151, 57, 68, 50},
        {2, K::PushButton, "Exit", 75, 89, 73, 18},
        {-1, K::StaticText, "Resolution:", 9, 23, 39, 12},
        {-1, K::Picture, "", 226, 9, 160, 100},
        {1001, K::PushButton, "About", 4, 89, 67, 18},
        {1000, K::CheckBox, "Windowed", 162, 23, 51, 12},
        {1002, K::CheckBox, "Dance", 5, 65, 32, 10},
        {105, K::DropDownList, "", 42, 65, 90, 116},
    };
    ASSERT_EQ(launcher.controls.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const platform::DialogControl& c = launcher.controls[i];
        EXPECT_EQ(c.id, rows[i].id) << i;
        EXPECT_EQ(c.kind, rows[i].kind) << i;
        EXPECT_EQ(c.text, rows[i].text) << i;
        EXPECT_EQ((std::vector<int>{c.x, c.y, c.width, c.height}),
                  (std::vector<int>{rows[i].x, rows[i].y, rows[i].w, rows[i].h}))
            << i;
    }
    const platform::DialogImage& logo = launcher.controls[5].image;
    EXPECT_EQ(logo.width, 213);
    EXPECT_EQ(logo.height, 133);
    EXPECT_EQ(logo.rgb.size(), 213u * 133u * 3u);
}

TEST(LauncherTemplates, AboutHasOkAndFourCentredLinesInsideItsFrame) {
    const platform::DialogTemplate about = host::aboutTemplate();
    EXPECT_EQ(about.caption, "About");
    EXPECT_EQ(about.width, 170);
    EXPECT_EQ(about.height, 100);
    ASSERT_EQ(about.controls.size(), 6u);
    EXPECT_EQ(about.controls[0].kind, platform::ControlKind::GroupBox);
    EXPECT_EQ(about.controls[1].id, 1);
    EXPECT_EQ(about.controls[1].text, "Ok");
    EXPECT_EQ((std::vector<int>{about.controls[1].x, about.controls[1].y, about.controls[1].width,
                                about.controls[1].height}),
              (std::vector<int>{60, 77, 50, 18}));
    for (std::size_t i = 2; i < 6; ++i) {
        const platform::DialogControl& line = about.controls[i];
        EXPECT_EQ(line.kind, platform::ControlKind::CentredText);
        EXPECT_FALSE(line.text.empty());
        EXPECT_GE(line.x, 4);
        EXPECT_GE(line.y, 6);
        EXPECT_LE(line.x + line.width, 4 + 162);
        EXPECT_LE(line.y + line.height, 6 + 60);
    }
}

TEST(LauncherTemplates, DialogUnitsAtEightPoints) {
    const platform::DialogUnits units;
    EXPECT_EQ(units.toPixelsX(393), 590);
    EXPECT_EQ(units.toPixelsY(116), 189);
    EXPECT_EQ(units.toPixelsX(4), 6);
    EXPECT_EQ(units.toPixelsY(18), 29);
}

TEST_F(Launcher, CommandLineDisplayOptions) {
    int w = 0;
    int h = 0;
    int d = 0;
    EXPECT_TRUE(host::parseModeText("1024x768x24", w, h, d));
    EXPECT_EQ((std::vector<int>{w, h, d}), (std::vector<int>{1024, 768, 24}));
    for (const char* bad : {"", "640x480", "640x480x", "x480x32", "640x480x32x", "-640x480x32",
                            "640x0x32", "64ox480x32"}) {
        EXPECT_FALSE(host::parseModeText(bad, w, h, d)) << bad;
    }
    EXPECT_EQ(host::findMode(1024, 768, 24), 4);
    EXPECT_EQ(host::findMode(800, 600, 32), 3);  // listed, ahead of the desktop record
    EXPECT_EQ(host::findMode(640, 480, 24), -1);

    // The display options as the command line reads them.
    auto request = [](std::vector<std::string> words) {
        std::string error;
        const auto options = host::parseOptions(words, error);
        EXPECT_TRUE(options) << error;
        return options ? options->display : host::DisplayRequest{};
    };
    EXPECT_FALSE(request({"--headless"}).given());
    EXPECT_TRUE(
        host::applyDisplayOptions(request({"--windowed", "--mode", "1024x768x24"}), settings));
    EXPECT_EQ(settings.modeIndex, 4);
    EXPECT_TRUE(settings.windowed);

    std::string error;
    EXPECT_FALSE(host::parseOptions({"--windowed", "--mode"}, error));  // nothing after --mode
    EXPECT_EQ(error, host::kBadModeLine);

    EXPECT_TRUE(host::applyDisplayOptions(request({"--fullscreen"}), settings));
    EXPECT_EQ(settings.modeIndex, 1);  // the launcher's untouched choice
    EXPECT_FALSE(settings.windowed);

    EXPECT_TRUE(
        host::applyDisplayOptions(request({"--mode", "320x200x32", "--fullscreen"}), settings));
    EXPECT_EQ(settings.modeIndex, 1);
    EXPECT_EQ(display::state.modeList[1].width, 320u);

    const host::DisplayRequest notOffered = request({"--mode", "1600x1200x32"});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(host::applyDisplayOptions(notOffered, settings));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("1600x1200x32"), std::string::npos);
}

}  // namespace
