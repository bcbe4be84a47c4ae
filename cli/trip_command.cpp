#include <cmath>
#include <string>
#include <vector>

#include "cli/catalog_loading.h"
#include "cli/clip_info_json.h"
#include "cli/commands.h"
#include "cli/trip_commands.h"
#include "gps/kml_export.h"
#include "incidents/trip_summary.h"
#include "library/clip_catalog.h"

namespace orvo::cli {

namespace {

// The camera's wall-clock text, as the file list reads it; null when the
// time is unknown.
Json WallClock(int64_t time) {
    if (time == 0) return nullptr;
    return FormatLocalTime(time, "%Y-%m-%dT%H:%M:%S");
}

double Tenths(double value) {
    return std::round(value * 10.0) / 10.0;
}

Json SummaryLine(const TripSummary& trip) {
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
    return line;
}

}  // namespace

int RunTrip(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return kExitUsage;
    CClipCatalog catalog;
    if (!LoadPath(args[0], &catalog, err)) return kExitRejected;
    for (const TripSummary& trip : SummarizeTrips(catalog)) {
        for (const std::string& path : trip.cutOff) {
            err << "orvo-info: " << path << ": the GPS block runs past the end of the file\n";
        }
        out << DumpLine(SummaryLine(trip)) << '\n';
    }
    out.flush();
    return kExitOk;
}

}  // namespace orvo::cli
