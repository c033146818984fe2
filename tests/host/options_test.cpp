// The command line: what each option sets, what it implies, and the one-line refusals.
#include "host/options.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/song.h"
#include "host/launcher.h"
#include "tests/support/run_program.h"

namespace {

struct Parsed {
    std::optional<host::Options> options;
    std::string error;
    std::string printed;  // what parsing itself wrote to standard error
};

Parsed parse(std::vector<std::string> arguments) {
    Parsed result;
    testing::internal::CaptureStderr();
    result.options = host::parseOptions(arguments, result.error);
    result.printed = testing::internal::GetCapturedStderr();
    return result;
}

// The option names in `text`: words that start with one or two dashes and a letter, after a
// blank, a quote or the start of a line. A plain scan rather than std::regex, which GCC 12 warns
// about (falsely) in the sanitizer build.
std::set<std::string> optionsIn(const std::string& text) {
    auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
    std::set<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool starts =
            i == 0 || std::string_view(" \t\n`'\"").find(text[i - 1]) != std::string_view::npos;
        if (!starts || text[i] != '-') {
            continue;
        }
        std::size_t end = i + (i + 1 < text.size() && text[i + 1] == '-' ? 2 : 1);
        if (end >= text.size() || !lower(text[end])) {
            continue;
        }
        while (end < text.size() && (lower(text[end]) || text[end] == '-')) {
            ++end;
        }
        found.insert(text.substr(i, end - i));
        i = end - 1;
    }
    return found;
}

// `line` with the manual page's escaped dashes plain.
std::string unescapedDashes(std::string line) {
    for (auto at = line.find("\\-"); at != std::string::npos; at = line.find("\\-", at)) {
        line.erase(at, 1);
    }
    return line;
}

// The lines of `text` that `keep` returns a part of (empty: none of it).
template <typename Keep>
std::string linesKept(const std::string& text, Keep keep) {
    std::istringstream lines(text);
    std::string kept;
    std::string previous;
    for (std::string line; std::getline(lines, line); previous = line) {
        kept += keep(line, previous) + "\n";
    }
    return kept;
}

// What `found` lacks of `expected`, and what it has beyond it; empty when they agree.
std::string differences(const std::set<std::string>& found, const std::set<std::string>& expected) {
    std::string text;
    for (const std::string& name : expected) {
        text += found.count(name) == 0 ? " missing " + name : "";
    }
    for (const std::string& name : found) {
        text += expected.count(name) == 0 ? " extra " + name : "";
    }
    return text;
}

std::string sourceFile(const std::string& path) {
    const std::string text = testsupport::fileContents(testsupport::sourceDirectory() + "/" + path);
    EXPECT_FALSE(text.empty()) << path;
    return text;
}

// --help, the README's table, the manual page and the bash completion each name every option
// the parser takes, and none it does not.
TEST(Options, EveryOptionIsInTheHelpReadmeManualAndCompletion) {
    std::set<std::string> all;
    std::set<std::string> longOnes;  // the short -h is in the manual only
    for (const std::string& name : host::optionNames()) {
        all.insert(name);
        if (name.rfind("--", 0) == 0) {
            longOnes.insert(name);
        }
    }
    // --help: each entry's synopsis, before its help column.
    const std::string help = linesKept(host::usageText(), [](const std::string& line, auto&) {
        return line.rfind("  -", 0) == 0 ? line.substr(0, line.find("  ", 2)) : "";
    });
    EXPECT_EQ(differences(optionsIn(help), longOnes), "") << "--help";

    // The README: the first cell of each row of the options table.
    const std::string readme = sourceFile("README.md");
    const auto start = readme.find("## Command-line options");
    ASSERT_NE(start, std::string::npos);
    const std::string section = readme.substr(start, readme.find("\n## ", start + 1) - start);
    const std::string cells = linesKept(section, [](const std::string& line, auto&) {
        return line.rfind("| `", 0) == 0 ? line.substr(0, line.find(" | ", 1)) : "";
    });
    EXPECT_EQ(differences(optionsIn(cells), longOnes), "") << "README.md's option table";

    // The manual page: the tag line of each tagged paragraph, its dashes unescaped.
    const std::string tags = linesKept(sourceFile("packaging/man/stormglass2.6.in"),
                                       [](const std::string& line, const std::string& previous) {
                                           return previous == ".TP" ? unescapedDashes(line) : "";
                                       });
    EXPECT_EQ(differences(optionsIn(tags), all), "") << "packaging/man/stormglass2.6.in";

    // The completion: the words it offers in place of an option.
    const std::string completion = sourceFile("packaging/completion/stormglass2");
    const auto words = completion.find("compgen -W '--");
    ASSERT_NE(words, std::string::npos);
    const auto first = completion.find('\'', words) + 1;
    const std::string offered = completion.substr(first, completion.find('\'', first) - first);
    EXPECT_EQ(differences(optionsIn(offered), longOnes), "") << "packaging/completion/stormglass2";
}

// --help keeps its two columns: the help at column 24, after a wider synopsis two spaces on,
// after a synopsis wider still on the next line, and its further lines under it.
TEST(Options, HelpKeepsItsColumns) {
    const std::string help = host::usageText();
    for (const char* entry : {
             "\n  --every N             with --frames, only every N-th frame\n",
             "\n  --format 32|24|565|555  headless staging pixel format (default 32)\n",
             "\n  --contact-sheet FILE.png  one labelled frame from the middle of every scene\n",
             "\n  --windowed, --fullscreen, --mode WxHxD\n                        play on the",
             "the current directory,\n                        then beside the program,",
             "\n  --help, --version\n",
         }) {
        EXPECT_NE(help.find(entry), std::string::npos) << entry;
    }
}

TEST(Options, NoneGiveTheDesignedShow) {
    const Parsed parsed = parse({});
    ASSERT_TRUE(parsed.options);
    const host::Options& o = *parsed.options;
    EXPECT_FALSE(o.headless);
    EXPECT_EQ(o.every, 1);
    EXPECT_EQ(o.formatBits, 32);
    EXPECT_FALSE(o.trailLevel);
    EXPECT_FALSE(o.dance);
    EXPECT_FALSE(o.quitAt);
    EXPECT_TRUE(o.snapshots.empty());
    EXPECT_TRUE(o.dataDirectory.empty());
}

TEST(Options, ValuesAreTakenFromTheNextArgument) {
    const Parsed parsed =
        parse({"--headless", "--data", "d", "--frames", "f", "--every", "30", "--wav", "s.wav",
               "--stats", "r.json", "--trail", "0", "--dance", "--trace-shutdown"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const host::Options& o = *parsed.options;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.dataDirectory, "d");
    EXPECT_EQ(o.framesDirectory, "f");
    EXPECT_EQ(o.every, 30);
    EXPECT_EQ(o.wavPath, "s.wav");
    EXPECT_EQ(o.statsPath, "r.json");
    EXPECT_EQ(o.trailLevel, 0);  // given, though it is the launcher's default
    EXPECT_TRUE(o.dance);
    EXPECT_TRUE(o.traceShutdown);
}

TEST(Options, RecordingsImplyAHeadlessRun) {
    for (const char* option : {"--video", "--contact-sheet"}) {
        const Parsed parsed = parse({option, "out.mkv"});
        ASSERT_TRUE(parsed.options) << option;
        EXPECT_TRUE(parsed.options->headless) << option;
    }
}

TEST(Options, AValueOptionAtTheEndIsRefusedByName) {
    for (const char* option : {"--data", "--frames", "--every", "--wav", "--stats", "--trail",
                               "--format", "--quit-at", "--snapshot", "--video"}) {
        const Parsed parsed = parse({"--headless", option});
        EXPECT_FALSE(parsed.options) << option;
        EXPECT_EQ(parsed.error, std::string(option) + ": needs a value");
    }
}

TEST(Options, NumbersAreWholeAndInRange) {
    // With --frames, so that no other check hides the range check.
    for (const char* bad : {"0", "-1", "3x", "", " 2", "99999999999"}) {
        const Parsed parsed = parse({"--headless", "--frames", "fr", "--every", bad});
        EXPECT_FALSE(parsed.options) << "--every " << bad;
        EXPECT_EQ(parsed.error,
                  std::string("--every: expected a whole number of 1 or more, got '") + bad + "'");
    }
    EXPECT_EQ(parse({"--headless", "--frames", "fr", "--every", "1"}).options->every, 1);
    for (const char* bad : {"4", "-1", "1.5", "two"}) {
        const Parsed parsed = parse({"--trail", bad});
        EXPECT_FALSE(parsed.options) << "--trail " << bad;
        EXPECT_EQ(parsed.error, std::string("--trail: expected 0, 1, 2 or 3, got '") + bad + "'");
    }
    EXPECT_EQ(parse({"--trail", "3"}).options->trailLevel, 3);
}

TEST(Options, AnEmptyPathIsRefusedByName) {
    for (const char* option : {"--data", "--frames", "--wav", "--stats", "--contact-sheet"}) {
        const Parsed parsed = parse({"--headless", option, ""});
        EXPECT_FALSE(parsed.options) << option;
        EXPECT_EQ(parsed.error, std::string(option) + ": expected a path, got ''");
    }
}

TEST(Options, FormatsMapToDepthAndGreenBits) {
    struct Case {
        const char* text;
        int bits;
        bool green6;
    };
    for (const Case c : {Case{"32", 32, true}, Case{"24", 24, true}, Case{"565", 16, true},
                         Case{"555", 16, false}}) {
        const Parsed parsed = parse({"--format", c.text});
        ASSERT_TRUE(parsed.options) << c.text;
        EXPECT_EQ(parsed.options->formatBits, c.bits) << c.text;
        EXPECT_EQ(parsed.options->greenIs6Bit, c.green6) << c.text;
    }
    EXPECT_FALSE(parse({"--format", "16"}).options);
}

TEST(Options, SongPositionsAndSnapshots) {
    const Parsed parsed = parse({"--headless", "--quit-at", "5:0", "--snapshot", "1:2:a.png",
                                 "--snapshot", "0:63:dir:with:colons.png"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const host::Options& o = *parsed.options;
    ASSERT_TRUE(o.quitAt);
    EXPECT_EQ(o.quitAt->order, 5);
    EXPECT_EQ(o.quitAt->row, 0);
    ASSERT_EQ(o.snapshots.size(), 2u);  // repeatable, in the order given
    EXPECT_EQ(o.snapshots[0].at.order, 1);
    EXPECT_EQ(o.snapshots[0].at.row, 2);
    EXPECT_EQ(o.snapshots[0].path, "a.png");
    EXPECT_EQ(o.snapshots[1].path, "dir:with:colons.png");

    for (const char* bad : {"5", "5:", ":3", "-1:0", "5:-2", "5:3:x", "a:b"}) {
        const Parsed refused = parse({"--quit-at", bad});
        EXPECT_FALSE(refused.options) << bad;
        EXPECT_EQ(refused.error, std::string("--quit-at: expected ORDER:ROW, got '") + bad + "'");
    }
    for (const char* bad : {"1:2", "1:2:", "1::a.png", "x:2:a.png"}) {
        EXPECT_FALSE(parse({"--snapshot", bad}).options) << bad;
    }
}

TEST(Options, DisplayOptionsPassToTheLauncherAndOthersAreUnknown) {
    EXPECT_TRUE(parse({"--windowed", "--mode", "640x480x32"}).options);
    const Parsed badMode = parse({"--mode", "640x480"});
    EXPECT_FALSE(badMode.options);
    EXPECT_EQ(badMode.error, host::kBadModeLine);
    EXPECT_EQ(badMode.printed, "") << "the error is the one line";
    const Parsed unknown = parse({"--headless", "--fast"});
    EXPECT_FALSE(unknown.options);
    EXPECT_EQ(unknown.error, "unknown option '--fast' (see --help)");
}

// Options that cannot all be honoured are refused by the parser, before anything is made.
TEST(Options, ContradictionsAreRefusedWithOneLine) {
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
    };
    const std::string noDesktop =
        " chooses how the desktop shows the demo; a headless run (--headless, --video, "
        "--contact-sheet) has no desktop";
    for (const Case& c : {
             Case{{"--windowed", "--fullscreen"},
                  "--windowed and --fullscreen contradict each other"},
             Case{{"--headless", "--fullscreen"}, "--fullscreen" + noDesktop},
             Case{{"--mode", "640x480x32", "--video", "v.mp4"}, "--mode" + noDesktop},
             Case{{"--contact-sheet", "s.png", "--windowed"}, "--windowed" + noDesktop},
             Case{{"--headless", "--every", "2"}, "--every needs --frames"},
             Case{{"--frames", "f"}, "--frames, --snapshot and --wav need --headless"},
             Case{{"--wav", "a.wav", "--windowed"},
                  "--frames, --snapshot and --wav need --headless"},
         }) {
        const Parsed parsed = parse(c.arguments);
        EXPECT_FALSE(parsed.options) << c.arguments.front();
        EXPECT_EQ(parsed.error, c.error);
    }
    // --help and --version answer whatever else is on the line.
    EXPECT_TRUE(parse({"--help", "--windowed", "--fullscreen"}).options);
    EXPECT_TRUE(
        parse({"--video", "v.mkv", "--wav", "a.wav", "--every", "1", "--frames", "f"}).options);
}

TEST(SongPosition, ReachedAtTheMarkAndAfterIt) {
    const core::SongPosition mark{5, 20};
    EXPECT_FALSE(core::reached(mark, {5, 19}));
    EXPECT_TRUE(core::reached(mark, {5, 20}));
    EXPECT_TRUE(core::reached(mark, {6, 0}));    // a later order, whatever its row
    EXPECT_FALSE(core::reached(mark, {4, 63}));  // an earlier order, whatever its row
}

}  // namespace
