#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "cli/batch_export.h"
#include "cli/catalog_commands.h"
#include "cli/commands.h"
#include "cli/recording_inputs.h"
#include "cli/track_formats.h"
#include "gps/kml_export.h"
#include "gps/timed_kml_export.h"
#include "incidents/recording_telemetry.h"

namespace orvo::cli {

namespace {

struct KmlSettings {
    bool timed = false;
    bool points = false;
    CameraClock clock;
};

std::optional<std::string> KmlExport(const ClipEntry& entry, const KmlSettings& settings,
                                     std::ostream& err) {
    const std::string path = DisplayPath(entry);
    errno = 0;
    const RecordingTelemetry telemetry = ReadRecordingTelemetry(path, entry.info, false);
    if (!telemetry.opened) {
        err << "orvo-info: " << path << ": cannot be read: " << std::strerror(errno) << '\n';
        return std::nullopt;
    }
    if (telemetry.gpsCutOff) WarnCutOff(path, err);
    if (!settings.timed) {
        return KmlDocument(entry.fileName, entry.subFolder, entry.info.startTime, telemetry.gps);
    }
    TrackSegment segment = BuildSegment(entry, telemetry.gps, settings.clock);
    WarnOutOfRange(path, segment.outOfRange, "timed KML", err);
    const Track track = SingleRecordingTrack(entry, std::move(segment));
    size_t untimed = 0;
    std::string document = TimedKmlDocument(entry.fileName, std::span<const Track>(&track, 1),
                                            settings.points, &untimed);
    if (untimed != 0) {
        err << "orvo-info: " << path << ": " << untimed
            << " points without a time left out of the timed KML\n";
    }
    return document;
}

}  // namespace

int RunKml(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    CommandArguments arguments({"--out", "--camera-tz"}, {"--timed", "--points"});
    std::string error;
    if (!arguments.Parse(args, &error)) return UsageError(err, "kml", error);
    KmlSettings settings;
    if (!ParseCameraClock(arguments, "kml", &settings.clock, err)) return kExitUsage;
    settings.timed = arguments.flag("--timed");
    settings.points = arguments.flag("--points");
    if (!settings.timed && (settings.points || arguments.value("--camera-tz"))) {
        return UsageError(err, "kml", "--points and --camera-tz need --timed");
    }
    if (arguments.positional().empty()) return UsageError(err, "kml", "missing FILE");
    std::optional<std::string> folder = arguments.value("--out");
    if (folder && folder->empty())
        return UsageError(err, "kml", "--out needs a folder (it was empty)");
    if (!folder) {
        folder = KmlFolder();
        if (folder->empty()) {
            err << "orvo-info: the documents folder is unknown (no HOME); give --out DIR\n";
            return kExitRejected;
        }
    }
    return RunRecordingExport(
        arguments.positional(), folder, false, "kml",
        [&](const ClipEntry& entry, std::ostream& e) { return KmlExport(entry, settings, e); },
        [](const ClipEntry& entry) { return KmlFileName(entry.fileName, entry.info.startTime); },
        out, err);
}

}  // namespace orvo::cli
