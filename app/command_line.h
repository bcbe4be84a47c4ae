#pragma once

#include <filesystem>
#include <span>
#include <string>

namespace orvo {

// What `orvo-player [OPTIONS] [PATH]` asks for.
struct PlayerCommandLine {
    enum class Action { kRun, kVersion, kHelp, kUsageError };
    Action action = Action::kRun;
    std::string path;                      // a folder or a recording; empty: none
    bool settings_in_config_home = false;  // --config-home
    std::string error;                     // kUsageError: names the bad argument
};

// Parses the arguments after the program name (the toolkit has already taken
// its own options). "--" ends the options; one PATH at most.
PlayerCommandLine ParsePlayerCommandLine(std::span<const std::string> args);

// True when the arguments ask only for --version or --help, which are
// answered before the toolkit starts so that they work without a display.
bool AsksForVersionOrHelp(std::span<const std::string> args);

// The recording the launcher may start playing before the toolkit loads:
// the arguments name one regular file and no option the toolkit would take.
// Its canonical path; empty otherwise.
std::string RecordingToStartEarly(std::span<const std::string> args);

// The text of --help.
std::string PlayerUsageText();

// The folder that holds Qor.ini when the viewer is started from the desktop:
// $XDG_CONFIG_HOME/orvo-player when that is an absolute path, else
// $HOME/.config/orvo-player; empty when neither is known.
std::filesystem::path ConfigHomeFolder(const char* xdg_config_home, const char* home);

// Creates folder (and its parents, mode 0700 for new ones as XDG asks) and
// makes it the working directory. False when either step fails.
bool EnterSettingsFolder(const std::filesystem::path& folder);

}  // namespace orvo
