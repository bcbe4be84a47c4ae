#include "incidents/trip_summary.h"

#include "gps/track_points.h"
#include "incidents/recording_telemetry.h"
#include "incidents/track_statistics.h"
#include "library/clip_catalog.h"

namespace orvo {

namespace {

void AddRecording(const ClipEntry& entry, const RecordingTelemetry& telemetry,
                  TrackStatistics* statistics) {
    const double rate = GpsRate(entry.info);
    for (size_t i = 0; i < telemetry.gps.size(); ++i) {
        const GpsRecord& record = telemetry.gps[i];
        const auto position = PositionOf(record);
        if (!position || !IsGeographic(*position)) continue;
        // The fix's time on the trip's clock: the recording's start plus its
        // place in the block.
        const double time_s = static_cast<double>(entry.info.startTime) + i / rate;
        statistics->Add(time_s, *position, record.speed, 1.0 / rate);
    }
}

}  // namespace

TripSummary SummarizeTrip(const CClipCatalog& catalog, const ClipGroup& group) {
    TripSummary trip;
    trip.first = group.first;
    trip.count = group.count;
    TrackStatistics statistics;
    for (int32_t k = 0; k < group.count; ++k) {
        const ClipEntry& entry = catalog.entries()[group.first + k];
        const std::string path = CClipCatalog::FullPathOf(entry);
        trip.files.push_back(path);
        const RecordingTelemetry telemetry = ReadRecordingTelemetry(path, entry.info, false);
        if (telemetry.gpsCutOff) trip.cutOff.push_back(path);
        AddRecording(entry, telemetry, &statistics);
    }
    if (group.count > 0) {
        const ClipInfo& first = catalog.entries()[group.first].info;
        const ClipInfo& last = catalog.entries()[group.first + group.count - 1].info;
        trip.start = first.startTime;
        trip.endMs = last.startTime != 0 ? last.startTime * 1000 + last.durationMs : 0;
        const int64_t span = trip.endMs - first.startTime * 1000;
        trip.durationMs = first.startTime != 0 && last.startTime != 0 && span > 0
                              ? static_cast<uint64_t>(span)
                              : group.totalDurationMs;
    }
    trip.distanceM = statistics.distance_m();
    trip.maxSpeedKmh = statistics.max_speed_kmh();
    trip.avgSpeedKmh = statistics.average_moving_speed_kmh();
    trip.skippedJumps = statistics.skipped_jumps();
    return trip;
}

std::vector<TripSummary> SummarizeTrips(const CClipCatalog& catalog) {
    std::vector<TripSummary> trips;
    trips.reserve(catalog.groups().size());
    for (const ClipGroup& group : catalog.groups()) trips.push_back(SummarizeTrip(catalog, group));
    return trips;
}

}  // namespace orvo
