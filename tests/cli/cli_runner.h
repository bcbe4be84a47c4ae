#pragma once

// Runs a command line through the shell and captures its exit status,
// standard output and standard error (for tests of the orvo-info binary).

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace orvo::test_support {

struct CommandResult {
    int status = -1;  // exit code, or -1 when the command did not exit normally
    std::string out;
    std::string err;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline CommandResult RunCommand(const std::string& command_line) {
    static int counter = 0;
    const auto base = std::filesystem::temp_directory_path() /
                      ("orvo-cmd-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    const std::string out = base.string() + ".out";
    const std::string err = base.string() + ".err";
    const int raw = std::system((command_line + " >" + out + " 2>" + err).c_str());
    CommandResult r;
    if (raw != -1 && WIFEXITED(raw)) r.status = WEXITSTATUS(raw);
    r.out = ReadWholeFile(out);
    r.err = ReadWholeFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}

// Single-quotes an argument for the shell.
inline std::string ShellQuote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q += c;
        }
    }
    return q + "'";
}

}  // namespace orvo::test_support
