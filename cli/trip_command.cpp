#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "cli/batch_export.h"
#include "cli/catalog_loading.h"
#include "cli/clip_info_json.h"
#include "cli/commands.h"
#include "cli/recording_inputs.h"
#include "cli/track_formats.h"
#include "cli/trip_commands.h"
#include "gps/geojson_export.h"
#include "gps/gpx_export.h"
#include "gps/kml_export.h"
#include "gps/timed_kml_export.h"
#include "incidents/recording_telemetry.h"
#include "incidents/trip_summary.h"
#include "library/clip_catalog.h"

namespace orvo::cli {

namespace {

struct TripSettings {
    std::string format;  // empty: summaries
    CameraClock clock;
    bool timed = false;
    bool points = false;
};

// The camera's wall-clock text, as the file list reads it; null when the
// time is unknown.
Json WallClock(int64_t time) {
    if (time == 0) return nullptr;
    return FormatLocalTime(time, "%Y-%m-%dT%H:%M:%S");
}

// The same time in UTC through the camera's clock.
Json Utc(int64_t time, const CameraClock& clock) {
    if (time == 0) return nullptr;
    const auto utc = clock.FromLocalRule(time);
    return utc ? Json(FormatUtcMs(static_cast<double>(*utc))) : Json(nullptr);
}

double Tenths(double value) {
    return std::round(value * 10.0) / 10.0;
}

Json SummaryLine(const TripSummary& trip, const CameraClock& clock) {
    Json line;
    line["first"] = trip.first;
    line["count"] = trip.count;
    line["start"] = WallClock(trip.start);
    line["end"] = trip.endMs == 0 ? Json(nullptr) : WallClock(trip.endMs / 1000);
    line["durationMs"] = trip.durationMs;
    line["distanceM"] = Tenths(trip.distanceM);
    line["maxSpeedKmh"] = Tenths(trip.maxSpeedKmh);
    line["avgSpeedKmh"] = Tenths(trip.avgSpeedKmh);
    line["files"] = trip.files;
    line["startUtc"] = Utc(trip.start, clock);
    line["endUtc"] = trip.endMs == 0 ? Json(nullptr) : Utc(trip.endMs / 1000, clock);
    return line;
}

// Everything an export of the trips needs, read once.
struct TripData {
    std::vector<Track> tracks;
    std::string csv;
    bool ok = true;
};

TripData ReadTrips(const CClipCatalog& catalog, const TripSettings& settings, std::ostream& err) {
    TripData data;
    const char* format_name = settings.format == "gpx"       ? "GPX"
                              : settings.format == "geojson" ? "GeoJSON"
                                                             : "KML";
    if (settings.format == "csv") data.csv = GpsCsvHeader(true);
    size_t untimed = 0;
    for (size_t t = 0; t < catalog.groups().size(); ++t) {
        const ClipGroup& group = catalog.groups()[t];
        const TripSummary summary = SummarizeTrip(catalog, group);
        Track track;
        track.name = "Trip " + std::to_string(t + 1) +
                     (summary.start == 0 ? std::string()
                                         : FormatLocalTime(summary.start, " %Y-%m-%d %H:%M"));
        track.distanceM = summary.distanceM;
        track.durationMs = summary.durationMs;
        for (int32_t k = 0; k < group.count; ++k) {
            const ClipEntry& entry = catalog.entries()[group.first + k];
            const std::string path = DisplayPath(entry);
            errno = 0;
            const RecordingTelemetry telemetry = ReadRecordingTelemetry(path, entry.info, false);
            if (!telemetry.opened) {
                err << "orvo-info: " << path << ": cannot be read: " << std::strerror(errno)
                    << '\n';
                data.ok = false;
            }
            if (telemetry.gpsCutOff) WarnCutOff(path, err);
            if (settings.format == "csv") {
                AppendGpsCsvRows(entry, telemetry.gps, settings.clock, t, &data.csv);
                continue;
            }
            TrackSegment segment = BuildSegment(entry, telemetry.gps, settings.clock);
            WarnOutOfRange(path, segment.outOfRange, format_name, err);
            for (const TrackPoint& p : segment.points) untimed += p.utc ? 0 : 1;
            track.segments.push_back(std::move(segment));
        }
        data.tracks.push_back(std::move(track));
    }
    if (settings.timed && untimed != 0) {
        err << "orvo-info: " << untimed << " points without a time left out of the timed KML\n";
    }
    return data;
}

std::string TripDocument(const std::string& name, const TripData& data,
                         const TripSettings& settings) {
    if (settings.format == "csv") return data.csv;
    if (settings.format == "gpx") return GpxTracksDocument(name, data.tracks);
    if (settings.format == "geojson") return GeoJsonDocument(data.tracks, settings.points);
    return TimedKmlDocument(name, data.tracks, settings.points, nullptr, settings.timed);
}

bool ParseTripArguments(std::span<const std::string> args, CommandArguments* arguments,
                        TripSettings* settings, std::ostream& err) {
    std::string error;
    if (!arguments->Parse(args, &error) ||
        !arguments->Choice("--format", {"gpx", "geojson", "kml", "csv"}, &settings->format,
                           &error)) {
        UsageError(err, "trip", error);
        return false;
    }
    if (!ParseCameraClock(*arguments, "trip", &settings->clock, err)) return false;
    settings->timed = arguments->flag("--timed");
    settings->points = arguments->flag("--points");
    const auto out = arguments->value("--out");
    const char* reason = nullptr;
    if (arguments->positional().size() != 1) {
        reason =
            arguments->positional().empty() ? "missing PATH" : "give one PATH (a card or folder)";
    } else if (settings->format.empty() && (out || settings->timed || settings->points)) {
        reason = "--out, --timed and --points need --format";
    } else if (settings->timed && settings->format != "kml") {
        reason = "--timed is for --format kml";
    } else if (settings->points && settings->format != "geojson" && settings->format != "kml") {
        reason = "--points is for --format geojson or kml";
    } else if (out && out->empty()) {
        reason = "--out needs a file name (it was empty)";
    }
    if (reason != nullptr) {
        UsageError(err, "trip", reason);
        return false;
    }
    return true;
}

}  // namespace

int RunTrip(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    CommandArguments arguments({"--format", "--out", "--camera-tz"}, {"--timed", "--points"});
    TripSettings settings;
    if (!ParseTripArguments(args, &arguments, &settings, err)) return kExitUsage;
    const std::string& path = arguments.positional()[0];
    CClipCatalog catalog;
    if (!LoadPath(path, &catalog, err)) return kExitRejected;

    if (settings.format.empty()) {
        for (const TripSummary& trip : SummarizeTrips(catalog)) {
            for (const std::string& cut : trip.cutOff) WarnCutOff(CollapseSeparators(cut), err);
            out << DumpLine(SummaryLine(trip, settings.clock)) << '\n';
        }
        return kExitOk;
    }
    const TripData data = ReadTrips(catalog, settings, err);
    const std::string document = TripDocument(path, data, settings);
    if (const auto file = arguments.value("--out")) {
        if (!WriteOutputFile(*file, document, err)) return kExitRejected;
        out << *file << '\n';
    } else {
        out << document;
    }
    return data.ok ? kExitOk : kExitRejected;
}

}  // namespace orvo::cli
