#include "cli/batch_export.h"

#include "cli/commands.h"
#include "cli/recording_inputs.h"
#include "incidents/track_statistics.h"

namespace orvo::cli {

namespace {

// name, or name with "-2", "-3"... before its extension when an earlier
// recording of the same run took it.
std::string UniqueName(const std::string& name, std::set<std::string>* used) {
    std::string candidate = name;
    const size_t dot = name.find_last_of('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    for (int n = 2; used->count(candidate) != 0; ++n) {
        candidate = stem + "-" + std::to_string(n) + extension;
    }
    used->insert(candidate);
    return candidate;
}

}  // namespace

int UsageError(std::ostream& err, const std::string& command, const std::string& reason) {
    err << "orvo-info " << command << ": " << reason << '\n';
    return kExitUsage;
}

bool ParseCameraClock(const CommandArguments& args, const std::string& command, CameraClock* clock,
                      std::ostream& err) {
    const auto zone = args.value("--camera-tz");
    if (!zone) return true;
    std::string error;
    const auto parsed = CameraClock::Parse(*zone, &error);
    if (!parsed) {
        UsageError(err, command, "--camera-tz: " + error);
        return false;
    }
    *clock = *parsed;
    return true;
}

std::string FileStem(const std::string& file_name) {
    return file_name.size() >= 4 ? file_name.substr(0, file_name.size() - 4) : file_name;
}

int RunRecordingExport(const std::vector<std::string>& paths, std::optional<std::string> folder,
                       bool to_stdout_allowed, const std::string& command,
                       const RecordingExporter& exporter, const RecordingFileName& file_name,
                       std::ostream& out, std::ostream& err) {
    if (paths.empty()) return UsageError(err, command, "missing FILE");
    std::vector<ClipEntry> recordings;
    bool folder_given = false;
    bool ok = CollectRecordings(paths, &recordings, &folder_given, err);
    const bool batch = paths.size() > 1 || folder_given || folder || !to_stdout_allowed;
    if (batch && !folder) {
        return UsageError(err, command, "several recordings or a folder need --out DIR");
    }
    if (!batch) {
        if (recordings.empty()) return kExitRejected;
        const auto content = exporter(recordings[0], err);
        if (!content) return kExitRejected;
        out << *content;
        return ok ? kExitOk : kExitRejected;
    }
    if (recordings.empty()) return kExitRejected;
    if (!PrepareOutputFolder(&*folder, err)) return kExitRejected;
    std::set<std::string> used;
    for (const ClipEntry& entry : recordings) {
        const auto content = exporter(entry, err);
        if (!content) {
            ok = false;
            continue;
        }
        const std::string path = *folder + UniqueName(file_name(entry), &used);
        if (!WriteOutputFile(path, *content, err)) {
            ok = false;
            continue;
        }
        out << path << '\n';
    }
    return ok ? kExitOk : kExitRejected;
}

Track SingleRecordingTrack(const ClipEntry& entry, TrackSegment segment) {
    TrackStatistics statistics;
    const double rate = segment.gpsRate == 0 ? 1.0 : segment.gpsRate;
    for (const TrackPoint& p : segment.points) {
        statistics.Add(p.utc.value_or(p.index / rate), p.position, p.speedKmh, 1.0 / rate);
    }
    Track track;
    track.name = entry.fileName;
    track.distanceM = statistics.distance_m();
    track.durationMs = entry.info.durationMs;
    track.segments.push_back(std::move(segment));
    return track;
}

}  // namespace orvo::cli
