#include "cli/incidents_command.h"

#include <charconv>
#include <cmath>

#include "cli/catalog_loading.h"
#include "cli/clip_info_json.h"
#include "cli/commands.h"
#include "incidents/card_incident_scan.h"
#include "incidents/incident_time.h"
#include "library/clip_catalog.h"

namespace orvo::cli {

namespace {

// A threshold: a finite number above zero, '.' as the separator whatever
// the locale.
bool ParseThreshold(const std::string& text, double* value) {
    double v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || !std::isfinite(v) || v <= 0) return false;
    *value = v;
    return true;
}

bool ParseArgs(std::span<const std::string> args, std::string* path,
               IncidentThresholds* thresholds) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        double* target = arg == "--g"       ? &thresholds->gForceG
                         : arg == "--brake" ? &thresholds->brakingKmhPerS
                         : arg == "--accel" ? &thresholds->accelerationKmhPerS
                                            : nullptr;
        if (target != nullptr) {
            if (i + 1 >= args.size() || !ParseThreshold(args[++i], target)) return false;
        } else if (path->empty() && !arg.starts_with("--")) {
            *path = arg;
        } else {
            return false;
        }
    }
    return !path->empty();
}

double Rounded(double value, double scale) {
    return std::round(value * scale) / scale;
}

Json IncidentLine(const CardRecording& recording, const Incident& incident) {
    Json line;
    line["file"] = recording.path;
    line["offsetMs"] = incident.offsetMs;
    const auto start = RecordingStartTime(recording.info, recording.fileName);
    const std::string time = start ? LocalIsoTime(*start, incident.offsetMs) : std::string();
    line["time"] = time.empty() ? Json(nullptr) : Json(time);
    line["kind"] = IncidentKindName(incident.kind);
    line["peak"] = Rounded(incident.peak, 1000.0);
    line["durationMs"] = incident.endMs - incident.startMs;
    if (incident.speedKmh) line["speedKmh"] = *incident.speedKmh;
    if (incident.position) {
        line["latitude"] = Rounded(incident.position->latitude, 1e6);
        line["longitude"] = Rounded(incident.position->longitude, 1e6);
    }
    return line;
}

}  // namespace

int RunIncidents(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    std::string path;
    IncidentThresholds thresholds;
    if (!ParseArgs(args, &path, &thresholds)) return kExitUsage;
    CClipCatalog catalog;
    int loaded = 0;
    if (LoadFolderOrFile(path, &catalog, &loaded) == PathKind::kMissing) {
        err << "orvo-info: " << path << ": no such file or folder\n";
        return kExitRejected;
    }
    if (loaded == 0 || catalog.Count() == 0) {
        err << "orvo-info: " << path << ": no recordings\n";
        return kExitRejected;
    }

    int status = kExitOk;
    const std::vector<CardRecording> recordings = CardRecordingsOf(catalog);
    for (size_t i = 0; i < recordings.size(); ++i) {
        const RecordingScan scan = ScanRecording(recordings[i], i, thresholds);
        if (!scan.readable) {
            err << "orvo-info: " << recordings[i].path << ": cannot be read\n";
            status = kExitRejected;
        }
        for (const Incident& incident : scan.incidents) {
            out << DumpLine(IncidentLine(recordings[i], incident)) << '\n';
        }
    }
    out.flush();
    return status;
}

}  // namespace orvo::cli
