#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo {

class CameraClock;
struct ClipEntry;

// Inside -90..90 latitude and -180..180 longitude: a position GIS formats
// accept. The map's usability test lets larger values through.
inline bool IsGeographic(const GeoPosition& p) {
    return p.latitude >= -90.0 && p.latitude <= 90.0 && p.longitude >= -180.0 &&
           p.longitude <= 180.0;
}

// The UTC time of every record of a block. Records are gps_rate a second,
// so record i lies (i - i0) / gps_rate seconds after the first dated record
// i0 (its date fields read through clock). A block without a dated record
// counts from fallback_start (seconds since 1970 UTC, 0 = unknown: no
// times).
std::vector<std::optional<double>> RecordTimes(std::span<const GpsRecord> records,
                                               unsigned gps_rate, int64_t fallback_start,
                                               const CameraClock& clock);

// One usable record of a track.
struct TrackPoint {
    size_t index = 0;  // in the GPS block
    GeoPosition position;
    int32_t altitude = 0;       // metres
    double speedKmh = 0;        // as the receiver reports it
    unsigned headingDeg = 0;    // 0..359
    std::optional<double> utc;  // seconds since 1970 UTC, millisecond steps
};

// The points of one recording: usable fixes inside the geographic range, in
// block order.
struct TrackSegment {
    std::string fileName;
    std::string path;
    int64_t startTime = 0;  // as the catalogue holds it (local rule), 0 = unknown
    uint32_t durationMs = 0;
    unsigned gpsRate = 1;  // records a second
    bool event = false;    // an event recording (EMER)
    std::optional<double> startUtc;
    std::optional<double> endUtc;
    std::vector<TrackPoint> points;
    size_t outOfRange = 0;  // usable fixes left out for lying outside the range
};

// One track per trip: its segments in time order.
struct Track {
    std::string name;
    std::vector<TrackSegment> segments;
    double distanceM = 0;     // as the trip summary measures it
    uint64_t durationMs = 0;  // start of the first recording to the end of the last
    size_t PointCount() const;
};

// The segment of one recording's GPS block; the recording's own start
// time (re-read through clock) is the fallback for undated blocks.
TrackSegment BuildSegment(const ClipEntry& entry, std::span<const GpsRecord> records,
                          const CameraClock& clock);

}  // namespace orvo
