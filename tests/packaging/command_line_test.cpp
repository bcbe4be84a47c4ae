#include "app/command_line.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using Action = PlayerCommandLine::Action;

PlayerCommandLine Parse(std::vector<std::string> args) {
    return ParsePlayerCommandLine(args);
}

TEST(PlayerCommandLineTest, PathOptionsAndErrors) {
    EXPECT_EQ(Parse({}).action, Action::kRun);
    EXPECT_EQ(Parse({}).path, "");

    const PlayerCommandLine desktop = Parse({"--config-home", "/media/CARD"});
    EXPECT_EQ(desktop.action, Action::kRun);
    EXPECT_TRUE(desktop.settings_in_config_home);
    EXPECT_EQ(desktop.path, "/media/CARD");

    // A recording whose name starts with "-" is reachable after "--".
    EXPECT_EQ(Parse({"--", "-odd.MOV"}).path, "-odd.MOV");
    EXPECT_EQ(Parse({"--version"}).action, Action::kVersion);
    EXPECT_EQ(Parse({"-h"}).action, Action::kHelp);

    const PlayerCommandLine unknown = Parse({"--fullscreen"});
    EXPECT_EQ(unknown.action, Action::kUsageError);
    EXPECT_NE(unknown.error.find("--fullscreen"), std::string::npos);
    const PlayerCommandLine two = Parse({"a", "b"});
    EXPECT_EQ(two.action, Action::kUsageError);
    EXPECT_NE(two.error.find("'b'"), std::string::npos);
    EXPECT_EQ(Parse({""}).action, Action::kUsageError);

    EXPECT_TRUE(AsksForVersionOrHelp(std::vector<std::string>{"x", "--help"}));
    EXPECT_FALSE(AsksForVersionOrHelp(std::vector<std::string>{"--", "--help"}));
}

TEST(PlayerCommandLineTest, ConfigHomeFollowsXdgAndIgnoresRelativeValues) {
    EXPECT_EQ(ConfigHomeFolder("/x/cfg", "/home/u"), fs::path("/x/cfg/orvo-player"));
    EXPECT_EQ(ConfigHomeFolder("relative", "/home/u"), fs::path("/home/u/.config/orvo-player"));
    EXPECT_EQ(ConfigHomeFolder(nullptr, "/home/u"), fs::path("/home/u/.config/orvo-player"));
    EXPECT_EQ(ConfigHomeFolder("", nullptr), fs::path());
}

// Only one regular file and nothing else the launcher cannot read the way
// the window will: that recording may start before the toolkit loads.
TEST(PlayerCommandLineTest, OnlyOneNamedRegularFileStartsEarly) {
    test_support::TempFolder temp;
    const fs::path clip = temp.path() / "FILE1.MOV";
    { std::ofstream(clip) << "x"; }
    const std::string canonical = fs::canonical(clip).string();
    const std::string dotted = (temp.path() / "." / "FILE1.MOV").string();
    EXPECT_EQ(RecordingToStartEarly(std::vector<std::string>{dotted}), canonical);
    EXPECT_EQ(RecordingToStartEarly(std::vector<std::string>{"--config-home", clip.string()}),
              canonical);
    EXPECT_EQ(RecordingToStartEarly(std::vector<std::string>{"--", clip.string()}), canonical);
    // A folder waits for the window's delayed open; a missing file for its
    // message; toolkit options and usage errors for the toolkit.
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {temp.path().string()},
                                                 {(temp.path() / "gone").string()},
                                                 {"-platform", "xcb", clip.string()},
                                                 {clip.string(), clip.string()},
                                                 {"--version", clip.string()}})
        EXPECT_EQ(RecordingToStartEarly(args), "") << (args.empty() ? "" : args.front());
}

TEST(PlayerCommandLineTest, EnterSettingsFolderCreatesItPrivateAndChangesThere) {
    test_support::TempFolder temp;
    const fs::path before = fs::current_path();
    const fs::path folder = temp.path() / "cfg" / "orvo-player";
    ASSERT_TRUE(EnterSettingsFolder(folder));
    EXPECT_EQ(fs::current_path(), folder);
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    fs::current_path(before);

    // A file in the way is not a folder to keep settings in.
    const fs::path blocked = temp.path() / "file";
    { std::ofstream(blocked) << "x"; }
    EXPECT_FALSE(EnterSettingsFolder(blocked / "orvo-player"));
    EXPECT_FALSE(EnterSettingsFolder({}));
    EXPECT_EQ(fs::current_path(), before);
}

}  // namespace
}  // namespace orvo
