#include "app/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "app/version.h"

namespace orvo {

namespace fs = std::filesystem;

namespace {

PlayerCommandLine UsageError(std::string message) {
    PlayerCommandLine result;
    result.action = PlayerCommandLine::Action::kUsageError;
    result.error = std::move(message);
    return result;
}

}  // namespace

PlayerCommandLine ParsePlayerCommandLine(std::span<const std::string> args) {
    PlayerCommandLine result;
    bool options_ended = false;
    for (const std::string& arg : args) {
        const bool is_option = !options_ended && arg.size() > 1 && arg[0] == '-';
        if (!is_option) {
            if (!result.path.empty()) return UsageError("more than one PATH: '" + arg + "'");
            if (arg.empty()) return UsageError("empty PATH");
            result.path = arg;
            continue;
        }
        if (arg == "--") {
            options_ended = true;
        } else if (arg == "--version") {
            result.action = PlayerCommandLine::Action::kVersion;
        } else if (arg == "-h" || arg == "--help") {
            result.action = PlayerCommandLine::Action::kHelp;
        } else if (arg == "--config-home") {
            result.settings_in_config_home = true;
        } else {
            return UsageError("unknown option '" + arg + "'");
        }
    }
    return result;
}

bool AsksForVersionOrHelp(std::span<const std::string> args) {
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (arg == "--version" || arg == "--help" || arg == "-h") return true;
    }
    return false;
}

std::string RecordingToStartEarly(std::span<const std::string> args) {
    const PlayerCommandLine command_line = ParsePlayerCommandLine(args);
    if (command_line.action != PlayerCommandLine::Action::kRun || command_line.path.empty())
        return {};
    std::error_code error;
    const fs::path path = fs::canonical(command_line.path, error);
    if (error || !fs::is_regular_file(path, error) || error) return {};
    return path.string();
}

std::string PlayerUsageText() {
    return std::string(
               "usage: orvo-player [--config-home] [PATH]\n"
               "       orvo-player --version | --help\n\n"
               "Plays the recordings of a dash camera with their GPS track, G-sensor\n"
               "curve and speed. PATH is a memory card, a folder (all its recordings)\n"
               "or one recording; without PATH, File(F) chooses one.\n\n"
               "options:\n"
               "  --config-home  keep the settings file Qor.ini in\n"
               "                 $XDG_CONFIG_HOME/orvo-player (~/.config/orvo-player)\n"
               "                 instead of the working directory; the application\n"
               "                 menu starts the viewer this way\n"
               "  --version      print the version and exit\n"
               "  -h, --help     print this text and exit\n\n"
               "Orvo Player ") +
           kOrvoVersion + "\n";
}

fs::path ConfigHomeFolder(const char* xdg_config_home, const char* home) {
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (xdg_config_home != nullptr && xdg_config_home[0] == '/') {
        return fs::path(xdg_config_home) / "orvo-player";
    }
    if (home != nullptr && home[0] == '/') return fs::path(home) / ".config" / "orvo-player";
    return {};
}

bool EnterSettingsFolder(const fs::path& folder) {
    if (folder.empty()) return false;
    std::error_code ec;
    const mode_t old_mask = ::umask(077);
    fs::create_directories(folder, ec);
    ::umask(old_mask);
    if (ec || !fs::is_directory(folder, ec)) return false;
    return ::chdir(folder.c_str()) == 0;
}

}  // namespace orvo
