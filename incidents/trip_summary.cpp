#include "incidents/trip_summary.h"

#include <algorithm>
#include <numeric>
#include <string_view>

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
    const std::span<const ClipEntry> entries(catalog.entries());
    return SummarizeTrip(entries.subspan(static_cast<size_t>(group.first),
                                         static_cast<size_t>(std::max<int32_t>(group.count, 0))),
                         group.first);
}

TripSummary SummarizeTrip(std::span<const ClipEntry> recordings, int32_t first) {
    TripSummary trip;
    trip.first = first;
    trip.count = static_cast<int32_t>(recordings.size());
    TrackStatistics statistics;
    uint64_t total_duration_ms = 0;
    for (const ClipEntry& entry : recordings) {
        const std::string path = CClipCatalog::FullPathOf(entry);
        trip.files.push_back(path);
        const RecordingTelemetry telemetry = ReadRecordingTelemetry(path, entry.info, false);
        if (telemetry.gpsCutOff) trip.cutOff.push_back(path);
        AddRecording(entry, telemetry, &statistics);
        total_duration_ms += entry.info.durationMs;
    }
    if (!recordings.empty()) {
        const ClipInfo& first_info = recordings.front().info;
        const ClipInfo& last = recordings.back().info;
        trip.start = first_info.startTime;
        trip.endMs = last.startTime != 0 ? last.startTime * 1000 + last.durationMs : 0;
        const int64_t span = trip.endMs - first_info.startTime * 1000;
        trip.durationMs = first_info.startTime != 0 && last.startTime != 0 && span > 0
                              ? static_cast<uint64_t>(span)
                              : total_duration_ms;
    }
    trip.distanceM = statistics.distance_m();
    trip.maxSpeedKmh = statistics.max_speed_kmh();
    trip.avgSpeedKmh = statistics.average_moving_speed_kmh();
    trip.fixes = statistics.fixes();
    trip.skippedJumps = statistics.skipped_jumps();
    return trip;
}

std::vector<TripSummary> SummarizeTrips(const CClipCatalog& catalog) {
    std::vector<TripSummary> trips;
    trips.reserve(catalog.groups().size());
    for (const ClipGroup& group : catalog.groups()) trips.push_back(SummarizeTrip(catalog, group));
    return trips;
}

std::vector<int> TripEntriesOf(std::span<const ClipEntry> entries, int index) {
    if (index < 0 || static_cast<size_t>(index) >= entries.size()) return {};
    // The catalogue's time key: yymmdd_hhmmss at characters 4..16 of the
    // name. Stable, so recordings of the same second keep their order.
    auto time_key = [&entries](int i) {
        const std::string_view name = entries[static_cast<size_t>(i)].fileName;
        return name.size() > 4 ? name.substr(4, 13) : std::string_view();
    };
    std::vector<int> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&time_key](int a, int b) { return time_key(a) < time_key(b); });
    const auto at = std::find(order.begin(), order.end(), index);
    auto begin = at;
    while (begin != order.begin() && entries[static_cast<size_t>(*begin)].groupStart == 0) --begin;
    auto end = at + 1;
    while (end != order.end() && entries[static_cast<size_t>(*end)].groupStart == 0) ++end;
    return std::vector<int>(begin, end);
}

}  // namespace orvo
