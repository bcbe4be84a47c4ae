// The man page of orvo-info is written by hand; this keeps it in step with
// the program: every command and every option that `orvo-info --help` names
// is documented.

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace orvo {
namespace {

using namespace test_support;

std::string ManPageText(const std::string& name) {
    std::string text = ReadWholeFile(std::string(ORVO_SOURCE_DIR_TEXT) + "/packaging/man/" + name);
    // roff writes a hyphen-minus as "\-".
    return std::regex_replace(text, std::regex(R"(\\-)"), "-");
}

TEST(ManPageTest, OrvoInfoPageNamesEveryCommandAndOption) {
    const CommandResult help = RunCommand(ShellQuote(ORVO_INFO_PATH) + " --help");
    ASSERT_EQ(help.status, 0) << help.err;
    const std::string page = ManPageText("orvo-info.1");
    ASSERT_FALSE(page.empty());

    std::set<std::string> commands;
    std::istringstream lines(help.out);
    const std::regex command_line(R"(^  ([a-z]+) )");
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_search(line, m, command_line)) commands.insert(m[1]);
    }
    EXPECT_GE(commands.size(), 5u) << help.out;
    for (const std::string& command : commands) {
        EXPECT_NE(page.find(".SS \"" + command + " "), std::string::npos)
            << "command '" << command << "' has no section in orvo-info.1";
    }
    const std::regex option(R"(--[a-z][a-z-]*)");
    for (auto it = std::sregex_iterator(help.out.begin(), help.out.end(), option);
         it != std::sregex_iterator(); ++it) {
        EXPECT_NE(page.find(it->str()), std::string::npos)
            << "option '" << it->str() << "' is not in orvo-info.1";
    }
    for (const char* section : {".SH EXIT STATUS", ".SH EXAMPLES"}) {
        EXPECT_NE(page.find(section), std::string::npos) << section;
    }
}

TEST(ManPageTest, OrvoPlayerPageNamesEveryOptionOfItsHelp) {
    const CommandResult help =
        RunCommand("env -u DISPLAY " + ShellQuote(ORVO_PLAYER_PATH) + " --help");
    ASSERT_EQ(help.status, 0) << help.err;
    const std::string page = ManPageText("orvo-player.1");
    const std::regex option(R"(--[a-z][a-z-]*)");
    for (auto it = std::sregex_iterator(help.out.begin(), help.out.end(), option);
         it != std::sregex_iterator(); ++it) {
        EXPECT_NE(page.find(it->str()), std::string::npos)
            << "option '" << it->str() << "' is not in orvo-player.1";
    }
}

TEST(ManPageTest, PagesRenderWithoutRoffWarnings) {
    // The package test renders the installed pages too, but only once a
    // package has been built; a roff mistake shows here at once.
    for (const char* name : {"orvo-player.1", "orvo-info.1"}) {
        const std::string path = std::string(ORVO_SOURCE_DIR_TEXT) + "/packaging/man/" + name;
        const CommandResult man = RunCommand("MANWIDTH=80 man --warnings -l " + ShellQuote(path));
        EXPECT_EQ(man.status, 0) << name << man.err;
        EXPECT_EQ(man.err, "") << name;
        if (std::string(name) == "orvo-player.1") {
            EXPECT_NE(man.out.find("\nKEYS\n"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace orvo
