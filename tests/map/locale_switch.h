#pragma once

// Switches the process locale for the tests that prove the script texts do
// not follow it.

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace orvo::testing {

// Makes the named locale current. When the system has not generated it,
// builds it into a private folder from the system's locale sources (package
// "locales") and points LOCPATH there. Never skips: a test that cannot set
// the locale fails.
inline bool UseLocale(const std::string& name, const std::string& source, std::string* why) {
    if (std::setlocale(LC_ALL, name.c_str()) != nullptr) return true;
    // One folder per locale: the C library remembers a failed look-up per
    // folder, so a folder searched before the locale was built stays empty
    // for this process.
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "orvo-map-locales" / name;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::string command =
        "localedef -i " + source + " -f UTF-8 '" + (dir / name).string() + "' >/dev/null 2>&1";
    const int rc = std::system(command.c_str());
    setenv("LOCPATH", dir.c_str(), 1);
    if (std::setlocale(LC_ALL, name.c_str()) != nullptr) return true;
    *why = "cannot set locale " + name + " (localedef exit " + std::to_string(rc) +
           "); install package 'locales' (scripts/install-deps.sh)";
    return false;
}

}  // namespace orvo::testing
