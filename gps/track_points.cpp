#include "gps/track_points.h"

#include <string_view>

#include "gps/camera_clock.h"
#include "library/clip_catalog.h"

namespace orvo {

namespace {

std::optional<int64_t> RecordUtc(const GpsRecord& r, const CameraClock& clock) {
    if (r.year == 0) return std::nullopt;
    return clock.ToUtc(2000 + r.year, r.month, r.day, r.hour, r.minute, r.second);
}

}  // namespace

std::vector<std::optional<double>> RecordTimes(std::span<const GpsRecord> records,
                                               unsigned gps_rate, int64_t fallback_start,
                                               const CameraClock& clock) {
    const double rate = gps_rate == 0 ? 1.0 : gps_rate;
    std::optional<double> origin;  // UTC of record 0
    for (size_t i = 0; i < records.size() && !origin; ++i) {
        if (const auto t = RecordUtc(records[i], clock)) origin = *t - i / rate;
    }
    if (!origin && fallback_start != 0) {
        if (const auto t = clock.FromLocalRule(fallback_start)) origin = static_cast<double>(*t);
    }
    std::vector<std::optional<double>> times(records.size());
    if (!origin) return times;
    for (size_t i = 0; i < records.size(); ++i) {
        // Whole milliseconds, so equal steps print as equal steps.
        times[i] = *origin + static_cast<double>(static_cast<int64_t>(i * 1000 / rate)) / 1000.0;
    }
    return times;
}

size_t Track::PointCount() const {
    size_t count = 0;
    for (const TrackSegment& segment : segments) count += segment.points.size();
    return count;
}

TrackSegment BuildSegment(const ClipEntry& entry, std::span<const GpsRecord> records,
                          const CameraClock& clock) {
    TrackSegment segment;
    segment.fileName = entry.fileName;
    segment.path = CClipCatalog::FullPathOf(entry);
    segment.startTime = entry.info.startTime;
    segment.durationMs = entry.info.durationMs;
    segment.gpsRate = GpsRate(entry.info);
    segment.event = std::string_view(ClipTypeName(entry.fileName)) == "Event";
    if (entry.info.startTime != 0) {
        if (const auto start = clock.FromLocalRule(entry.info.startTime)) {
            segment.startUtc = static_cast<double>(*start);
            segment.endUtc = *segment.startUtc + entry.info.durationMs / 1000.0;
        }
    }
    const std::vector<std::optional<double>> times =
        RecordTimes(records, GpsRate(entry.info), entry.info.startTime, clock);
    for (size_t i = 0; i < records.size(); ++i) {
        const GpsRecord& r = records[i];
        const auto position = PositionOf(r);
        if (!position) continue;
        if (!IsGeographic(*position)) {
            ++segment.outOfRange;
            continue;
        }
        TrackPoint point;
        point.index = i;
        point.position = *position;
        point.altitude = r.altitude;
        point.speedKmh = r.speed;
        point.headingDeg = (r.heading * 2u) % 360u;
        point.utc = times[i];
        segment.points.push_back(point);
    }
    return segment;
}

}  // namespace orvo
