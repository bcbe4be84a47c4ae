#include <filesystem>

#include "cli/clip_info_json.h"
#include "cli/commands.h"
#include "cli/recording_inputs.h"
#include "metadata/parse_recording.h"

namespace orvo::cli {

int RunProbe(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << "orvo-info probe: missing FILE\n";
        return kExitUsage;
    }
    int status = kExitOk;
    for (const std::string& file : args) {
        ClipInfo info;
        const bool accepted = ParseRecording(std::filesystem::path(file), &info) == 0;
        Json line;
        line["path"] = file;
        line["accepted"] = accepted;
        if (accepted) {
            AppendClipInfo(line, info);
        } else {
            status = kExitRejected;
            const std::string reason = RejectionReason(file);
            line["reason"] = reason.empty() ? "rejected" : reason;
            err << "orvo-info: " << file << ": " << line["reason"].get<std::string>() << '\n';
        }
        out << DumpLine(line) << '\n';
    }
    return status;
}

}  // namespace orvo::cli
