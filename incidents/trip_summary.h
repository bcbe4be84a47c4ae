#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvo {

class CClipCatalog;
struct ClipEntry;
struct ClipGroup;

// One trip: a group of the catalogue, i.e. recordings that follow each other
// in time, seen as one drive.
struct TripSummary {
    int32_t first = 0;  // entry index of its first recording
    int32_t count = 0;
    int64_t start = 0;  // seconds since 1970 UTC (start of the first recording), 0 = unknown
    int64_t endMs = 0;  // milliseconds since 1970 UTC (end of the last recording)
    uint64_t durationMs = 0;
    double distanceM = 0;
    double maxSpeedKmh = 0;
    double avgSpeedKmh = 0;           // over the time spent moving
    std::vector<std::string> files;   // full paths, in time order
    size_t fixes = 0;                 // valid GPS fixes read; 0: no track at all
    size_t skippedJumps = 0;          // legs left out of the distance
    std::vector<std::string> cutOff;  // recordings whose GPS block runs past the file end
};

// Reads the GPS block of every recording of the group. The trip runs from
// the start of its first recording to the end of its last; when start times
// are unknown, its duration is the sum of the recordings' durations.
TripSummary SummarizeTrip(const CClipCatalog& catalog, const ClipGroup& group);

// The same over a trip's recordings copied out of the catalogue, in time
// order, for a thread that must not touch the catalogue; `first` is the
// entry index the summary reports.
TripSummary SummarizeTrip(std::span<const ClipEntry> recordings, int32_t first);

// One summary per group, in group order.
std::vector<TripSummary> SummarizeTrips(const CClipCatalog& catalog);

// The entry indices of the trip that holds entry `index`, in time order,
// whatever order the entries are sorted in: taken in time order, a trip
// starts at each entry whose groupStart is set (the first entry always
// starts one). Empty for an index out of range.
std::vector<int> TripEntriesOf(std::span<const ClipEntry> entries, int index);

}  // namespace orvo
