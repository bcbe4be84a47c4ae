#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "cli/batch_export.h"
#include "cli/catalog_commands.h"
#include "cli/commands.h"
#include "cli/recording_inputs.h"
#include "cli/track_formats.h"
#include "gps/geojson_export.h"
#include "gps/gpx_export.h"
#include "incidents/recording_telemetry.h"

namespace orvo::cli {

namespace {

struct GpsSettings {
    std::string format = "csv";
    CameraClock clock;
    bool points = false;
};

std::optional<RecordingTelemetry> ReadGps(const ClipEntry& entry, std::ostream& err) {
    const std::string path = DisplayPath(entry);
    errno = 0;
    RecordingTelemetry telemetry = ReadRecordingTelemetry(path, entry.info, false);
    if (!telemetry.opened) {
        err << "orvo-info: " << path << ": cannot be read: " << std::strerror(errno) << '\n';
        return std::nullopt;
    }
    if (telemetry.gpsCutOff) WarnCutOff(path, err);
    return telemetry;
}

std::optional<std::string> GpsExport(const ClipEntry& entry, const GpsSettings& settings,
                                     std::ostream& err) {
    const auto telemetry = ReadGps(entry, err);
    if (!telemetry) return std::nullopt;
    const std::string path = DisplayPath(entry);
    if (settings.format == "csv") {
        std::string out = GpsCsvHeader(false);
        AppendGpsCsvRows(entry, telemetry->gps, settings.clock, std::nullopt, &out);
        return out;
    }
    if (settings.format == "json") {
        return DumpLine(GpsJson(path, entry, telemetry->gps, settings.clock)) + "\n";
    }
    TrackSegment segment = BuildSegment(entry, telemetry->gps, settings.clock);
    WarnOutOfRange(path, segment.outOfRange, settings.format == "gpx" ? "GPX" : "GeoJSON", err);
    const Track track = SingleRecordingTrack(entry, std::move(segment));
    if (settings.format == "gpx") {
        return GpxTracksDocument(entry.fileName, std::span<const Track>(&track, 1));
    }
    return GeoJsonDocument(std::span<const Track>(&track, 1), settings.points);
}

std::string GpsFileName(const ClipEntry& entry, const std::string& format) {
    const std::string stem = FileStem(entry.fileName);
    if (format == "gpx") return stem + ".gpx";
    if (format == "geojson") return stem + ".geojson";
    return stem + "_gps." + format;
}

}  // namespace

int RunGps(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    CommandArguments arguments({"--format", "--out", "--camera-tz"}, {"--points"});
    std::string error;
    GpsSettings settings;
    if (!arguments.Parse(args, &error) ||
        !arguments.Choice("--format", {"csv", "gpx", "json", "geojson"}, &settings.format,
                          &error)) {
        return UsageError(err, "gps", error);
    }
    if (!ParseCameraClock(arguments, "gps", &settings.clock, err)) return kExitUsage;
    settings.points = arguments.flag("--points");
    if (settings.points && settings.format != "geojson") {
        return UsageError(err, "gps", "--points is for --format geojson");
    }
    const auto folder = arguments.value("--out");
    if (folder && folder->empty())
        return UsageError(err, "gps", "--out needs a folder (it was empty)");
    return RunRecordingExport(
        arguments.positional(), folder, true, "gps",
        [&](const ClipEntry& entry, std::ostream& e) { return GpsExport(entry, settings, e); },
        [&](const ClipEntry& entry) { return GpsFileName(entry, settings.format); }, out, err);
}

}  // namespace orvo::cli
