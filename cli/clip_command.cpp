// clip FILE... --from S --to S --out PATH: cuts and joins recordings by
// stream copy, telemetry included.

#include <signal.h>

#include <atomic>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "export/clip_exporter.h"
#include "export/clip_telemetry.h"

namespace orvo::cli {
namespace {

namespace fs = std::filesystem;

std::atomic<bool> g_interrupted{false};

void OnInterrupt(int) {
    g_interrupted = true;
}

// Seconds as a plain decimal number (no locale), to whole milliseconds.
std::optional<int64_t> ParseSeconds(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !(value >= 0) || value > 1e9) return std::nullopt;
    return static_cast<int64_t>(value * 1000 + 0.5);
}

std::string Seconds(int64_t us) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(us) / 1e6);
    return text;
}

struct ClipArgs {
    std::vector<fs::path> files;
    int64_t from_ms = -1;
    int64_t to_ms = -1;
    fs::path out;
};

bool ParseClipArgs(std::span<const std::string> args, ClipArgs* parsed, std::ostream& err) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--from" || a == "--to" || a == "--out") {
            if (i + 1 >= args.size()) {
                err << "orvo-info: " << a << " needs a value\n";
                return false;
            }
            const std::string& value = args[++i];
            if (a == "--out") {
                parsed->out = value;
                continue;
            }
            const std::optional<int64_t> ms = ParseSeconds(value);
            if (!ms) {
                err << "orvo-info: " << a << " takes seconds, not '" << value << "'\n";
                return false;
            }
            (a == "--from" ? parsed->from_ms : parsed->to_ms) = *ms;
        } else if (a.starts_with("--")) {
            err << "orvo-info: unknown option '" << a << "'\n";
            return false;
        } else {
            parsed->files.emplace_back(a);
        }
    }
    if (parsed->files.empty() || parsed->from_ms < 0 || parsed->to_ms < 0 || parsed->out.empty()) {
        err << "orvo-info: clip needs FILE..., --from, --to and --out\n";
        return false;
    }
    if (parsed->from_ms >= parsed->to_ms) {
        err << "orvo-info: --from must lie before --to\n";
        return false;
    }
    return true;
}

}  // namespace

int RunClip(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    ClipArgs parsed;
    if (!ParseClipArgs(args, &parsed, err)) return kExitUsage;
    const ClipExportPlan plan = PlanClipExport(parsed.files, parsed.from_ms, parsed.to_ms);
    if (plan.status != ClipExportStatus::kOk) {
        err << "orvo-info: " << ClipExportStatusText(plan.status)
            << (plan.detail.empty() ? "" : ": " + plan.detail) << '\n';
        return kExitRejected;
    }
    fs::path target = parsed.out;
    std::error_code ec;
    if (fs::is_directory(target, ec)) target /= DefaultClipName(plan.startTime);

    // An interrupted export cancels, so its temporary file goes too.
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    const ClipExportResult result =
        WriteClipExport(plan, target, false, [](double) { return !g_interrupted.load(); });
    if (result.status != ClipExportStatus::kOk) {
        err << "orvo-info: " << ClipExportStatusText(result.status)
            << (result.detail.empty() ? "" : ": " + result.detail) << '\n';
        return kExitRejected;
    }
    out << result.written.string() << '\n'
        << "start " << Seconds(result.actualStartUs) << '\n'
        << "end " << Seconds(result.actualEndUs) << '\n';
    out.flush();
    return kExitOk;
}

}  // namespace orvo::cli
