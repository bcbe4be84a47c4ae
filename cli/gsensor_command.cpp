#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "cli/batch_export.h"
#include "cli/catalog_commands.h"
#include "cli/commands.h"
#include "cli/recording_inputs.h"
#include "export/telemetry_csv.h"
#include "incidents/recording_telemetry.h"

namespace orvo::cli {

namespace {

std::optional<std::string> GSensorExport(const ClipEntry& entry, std::ostream& err) {
    const std::string path = DisplayPath(entry);
    errno = 0;
    const RecordingTelemetry telemetry = ReadRecordingTelemetry(path, entry.info);
    if (!telemetry.opened) {
        err << "orvo-info: " << path << ": cannot be read: " << std::strerror(errno) << '\n';
        return std::nullopt;
    }
    if (telemetry.gsensorCutOff) {
        err << "orvo-info: " << path
            << ": the G-sensor block runs past the end of the file (a cut-off recording)\n";
    }
    return GSensorCsv(telemetry.gsensor, entry.info.durationMs, GRange(entry.info));
}

}  // namespace

int RunGSensor(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    CommandArguments arguments({"--format", "--out"}, {});
    std::string error;
    std::string format = "csv";
    if (!arguments.Parse(args, &error) || !arguments.Choice("--format", {"csv"}, &format, &error)) {
        return UsageError(err, "gsensor", error);
    }
    const auto folder = arguments.value("--out");
    if (folder && folder->empty()) {
        return UsageError(err, "gsensor", "--out needs a folder (it was empty)");
    }
    return RunRecordingExport(
        arguments.positional(), folder, true, "gsensor", GSensorExport,
        [](const ClipEntry& entry) { return FileStem(entry.fileName) + "_gsensor.csv"; }, out, err);
}

}  // namespace orvo::cli
