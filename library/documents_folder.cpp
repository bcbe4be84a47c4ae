#include "library/documents_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace orvo {

namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        return pw->pw_dir;
    }
    return {};
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// One line of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents". Only
// "$HOME/" at the start and absolute paths are allowed by the format.
std::string FromUserDirsLine(const std::string& line, const std::string& home) {
    static const std::string kKey = "XDG_DOCUMENTS_DIR=";
    size_t pos = line.find_first_not_of(" \t");
    if (pos == std::string::npos || line.compare(pos, kKey.size(), kKey) != 0) return {};
    std::string value = line.substr(pos + kKey.size());
    if (value.size() < 2 || value.front() != '"') return {};
    const size_t close = value.find('"', 1);
    if (close == std::string::npos) return {};
    value = value.substr(1, close - 1);
    if (value == "$HOME") return home;
    if (value.starts_with("$HOME/")) return home.empty() ? std::string() : home + value.substr(5);
    if (value.starts_with("/")) return value;
    return {};
}

}  // namespace

std::string DocumentsFolder() {
    if (const char* dir = std::getenv("XDG_DOCUMENTS_DIR"); dir != nullptr && dir[0] == '/') {
        return WithoutTrailingSlash(dir);
    }
    const std::string home = HomeFolder();
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        config = xdg;
    } else if (!home.empty()) {
        config = home + "/.config";
    }
    if (!config.empty()) {
        std::ifstream in(config + "/user-dirs.dirs");
        std::string line;
        while (std::getline(in, line)) {
            const std::string found = FromUserDirsLine(line, home);
            if (!found.empty()) return WithoutTrailingSlash(found);
        }
    }
    if (home.empty()) return {};
    return WithoutTrailingSlash(home) + "/Documents";
}

}  // namespace orvo
