#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace orvo::cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRejected = 1;  // a file was rejected or could not be handled
inline constexpr int kExitUsage = 2;

// A command receives the arguments after its name. It returns kExitUsage for
// bad arguments (the dispatcher then prints the usage text).
using CommandFunction = int (*)(std::span<const std::string> args, std::ostream& out,
                                std::ostream& err);

struct Command {
    std::string_view name;
    std::string_view synopsis;  // arguments, e.g. "FILE..."
    std::string_view summary;
    CommandFunction run;
};

// probe FILE...: one JSON line per file with what its parser reports.
int RunProbe(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// clip FILE... --from S --to S --out PATH: exports a span of consecutive
// recordings by stream copy with its telemetry; prints the path written and
// the actual start and end in seconds.
int RunClip(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace orvo::cli
